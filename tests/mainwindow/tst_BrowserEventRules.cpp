#include "BrowserEventRules.h"

#include <QTest>

class TestBrowserEventRules : public QObject
{
    Q_OBJECT
private slots:
    void caption_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("caption");
        QTest::newRow("own name") << "Skyvane ie5+"
                                  << "Skyvane ie5+";
        QTest::newRow("help file") << "SkyvaneHelp.htm"
                                   << "Skyvane ie5+";
        QTest::newRow("help title") << "SkyvaneHelp"
                                    << "Skyvane ie5+";
        QTest::newRow("case differs") << "skyvanehelp"
                                      << "skyvanehelp - Skyvane ie5+";
        QTest::newRow("page") << "Radar Loop"
                              << "Radar Loop - Skyvane ie5+";
        QTest::newRow("empty") << ""
                               << " - Skyvane ie5+";
    }
    void caption()
    {
        QFETCH(QString, title);
        QTEST(BrowserEventRules::captionFor(title), "caption");
    }

    void selectorText_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("text");
        QTest::newRow("upper") << "HTTP:///"
                               << "http://";
        QTest::newRow("mixed") << "hTtP:///"
                               << "http://";
        QTest::newRow("with more") << "http:///x"
                                   << "http:///x";
        QTest::newRow("address") << "https://r.example/a"
                                 << "https://r.example/a";
        QTest::newRow("empty") << ""
                               << "";
    }
    void selectorText()
    {
        QFETCH(QString, location);
        QTEST(BrowserEventRules::selectorTextFor(location), "text");
    }

    void progress_data()
    {
        QTest::addColumn<int>("progress");
        QTest::addColumn<int>("max");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<int>("expectedMax");
        QTest::addColumn<int>("expectedValue");
        QTest::newRow("5 of 0") << 5 << 0 << true << 1 << 1;
        QTest::newRow("150 of 100") << 150 << 100 << true << 100 << 100;
        QTest::newRow("50 of 100") << 50 << 100 << true << 100 << 50;
        QTest::newRow("0 hides, bar untouched") << 0 << 100 << false << 77 << 33;
        QTest::newRow("-1 hides, bar untouched") << -1 << 100 << false << 77 << 33;
    }
    void progress()
    {
        QFETCH(int, progress);
        QFETCH(int, max);
        const BrowserEventRules::Progress p = BrowserEventRules::progressFor(progress, max, 77, 33);
        QTEST(p.visible, "visible");
        QTEST(p.maximum, "expectedMax");
        QTEST(p.value, "expectedValue");
    }
};

QTEST_GUILESS_MAIN(TestBrowserEventRules)
#include "tst_BrowserEventRules.moc"
