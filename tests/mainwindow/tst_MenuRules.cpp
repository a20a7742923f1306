#include "MenuRules.h"
#include "StartPageChoice.h"

#include <QTest>

using Font = CommonDialogs::Font;
Q_DECLARE_METATYPE(CommonDialogs::Font)

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

    void fontDialog_data()
    {
        QTest::addColumn<Font>("current");
        QTest::addColumn<Font>("start");
        QTest::newRow("kept") << Font{"DejaVu Sans", true, 11} << Font{"DejaVu Sans", true, 11};
        QTest::newRow("empty name opens on Arial") << Font{"", false, 10} << Font{"Arial", false, 10};
        QTest::newRow("size 0 opens on 9") << Font{"X", false, 0} << Font{"X", false, 9};
    }
    void fontDialog()
    {
        QFETCH(Font, current);
        QFETCH(Font, start);
        QVERIFY(MenuRules::dialogStart(current) == start);
    }

    void fontCap_data()
    {
        QTest::addColumn<float>("size");
        QTest::addColumn<float>("capped");
        QTest::newRow("14") << 14.0f << 12.25f;
        QTest::newRow("12.25") << 12.25f << 12.25f;
        QTest::newRow("12.5") << 12.5f << 12.25f;
        QTest::newRow("8") << 8.0f << 8.0f;
    }
    void fontCap()
    {
        QFETCH(float, size);
        QTEST(MenuRules::afterDialog(Font{"X", false, size}).size, "capped");
    }

    void startPageCode_data()
    {
        QTest::addColumn<QList<bool>>("options");
        QTest::addColumn<int>("code");
        QTest::newRow("none") << QList<bool>{false, false, false, false} << 0;
        QTest::newRow("1") << QList<bool>{true, false, false, false} << 1;
        QTest::newRow("2") << QList<bool>{false, true, false, false} << 2;
        QTest::newRow("3") << QList<bool>{false, false, true, false} << 3;
        QTest::newRow("4") << QList<bool>{false, false, false, true} << 4;
        QTest::newRow("later wins") << QList<bool>{true, false, true, false} << 3;
    }
    void startPageCode()
    {
        QFETCH(QList<bool>, options);
        QTEST(StartPageChoice::code(options[0], options[1], options[2], options[3]), "code");
    }

    void startPageApply_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<bool>("changes");
        QTest::addColumn<QString>("startPage");
        QTest::addColumn<bool>("confirm");
        const QStringList both = {"/p/SkyvaneHelp.htm", "/p/DefPage.htm"};
        QTest::newRow("0") << 0 << both << "You Did Not Select One Of The Options." << false << "" << true;
        QTest::newRow("1") << 1 << both << "" << true << "/p/SkyvaneHelp.htm" << true;
        QTest::newRow("1 missing") << 1 << QStringList()
                                   << "The Skyvane Intro-Help file Is Missing, Select Something Else."
                                   << false << "" << false;
        QTest::newRow("2") << 2 << both << "" << true << "/p/DefPage.htm" << true;
        QTest::newRow("2 missing") << 2 << QStringList{"/p/SkyvaneHelp.htm"}
                                   << "The Skyvane DefPage.htm file Is Missing, Select Something Else."
                                   << false << "" << false;
        QTest::newRow("3") << 3 << both << "" << true << " typed, untrimmed " << true;
        QTest::newRow("4") << 4 << both << "" << true << "http://selector/" << true;
    }
    void startPageApply()
    {
        QFETCH(int, code);
        QFETCH(QStringList, existing);
        const StartPageChoice::Outcome out =
            StartPageChoice::apply(code, QStringLiteral("/p"), QStringLiteral(" typed, untrimmed "),
                                   QStringLiteral("http://selector/"),
                                   [existing](const QString& p) { return existing.contains(p) ? 0 : 53; });
        QTEST(out.notice, "notice");
        QTEST(out.startPage.has_value(), "changes");
        QTEST(out.startPage.value_or(QString()), "startPage");
        QTEST(out.confirm, "confirm");
        QCOMPARE(out.showStartPage, out.confirm);
    }
};

QTEST_GUILESS_MAIN(TestMenuRules)
#include "tst_MenuRules.moc"
