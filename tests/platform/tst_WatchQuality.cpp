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

// What the user does during a refresh comes first; a refresh keeps the place on the page. (The
// picture kept through slow, failed and hanging refreshes is seen end to end.)
class TestWatchQuality : public QObject
{
    Q_OBJECT

    LoopbackServer server;
    std::unique_ptr<WebEngineBrowserControl> browser;

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
        QVERIFY(show(QStringLiteral("/radar")));
        QTRY_COMPARE(centre(browser.get()), QColor(200, 0, 0));
    }

    void cleanup() { browser.reset(); }

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
