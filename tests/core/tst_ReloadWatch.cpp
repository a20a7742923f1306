#include "TableRows.h"
#include "core/ReloadWatch.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QUrl>

namespace {

constexpr qint64 kS = 1000;
constexpr qint64 kMin = 60 * kS;
const qint64 kWallNow = QDateTime::currentMSecsSinceEpoch();
const QString kRadar = QStringLiteral("http://radar.example/loop");
const QString kLogin = QStringLiteral("http://hotel.example/login");
const QString kOther = QStringLiteral("http://other.example/radar");

// Plays a script on a watch: "b" begin a reload, "L" Skyvane loads another address itself, "p" data
// arrived, "ok" / "err" / "503" / "nopic" / "portal" / "https" (the same page over https) the load
// ends, "free" the watch is let go of (after a good load), "crash", "net" the connection is
// back, "+N" N seconds pass (ticking every second); the steps the watch asks for are written down as
// "stop", "retry", "reload", "load".
struct Script
{
    ReloadWatch watch;
    qint64 now = 1'000'000;
    QString displayed = kRadar;
    QStringList steps;

    void note(ReloadWatch::Step s)
    {
        using S = ReloadWatch::Step;
        const QString at = QStringLiteral("@%1").arg((now - 1'000'000) / kS);
        if (s == S::Stop) {
            steps << QStringLiteral("stop") + at;
            watch.finished(now, displayed, ReloadWatch::Failure::NoConnection); // the stopped load's end
            note(watch.tick(now)); // and a retry may be due at once
        } else if (s == S::Retry) {
            steps << QStringLiteral("retry") + at;
            note(watch.begin(now, displayed));
        } else if (s != S::Nothing) {
            steps << QLatin1String(s == S::ReloadPage ? "reload" : "load");
        }
    }

    void play(const QString& script)
    {
        using F = ReloadWatch::Failure;
        for (const QString& word : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (word.startsWith(QLatin1Char('+'))) {
                for (int k = word.mid(1).toInt(); k > 0; --k) {
                    now += kS;
                    note(watch.tick(now));
                }
            } else if (word == QLatin1String("b")) {
                const ReloadWatch::Step s = watch.begin(now, displayed);
                if (s == ReloadWatch::Step::Nothing) {
                    steps << QStringLiteral("busy");
                }
                note(s);
            } else if (word == QLatin1String("L")) {
                displayed = kOther;
                watch.beginLoad(now, kOther);
            } else if (word == QLatin1String("p")) {
                watch.progressed(now);
            } else if (word == QLatin1String("err")) {
                watch.finished(now, displayed, F::NoConnection);
            } else if (word == QLatin1String("503")) {
                watch.finished(now, displayed, F::Status, QStringLiteral("503"));
            } else if (word == QLatin1String("nopic")) {
                watch.finished(now, displayed, F::PictureMissing);
            } else if (word == QLatin1String("ok") || word.startsWith(QLatin1String("portal"))) {
                displayed = word == QLatin1String("ok") ? watch.watchedUrl()
                            : word == QLatin1String("portal")
                                ? kLogin
                                : QStringLiteral("https://wifi-login.a-very-long-"
                                                 "hotel-chain-name.example/portal?from=radar");
                watch.finished(now, displayed);
            } else if (word == QLatin1String("https")) {
                QUrl secure(watch.watchedUrl());
                secure.setScheme(QStringLiteral("https"));
                displayed = secure.toString();
                watch.finished(now, displayed);
            } else if (word == QLatin1String("crash")) {
                watch.crashed(now);
            } else if (word == QLatin1String("net")) {
                watch.connectionRestored(now);
            } else if (word == QLatin1String("free")) {
                watch.reset();
            }
        }
    }
};

const struct Row
{
    const char *name, *script, *steps; // no steps: only the notice is checked
    bool failed;
    const char* notice; // wildcards for the local times; none: no notice
} kRows[] = {
    {"a good reload", "b +5 ok +300", "reload", false, nullptr},
    {"a slow page that keeps arriving is let finish", "b +50 p +50 p +50 p +50 ok +100", "reload", false,
     nullptr},
    {"nothing arriving for a minute: stopped, retried a minute after it began", "b +60 +1",
     "reload stop@60 retry@60 reload", true, nullptr},
    {"an error: retried one minute after the attempt began", "b +10 err +49 +1", "reload retry@60 reload",
     true, nullptr},
    {"a hanging server: attempts a minute apart, not two", "b +60 +60",
     "reload stop@60 retry@60 reload stop@120 retry@120 reload", true, nullptr},
    {"the connection back: at once", "b err +5 net +1", "reload retry@6 reload", true, nullptr},
    {"a login page: the next attempt loads the watched address", "b +2 portal +58", "reload retry@60 load",
     true, nullptr},
    {"one request at a time: the timer's refresh during a retry", "b err +60 b",
     "reload retry@60 reload busy", true, nullptr},
    {"a crash: reloaded at once, under the cover", "crash +1 ok", "retry@1 reload", false, nullptr},
    {"repeated crashes back off: 1, 2, 4 minutes", "crash +1 crash +60 crash +120 crash +240",
     "retry@1 reload retry@61 reload retry@181 reload retry@421 reload", true, nullptr},
    {"crashes soon after good loads back off too", "crash +1 ok free +8 crash +1", "retry@1 reload", true,
     nullptr},
    {"a crash after a quiet half hour is reloaded at once", "crash +1 ok free +1800 crash +1",
     "retry@1 reload retry@1802 reload", true, nullptr},
    {"a load of another site that fails: retried like a refresh, at its own address", "L +3 err +57",
     "retry@60 reload", true, nullptr},
    {"a load of another site forgets the last site's failure", "b err L ok", nullptr, false, nullptr},
    {"a load of another site sent on within that site: the page it was sent to is watched", "L https b +2 ok",
     "reload", false, nullptr},
    {"a load of another site sent to a third one: no answer", "L portal +60", "retry@60 load", true, nullptr},
    {"a refresh sent on, even within the site: no answer", "b https", nullptr, true,
     "Refresh failed at *: sent to https://radar.example/loop; *"},
    {"notice: no connection", "b +3 err", nullptr, true,
     "Refresh failed at *: no connection; picture from *. Next try *."},
    {"notice: trying", "b +3 err +57", nullptr, true,
     "Refresh failed at *: no connection; picture from *. Trying again now."},
    {"notice: an error status", "b 503", nullptr, true,
     "Refresh failed at *: the server answered 503; picture from *. Next try *."},
    {"notice: nothing arriving", "b +61", nullptr, true, "Refresh failed at *: the site did not answer; *"},
    {"notice: the picture on the page", "b nopic", nullptr, true,
     "Refresh failed at *: the picture on the page did not load; *"},
    {"notice: login page, named by its address", "b portal", nullptr, true,
     "Refresh failed at *: sent to http://hotel.example/login; picture from *. Next try *."},
    {"notice: a long address", "b portalLong", nullptr, true,
     "*: sent to https://wifi-login.a-very-long-hotel-chain-name?; picture *"},
    {"notice: keeps crashing", "crash +1 crash", nullptr, true,
     "Refresh failed at *: the page keeps crashing; picture from *. Next try *."},
};

} // namespace

