#include "core/CommandLine.h"

#include <QTest>

// What each command line asks for.
class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    // The result: address|interval|kiosk|screen|rotate, or the error's start.
    void parse()
    {
        using A = CommandLine::Action;
        for (const auto& [arguments, result, action] :
             std::initializer_list<std::tuple<const char*, const char*, A>>{
                 {"", "|0|0|-1|0", A::Run},
                 {"http://radar/", "http://radar/|0|0|-1|0", A::Run},
                 {"--interval 5 /tmp/page.htm", "/tmp/page.htm|5|0|-1|0", A::Run},
                 {"--interval=180", "|180|0|-1|0", A::Run},
                 {"--kiosk", "|10|1|-1|0", A::Run},
                 {"--kiosk --interval 3 --screen 1 --rotate 2", "|3|1|1|2", A::Run},
                 {"--follow --kiosk", "|10|1|-1|0|follow", A::Run},
                 {"--kiosk --loop http://a/", "http://a/|10|1|-1|0|loop 12", A::Run},
                 {"--kiosk --loop 24 http://a/", "http://a/|10|1|-1|0|loop 24", A::Run},
                 {"--kiosk --loop=3", "|10|1|-1|0|loop 3", A::Run},
                 {"--loop 1", "--loop takes", A::Fail},
                 {"-platform offscreen -reverse http://a/", "http://a/|0|0|-1|0",
                  A::Run},                // Qt's, for QApplication
                 {"-h", "", A::ShowHelp}, // --help, --version and the refusals' output are seen end to end
                 {"--interval 0", "--interval takes a whole number from 1 to 180, not \"0\".", A::Fail},
                 {"--interval 181", "--interval takes", A::Fail},
                 {"--interval ten", "--interval takes", A::Fail},
                 {"--interval", "Missing value after '--interval'.", A::Fail},
                 {"--rotate -1", "--rotate takes", A::Fail},
                 {"--screen x --kiosk", "--screen takes", A::Fail},
                 {"http://a/ http://b/", "Give at most one ADDRESS, not 2.", A::Fail},
                 {"--serve 8080", "|0|0|-1|0|127.0.0.1 8080", A::Run},
                 {"--serve 0.0.0.0:65535", "|0|0|-1|0|0.0.0.0 65535", A::Run},
                 {"--serve [::1]:9000", "|0|0|-1|0|::1 9000", A::Run},
                 {"--serve ::1:9000", "--serve takes [HOST:]PORT", A::Fail}, // an IPv6 HOST needs brackets
                 {"--serve 0", "--serve takes", A::Fail},
                 {"--serve 65536", "--serve takes", A::Fail},
                 {"--serve :80", "--serve takes", A::Fail},
                 {"--serve localhost:http", "--serve takes", A::Fail},
                 {"--kiosk --awake 7:00-23:00", "|10|1|-1|0|awake 07:00-23:00", A::Run},
                 {"--awake 22:00-02:00,06:00-24:00", "|0|0|-1|0|awake 22:00-02:00,06:00-24:00", A::Run},
                 {"--awake 07:00", "--awake takes HH:MM-HH:MM[,...]: ", A::Fail},
                 {"--awake 25:00-07:00", "--awake takes", A::Fail},
                 {"--mqtt broker", "|0|0|-1|0|mqtt  broker 0", A::Run},
                 {"--mqtt ha@192.168.1.5:1884", "|0|0|-1|0|mqtt ha 192.168.1.5 1884", A::Run},
                 {"--mqtt [::1]", "|0|0|-1|0|mqtt  ::1 0", A::Run},
                 {"--mqtt u@[fd00::2]:8883", "|0|0|-1|0|mqtt u fd00::2 8883", A::Run},
                 {"--mqtt ::1", "--mqtt takes [USER@]HOST[:PORT]", A::Fail},
                 {"--mqtt @broker", "--mqtt takes", A::Fail},
                 {"--mqtt broker:0", "--mqtt takes", A::Fail},
                 {"--mqtt broker:", "--mqtt takes", A::Fail},
                 {"--mqtt a/b", "--mqtt takes", A::Fail},
             }) {
            const CommandLine c = CommandLine::parse(
                QStringList{QStringLiteral("skyvane")} +
                QString::fromLatin1(arguments).split(QLatin1Char(' '), Qt::SkipEmptyParts));
            QVERIFY2(c.action == action, arguments);
            const QString got =
                c.action == A::Fail ? c.error.left(qsizetype(qstrlen(result)))
                : c.action == A::Run
                    ? QStringLiteral("%1|%2|%3|%4|%5")
                              .arg(c.address)
                              .arg(c.interval)
                              .arg(int(c.kiosk))
                              .arg(c.screen)
                              .arg(c.rotate) +
                          (c.serveHost.isEmpty()
                               ? QString()
                               : QStringLiteral("|%1 %2").arg(c.serveHost).arg(c.servePort)) +
                          (c.mqttHost.isEmpty() ? QString()
                                                : QStringLiteral("|mqtt %1 %2 %3")
                                                      .arg(c.mqttUser, c.mqttHost)
                                                      .arg(c.mqttPort)) +
                          (c.follow ? QStringLiteral("|follow") : QString()) +
                          (c.loop > 0 ? QStringLiteral("|loop %1").arg(c.loop) : QString()) +
                          (c.awake.isEmpty() ? QString() : QStringLiteral("|awake ") + c.awake)
                    : QString();
            QCOMPARE(got, QLatin1String(result));
        }
        QVERIFY(CommandLine::usage().contains(QLatin1String("--rotate <MINUTES>")));
        QVERIFY(CommandLine::usage().contains(QLatin1String("--mqtt <[USER@]HOST[:PORT]>")));
        QVERIFY(!CommandLine::usage().contains(QLatin1String("platform"))); // Qt's own are not ours to tell
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_CommandLine.moc"
