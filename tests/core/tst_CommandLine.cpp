#include "core/CommandLine.h"
#include "core/SiteRotation.h"

#include <QTest>

// What each command line asks for, and the order in which a rotation shows the saved sites.
class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("result"); // address|interval|kiosk|screen|rotate, or the error's start
        using A = CommandLine::Action;
        const struct
        {
            const char *arguments, *result;
            A action;
        } rows[] = {
            {"", "|0|0|-1|0", A::Run},
            {"http://radar/", "http://radar/|0|0|-1|0", A::Run},
            {"--interval 5 /tmp/page.htm", "/tmp/page.htm|5|0|-1|0", A::Run},
            {"--interval=180", "|180|0|-1|0", A::Run},
            {"--kiosk", "|10|1|-1|0", A::Run},
            {"--kiosk --interval 3 --screen 1 --rotate 2", "|3|1|1|2", A::Run},
            {"--help", "", A::ShowHelp},
            {"-h", "", A::ShowHelp},
            {"--version", "", A::ShowVersion},
            {"--interval 0", "--interval takes a whole number from 1 to 180, not \"0\".", A::Fail},
            {"--interval 181", "--interval takes", A::Fail},
            {"--interval ten", "--interval takes", A::Fail},
            {"--interval", "Missing value after '--interval'.", A::Fail},
            {"--rotate -1", "--rotate takes", A::Fail},
            {"--screen x --kiosk", "--screen takes", A::Fail},
            {"--bogus", "Unknown option 'bogus'.", A::Fail},
            {"-platform offscreen -reverse http://a/", "http://a/|0|0|-1|0",
             A::Run}, // Qt's, for QApplication
            {"http://a/ http://b/", "Give at most one ADDRESS, not 2.", A::Fail},
        };
        for (const auto& r : rows) {
            QTest::newRow(r.arguments)
                << QString::fromLatin1(r.arguments) << int(r.action) << QString::fromLatin1(r.result);
        }
    }
    void parse()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, result);
        const CommandLine c = CommandLine::parse(QStringList{QStringLiteral("skyvane")} +
                                                 arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts));
        QTEST(int(c.action), "action");
        if (c.action == CommandLine::Action::Fail) {
            QVERIFY2(c.error.startsWith(result), qPrintable(c.error));
        } else if (c.action == CommandLine::Action::Run) {
            QCOMPARE(QStringLiteral("%1|%2|%3|%4|%5")
                         .arg(c.address)
                         .arg(c.interval)
                         .arg(int(c.kiosk))
                         .arg(c.screen)
                         .arg(c.rotate),
                     result);
        }
        QVERIFY(CommandLine::usage().contains(QLatin1String("--rotate <MINUTES>")));
        QVERIFY(!CommandLine::usage().contains(QLatin1String("platform"))); // Qt's own are not ours to tell
    }

    void rotationOrder()
    {
        SiteRotation rotation;
        const QList<SiteRecord> sites{{QStringLiteral("A"), QStringLiteral("http://a/")},
                                      {QStringLiteral("Blank"), QStringLiteral("  ")},
                                      {QStringLiteral("B"), QStringLiteral("http://b/")}};
        QStringList shown;
        for (int i = 0; i < 5; ++i) {
            shown << rotation.next(sites)->Name;
        }
        QCOMPARE(shown, (QStringList{"A", "B", "A", "B", "A"}));
        QCOMPARE(rotation.next(sites.mid(0, 1))->Name, QStringLiteral("A")); // the list shrank meanwhile
        QVERIFY(!rotation.next({}).has_value());
        QVERIFY(!rotation.next(sites.mid(1, 1)).has_value());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_CommandLine.moc"
