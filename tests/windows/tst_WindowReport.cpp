#include "MainWindowFixture.h"
#include "TestMain.h"
#include "core/Notifier.h"
#include "core/SiteListFile.h"
#include "windows/WindowReport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {

struct RecordingNotifier : Notifier
{
    explicit RecordingNotifier(QStringList& into) : said(into) {}
    void notify(const Notice& n) override { said << n.summary + QLatin1Char('|') + n.body; }
    QStringList& said;
};

} // namespace

// The window as told outside it: the notifications about failing refreshes, and the remote view's
// reading and actions wired to the window.
class TestWindowReport : public QObject
{
    Q_OBJECT

    MainWindowFixture f;
    QStringList said;
    qint64 now = 0;
    SiteRotation rotation;
    WindowReport* report = nullptr;

private slots:
    void init()
    {
        f.create();
        said.clear();
        report = new WindowReport({f.state, f.browser, f.form->session(), f.watch, f.form->frames(),
                                   &f.form->siteFeed(), rotation, std::make_unique<RecordingNotifier>(said),
                                   [this] { return now; }},
                                  f.form.get());
    }

    void failingRefreshesAreNotified()
    {
        emit f.browser->refreshJudged(false, QStringLiteral("The server answered 503"));
        now = 29 * 60 * 1000;
        emit f.browser->refreshJudged(false, QStringLiteral("The server answered 503"));
        QVERIFY(said.isEmpty());
        now = 31 * 60 * 1000;
        emit f.browser->refreshJudged(false, QStringLiteral("The server answered 503"));
        QCOMPARE(said.size(), 1);
        QVERIFY(said[0].startsWith(QLatin1String("Radar refresh failing since ")));
        QVERIFY(said[0].endsWith(QLatin1String("|The server answered 503")));
        emit f.browser->refreshJudged(true, {});
        QCOMPARE(said.size(), 2);
        QVERIFY(said[1].startsWith(QLatin1String("Radar refresh works again|")));
        const QByteArray json = report->report().statusJson();
        QCOMPARE(QJsonDocument::fromJson(json)
                     .object()
                     .value(QLatin1String("lastFailure"))
                     .toObject()
                     .value(QLatin1String("reason")),
                 QStringLiteral("The server answered 503"));
        QVERIFY(report->report().metrics().contains("skyvane_refreshes_total{result=\"failed\"} 3\n"));
    }

    void stateFollowsTheBrowser()
    {
        QCOMPARE(report->report().state, QStringLiteral("waiting")); // no picture yet
        f.browser->shownAt = QDateTime::currentDateTimeUtc();
        QCOMPARE(report->report().state, QStringLiteral("ok"));
        f.browser->failed = true;
        QCOMPARE(report->report().state, QStringLiteral("failed"));
    }

    // A site that keeps its picture much longer than usual is reported stalled, and told once.
    void stalledFeed()
    {
        QTemporaryDir framesDir;
        MainWindowFixture g;
        g.create(std::make_unique<FrameRecorder>(FrameStore(framesDir.path())));
        WindowReport stalledReport({g.state, g.browser, g.form->session(), g.watch, g.form->frames(),
                                    &g.form->siteFeed(), rotation, std::make_unique<RecordingNotifier>(said),
                                    [this] { return now; }});
        const QString address = QStringLiteral("https://radar.example/");
        g.browser->navigate(address);
        g.watch.setInterval(10);
        g.browser->shownAt = QDateTime::currentDateTimeUtc();
        g.browser->ageMs = 0;
        emit g.browser->pictureShown(QImage(), address);
        const QDateTime since = g.browser->shownAt.addSecs(-50 * 60);
        for (int load = 0; load < 2; ++load) {
            emit g.form->frames()->pictureCompared(address, false, since, 6 * 60000);
        }
        const RemoteReport r = stalledReport.report();
        QCOMPARE(r.state, QStringLiteral("stalled"));
        QCOMPARE(r.changedTime, since);
        QCOMPARE(r.changedAgeSeconds, 50 * 60);
        QCOMPARE(said.size(), 1);
        QVERIFY(said[0].startsWith(QLatin1String("No new picture since ")));
        emit g.form->frames()->pictureCompared(address, true, g.browser->shownAt, 6 * 60000);
        QCOMPARE(stalledReport.report().state, QStringLiteral("ok"));
    }

    void actions()
    {
        QVERIFY(!report->open(QStringLiteral("file:///etc/passwd")).isEmpty()); // no file of this machine
        QVERIFY(report->open(QStringLiteral("radar.example/loop")).isEmpty());
        QCOMPARE(f.browser->calls.filter(QStringLiteral("Navigate:")),
                 QStringList{QStringLiteral("Navigate:http://radar.example/loop")});

        QVERIFY(SiteListFile(f.state.siteListPath())
                    .writeAll({{QStringLiteral("A"), QStringLiteral("http://a/")},
                               {QStringLiteral("none"), QString()},
                               {QStringLiteral("B"), QStringLiteral("http://b/")}}));
        for (int i = 0; i < 3; ++i) {
            report->next();
        }
        QCOMPARE(f.browser->calls.filter(QStringLiteral("Navigate:http://")).mid(1),
                 QStringList({QStringLiteral("Navigate:http://a/"), QStringLiteral("Navigate:http://b/"),
                              QStringLiteral("Navigate:http://a/")}));
        f.browser->location = QStringLiteral("http://a/");
        report->refresh();
        QVERIFY(f.browser->calls.last().startsWith(QLatin1String("Refresh2:")));
    }
};

SKYVANE_TEST_MAIN(TestWindowReport)
#include "tst_WindowReport.moc"
