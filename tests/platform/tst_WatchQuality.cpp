#include "LoopbackServer.h"
#include "TestMain.h"
#include "platform/WebEngineBrowserControl.h"

#include <QLabel>
#include <QSignalSpy>
#include <QWebEngineView>

namespace {

QByteArray colourPage(const char* colour, const QString& title, int height = 0)
{
    return QStringLiteral("<html><head><title>%1</title></head><body style='margin:0;background:%2'>"
                          "<div style='height:%3px'></div></body></html>")
        .arg(title, QLatin1String(colour))
        .arg(height)
        .toUtf8();
}

QColor centre(QWidget* w)
{
    const QImage image = w->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace

// A refresh never blanks the picture, a failed one keeps the last good picture and tries again.
class TestWatchQuality : public QObject
{
    Q_OBJECT

    LoopbackServer server;
    std::unique_ptr<WebEngineBrowserControl> browser;
    QStringList statuses;

    bool waitLoaded(int ms = 20000)
    {
        QSignalSpy done(browser.get(), &BrowserControl::DownloadComplete);
        return done.wait(ms);
    }

    bool show(const QString& path)
    {
        QSignalSpy done(browser.get(), &BrowserControl::DownloadComplete);
        browser->Navigate(server.url(path).toString());
        return done.wait(20000);
    }

    bool failedStatusSeen() const
    {
        for (const QString& s : statuses) {
            if (s.startsWith(QLatin1String("Refresh failed at ")) &&
                s.contains(QLatin1String("; picture from "))) {
                return true;
            }
        }
        return false;
    }

private slots:
    void initTestCase() { QVERIFY(server.start()); }

    void init()
    {
        server.setPage(QStringLiteral("/radar"), colourPage("rgb(200,0,0)", QStringLiteral("Radar")));
        server.setDelay(QStringLiteral("/radar"), 0);
        server.setPage(QStringLiteral("/other"), colourPage("rgb(0,160,0)", QStringLiteral("Other")));
        browser = std::make_unique<WebEngineBrowserControl>();
        browser->resize(320, 240);
        browser->show();
        QVERIFY(QTest::qWaitForWindowExposed(browser.get()));
        statuses.clear();
        connect(browser.get(), &BrowserControl::StatusTextChange, this,
                [this](const QString& s) { statuses << s; });
        QVERIFY(show(QStringLiteral("/radar")));
        QTRY_COMPARE(centre(browser.get()), QColor(200, 0, 0));
    }

    void cleanup() { browser.reset(); }

    void slowRefreshKeepsThePicture()
    {
        server.setPage(QStringLiteral("/radar"), colourPage("rgb(0,0,200)", QStringLiteral("Radar")));
        server.setDelay(QStringLiteral("/radar"), 2500);
        QSignalSpy done(browser.get(), &BrowserControl::DownloadComplete);
        browser->Refresh2(BrowserControl::REFRESH_COMPLETELY);
        for (int i = 0; i < 8; ++i) {
            QTest::qWait(200);
            QVERIFY(browser->showingLastGoodPicture());
            QCOMPARE(centre(browser.get()), QColor(200, 0, 0)); // never blank, never half-drawn
        }
        QVERIFY(done.wait(20000));
        QVERIFY(!browser->showingLastGoodPicture());
        QTRY_COMPARE(centre(browser.get()), QColor(0, 0, 200));
        QVERIFY(statuses.last().startsWith(QLatin1String("Done - loaded at ")));
    }

    void failedRefreshKeepsThePictureAndRetries()
    {
        browser->setReloadTimings(20000, 1500);
        LoopbackServer::Response busy{
            colourPage("rgb(255,255,255)", QStringLiteral("Service Unavailable")), "text/html", 503, {}};
        server.setResponse(QStringLiteral("/radar"), busy);
        const int before = server.requestCount(QStringLiteral("/radar"));
        browser->Refresh();
        QVERIFY(waitLoaded());
        QVERIFY(browser->reloadFailed());
        QVERIFY(browser->showingLastGoodPicture());
        QTRY_COMPARE(centre(browser.get()), QColor(200, 0, 0));
        QVERIFY(failedStatusSeen());

        // The retry comes by itself; once the server answers again, the new picture shows.
        QTRY_VERIFY_WITH_TIMEOUT(server.requestCount(QStringLiteral("/radar")) >= before + 2, 10000);
        server.setPage(QStringLiteral("/radar"), colourPage("rgb(0,0,200)", QStringLiteral("Radar")));
        QTRY_VERIFY_WITH_TIMEOUT(!browser->reloadFailed(), 15000);
        QVERIFY(!browser->showingLastGoodPicture());
        QTRY_COMPARE(centre(browser.get()), QColor(0, 0, 200));
    }

    void silentServerTimesOutAndConnectionBackRetries()
    {
        browser->setReloadTimings(1000, 600000);
        server.setDelay(QStringLiteral("/radar"), 8000);
        browser->Refresh();
        QVERIFY(waitLoaded());
        QVERIFY(browser->reloadFailed());
        QCOMPARE(centre(browser.get()), QColor(200, 0, 0));
        QVERIFY(failedStatusSeen());

        // Not a minute later: the connection indicator turning green asks at once.
        server.setDelay(QStringLiteral("/radar"), 0);
        server.setPage(QStringLiteral("/radar"), colourPage("rgb(0,0,200)", QStringLiteral("Radar")));
        browser->ConnectionRestored();
        QTRY_VERIFY_WITH_TIMEOUT(!browser->reloadFailed(), 15000);
        QTRY_COMPARE(centre(browser.get()), QColor(0, 0, 200));
    }

    void userNavigationIsNeverHeldBack()
    {
        server.setDelay(QStringLiteral("/radar"), 5000);
        browser->Refresh();
        QVERIFY(browser->showingLastGoodPicture());
        browser->Navigate(server.url(QStringLiteral("/other")).toString());
        QVERIFY(!browser->showingLastGoodPicture());
        QTRY_COMPARE_WITH_TIMEOUT(centre(browser.get()), QColor(0, 160, 0), 15000);
        QVERIFY(!browser->reloadFailed());
    }

    void aClickShowsTheLivePage()
    {
        server.setDelay(QStringLiteral("/radar"), 5000);
        browser->Refresh();
        auto* cover = browser->findChild<QLabel*>(QStringLiteral("LastGoodPicture"));
        QVERIFY(cover->isVisible());
        QTest::mouseClick(cover, Qt::LeftButton);
        QVERIFY(!browser->showingLastGoodPicture());
    }

    void scrollPositionKeptAcrossARefresh()
    {
        server.setPage(QStringLiteral("/long"), colourPage("rgb(200,0,0)", QStringLiteral("Long"), 5000));
        QVERIFY(show(QStringLiteral("/long")));
        browser->view()->page()->runJavaScript(QStringLiteral("window.scrollTo(0, 1200)"));
        const auto scrollY = [this] {
            QVariant y;
            bool done = false;
            browser->view()->page()->runJavaScript(QStringLiteral("window.scrollY"), [&](const QVariant& v) {
                y = v;
                done = true;
            });
            for (int waited = 0; !done && waited < 5000; waited += 10) {
                QTest::qWait(10);
            }
            return y.toInt();
        };
        QTRY_COMPARE(scrollY(), 1200);
        browser->Refresh();
        QVERIFY(waitLoaded());
        QTRY_COMPARE(scrollY(), 1200);
    }
};

SKYVANE_TEST_MAIN(TestWatchQuality)
#include "tst_WatchQuality.moc"