class TestReloadWatch : public QObject
{
    Q_OBJECT
private slots:
    void rules_data() { addTableRows(kRows); }
    void rules()
    {
        QFETCH(int, row);
        const Row& r = kRows[row];
        Script s;
        s.play(QLatin1String(r.script));
        if (r.steps != nullptr) {
            QCOMPARE(s.steps.join(QLatin1Char(' ')), QLatin1String(r.steps));
        }
        QCOMPARE(s.watch.failed(), r.failed);
        QCOMPARE(s.watch.holdTitle(), r.failed); // a failed load leaves the caption of the picture on screen
        const QString text = s.watch.notice(s.now, kWallNow, s.now - 5 * kMin);
        if (r.notice != nullptr) {
            const QString pattern = QRegularExpression::wildcardToRegularExpression(
                QLatin1String(r.notice), QRegularExpression::UnanchoredWildcardConversion);
            QVERIFY2(QRegularExpression(pattern).match(text).hasMatch(), qPrintable(text));
        }
        s.play(QStringLiteral("+60 ok"));
        QVERIFY(s.watch.notice(s.now, kWallNow, s.now).isEmpty() && !s.watch.holdTitle());
    }

    // Times are shown on the wall clock, whatever the monotonic clock reads; the notice and the card
    // follow each attempt.
    void timesShownAndTheCard()
    {
        Script s;
        s.play(QStringLiteral("L +10 503"));
        const qint64 wall = QDateTime(QDate(2026, 5, 1), QTime(10, 42, 30)).toMSecsSinceEpoch();
        QCOMPARE(s.watch.notice(s.now, wall, 0),
                 QStringLiteral("Loading failed at 10:42: the server answered 503. Next try 10:43."));
        QCOMPARE(s.watch.card(s.now, wall),
                 kOther + QStringLiteral("\nThe server answered 503\nNext try at 10:43"));
        s.play(QStringLiteral("+50 err"));
        QCOMPARE(s.watch.notice(s.now, wall, 0),
                 QStringLiteral("Loading failed at 10:42: no connection. Next try 10:43."));
        QCOMPARE(s.watch.card(s.now, wall), kOther + QStringLiteral("\nNo connection\nNext try at 10:43"));
    }

    void crashBackoffStopsAtHalfAnHour()
    {
        Script s;
        for (int k = 0; k < 12; ++k) {
            s.watch.crashed(s.now);
        }
        QCOMPARE(s.watch.nextAttemptAt() - s.now, 30 * kMin);
        s.play(QStringLiteral("b"));
        QVERIFY(s.watch.holdTitle()); // from the start of a reload
    }
};

QTEST_GUILESS_MAIN(TestReloadWatch)
#include "tst_ReloadWatch.moc"
