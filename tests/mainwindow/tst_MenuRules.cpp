#include "core/MenuRules.h"

#include <QTest>

// The Open dialog's folder rule, for Windows and Unix paths alike.
class TestMenuRules : public QObject
{
    Q_OBJECT
private slots:
    void openFolder_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("fileTitle");
        QTest::addColumn<QString>("folder");
        QTest::newRow("windows root") << "C:\\radar.htm"
                                      << "radar.htm"
                                      << "C:\\";
        QTest::newRow("windows nested") << "C:\\Docs\\Maps\\radar.htm"
                                        << "radar.htm"
                                        << "C:\\Docs\\Maps";
        QTest::newRow("windows one level") << "C:\\Docs\\radar.htm"
                                           << "radar.htm"
                                           << "C:\\Docs";
        QTest::newRow("unix root") << "/radar.htm"
                                   << "radar.htm"
                                   << "/";
        QTest::newRow("unix nested") << "/home/u/maps/radar.htm"
                                     << "radar.htm"
                                     << "/home/u/maps";
    }
    void openFolder()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, fileTitle);
        QTEST(MenuRules::openFolder(fileName, fileTitle), "folder");
    }
};

QTEST_GUILESS_MAIN(TestMenuRules)
#include "tst_MenuRules.moc"
