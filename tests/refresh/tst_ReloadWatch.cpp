#include "core/ReloadWatch.h"

#include <QRegularExpression>
#include <QTest>

namespace {

constexpr qint64 kS = 1000;
constexpr qint64 kMin = 60 * kS;
const QString kRadar = QStringLiteral("http://radar.example/loop");
const QString kLogin = QStringLiteral("http://hotel.example/login");

// Plays a script on a watch: "b" begin a reload, "p" data arrived, "ok" / "err" / "portal" the load
// ends, "crash", "net" the connection is back, "+N" N seconds pass (ticking every second); the
// steps the watch asks for are written down as "stop", "retry", "reload", "load".
struct Script
{
    ReloadWatch watch;
    qint64 now = 1'000'000;
    QString displayed = kRadar;
    QStringList steps;

    void note(ReloadWatch::Step s)
    {
        switch (s) {
        case ReloadWatch::Step::Stop:
            steps << QStringLiteral("stop@%1").arg((now - 1'000'000) / kS);
            watch.finished(now, false, displayed); // the engine reports the stopped load
            note(watch.tick(now));                 // and a retry may be due at once
            break;
        case ReloadWatch::Step::Retry:
            steps << QStringLiteral("retry@%1").arg((now - 1'000'000) / kS);
            note(watch.begin(now, displayed));
            break;
        case ReloadWatch::Step::ReloadPage:
            steps << QStringLiteral("reload");
            break;
        case ReloadWatch::Step::LoadWatched:
            steps << QStringLiteral("load");
            break;
        case ReloadWatch::Step::Nothing:
            break;
        }
    }

    void play(const QString& script)
    {
        for (const QString& word : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (word.startsWith(QLatin1Char('+'))) {
                for (int k = word.mid(1).toInt(); k > 0; --k) {
                    now += kS;
                    note(watch.tick(now));
                }
            } else if (word == QLatin1String("b")) {
                const ReloadWatch::Step s = watch.begin(now, displayed);
                steps << (s == ReloadWatch::Step::Nothing ? QStringLiteral("busy") : QString());
                steps.removeAll(QString());
                note(s);
            } else if (word == QLatin1String("p")) {
                watch.progressed(now);
            } else if (word == QLatin1String("ok")) {
                watch.finished(now, true, kRadar);
                displayed = kRadar;
            } else if (word == QLatin1String("err")) {
                watch.finished(now, false, displayed);
            } else if (word == QLatin1String("portal")) {
                watch.finished(now, true, kLogin);
                displayed = kLogin;
            } else if (word == QLatin1String("portalLong")) {
                displayed = QStringLiteral("https://wifi-login.a-very-long-hotel-chain-name.example/portal");
                watch.finished(now, true, displayed);
            } else if (word == QLatin1String("crash")) {
                watch.crashed(now);
            } else if (word == QLatin1String("net")) {
                watch.connectionRestored(now);
            }
        }
    }
};

} // namespace

class TestReloadWatch : public QObject
{
    Q_OBJECT
private slots:
    void rules_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("failed");
        const struct
        {
            const char *name, *script, *steps;
            bool failed;
        } rows[] = {
            {"a good reload", "b +5 ok +300", "reload", false},
            {"a slow page that keeps arriving is let finish", "b +50 p +50 p +50 p +50 ok +100", "reload",
             false},
            {"nothing arriving for a minute: stopped, retried a minute after it began", "b +60 +1",
             "reload stop@60 retry@60 reload", true},
            {"an error: retried one minute after the attempt began", "b +10 err +49 +1",
             "reload retry@60 reload", true},
            {"a hanging server: attempts a minute apart, not two", "b +60 +60",
             "reload stop@60 retry@60 reload stop@120 retry@120 reload", true},
            {"the connection back: at once", "b err +5 net +1", "reload retry@6 reload", true},
            {"a login page: the next attempt loads the watched address", "b +2 portal +58",
             "reload retry@60 load", true},
            {"one request at a time: the timer's refresh during a retry", "b err +60 b",
             "reload retry@60 reload busy", true},
            {"a crash: reloaded at once, under the cover", "crash +1 ok", "retry@1 reload", false},
            {"repeated crashes back off: 1, 2, 4 minutes", "crash +1 crash +60 crash +120 crash +240",
             "retry@1 reload retry@61 reload retry@181 reload retry@421 reload", true},
        };
        for (const auto& r : rows) {
            QTest::newRow(r.name) << QString::fromLatin1(r.script) << QString::fromLatin1(r.steps)
                                  << r.failed;
        }
    }
    void rules()
    {
        QFETCH(QString, script);
        Script s;
        s.play(script);
        QTEST(s.steps.join(QLatin1Char(' ')), "steps");
        QTEST(s.watch.failed(), "failed");
    }

    void crashBackoffStopsAtHalfAnHour()
    {
        Script s;
        for (int k = 0; k < 12; ++k) {
            s.watch.crashed(s.now);
        }
        QCOMPARE(s.watch.nextAttemptAt() - s.now, 30 * kMin);
    }

    void titleHeldWhileTheCoverShows()
    {
        Script s;
        QVERIFY(!s.watch.holdTitle());
        s.play("b");
        QVERIFY(s.watch.holdTitle());
        s.play("err");
        QVERIFY(s.watch.holdTitle()); // a failed load leaves the caption of the picture on screen
        s.play("+60 ok");
        QVERIFY(!s.watch.holdTitle());
    }

    void noticeFitsTheStatusBar_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("notice");
        // The clock of 1'000'000 ms + 10:00 offsets is local time; compare the shape.
        QTest::newRow("failed") << "b +3 err"
                                << "Refresh failed at *; picture from *. Next try *.";
        QTest::newRow("trying") << "b +3 err +57"
                                << "Refresh failed at *; picture from *. Trying again now.";
        QTest::newRow("login page") << "b portal"
                                    << "Refresh sent to hotel.example; picture from *. Next try *.";
        QTest::newRow("a long host name") << "b portalLong"
                                          << "Refresh sent to wifi-login.a-ve?; picture from *. Next try *.";
        QTest::newRow("keeps crashing") << "crash +1 crash"
                                        << "The page keeps crashing; picture from *. Next try *.";
    }
    void noticeFitsTheStatusBar()
    {
        QFETCH(QString, script);
        QFETCH(QString, notice);
        Script s;
        s.play(script);
        const QString text = s.watch.notice(s.now - 5 * kMin);
        QVERIFY2(QRegularExpression(QRegularExpression::wildcardToRegularExpression(
                                        notice, QRegularExpression::UnanchoredWildcardConversion))
                     .match(text)
                     .hasMatch(),
                 qPrintable(text));
        QVERIFY2(text.size() <= 72, qPrintable(text)); // whole in the status bar at the smallest window
        s.play("+60 ok");
        QVERIFY(s.watch.notice(s.now).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestReloadWatch)
#include "tst_ReloadWatch.moc"
