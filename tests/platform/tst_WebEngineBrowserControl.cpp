#include "LoopbackServer.h"
#include "TestFiles.h"
#include "TestMain.h"
#include "platform/WebEngineBrowserControl.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QSslKey>
#include <QSslServer>
#include <QTemporaryDir>
#include <QWebEngineScript>

#include <QWebEngineView>

#include <csignal>

namespace {

QColor centre(QWidget* w)
{
    const QImage image = w->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace

// The real engine behind the browser control, on pages from a loopback server.
class TestWebEngineBrowserControl : public QObject
{
    Q_OBJECT

    LoopbackServer server;
    std::unique_ptr<WebEngineBrowserControl> browser;

    QString at(const char* path) const { return server.url(QLatin1String(path)).toString(); }

    void makeBrowser(int reloadsBeforeRenewal = 0)
    {
        browser = std::make_unique<WebEngineBrowserControl>(nullptr, reloadsBeforeRenewal);
        browser->resize(400, 300);
        browser->show();
    }

    bool navigateAndWait(const QString& address)
    {
        QSignalSpy done(browser.get(), &BrowserControl::downloadCompleted);
        browser->navigate(address);
        return done.wait(15000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server.start());
        server.setPage(QStringLiteral("/a"), LoopbackServer::page(QStringLiteral("Page A")));
        server.setPage(QStringLiteral("/b"), LoopbackServer::page(QStringLiteral("Page B")));
    }

    void init() { makeBrowser(); }

    void navigateRaisesTheEvents()
    {
        QSignalSpy titles(browser.get(), &BrowserControl::titleChanged);
        QSignalSpy navigated(browser.get(), &BrowserControl::navigationCompleted);
        QSignalSpy progress(browser.get(), &BrowserControl::progressChanged);
        QSignalSpy status(browser.get(), &BrowserControl::statusTextChanged);
        server.setDelay(QStringLiteral("/a"), 2 * WebEngineBrowserControl::LoadingShownAfterMs);
        QVERIFY(navigateAndWait(at("/a"))); // longer than a glance: told as it goes
        QCOMPARE(browser->currentAddress(), at("/a"));
        QTRY_COMPARE(titles.isEmpty() ? QString() : titles.last().at(0).toString(), QStringLiteral("Page A"));
        QVERIFY(!navigated.isEmpty() && status.first().at(0).toString().startsWith(QLatin1String("Opening")));
        QCOMPARE(progress.last().at(0).toInt(), -1);
        QVERIFY(progress.size() >= 2 && progress.first().at(1).toInt() == 100);
        server.setDelay(QStringLiteral("/a"), 0);
        progress.clear();
        QElapsedTimer glance;
        glance.start();
        QVERIFY(navigateAndWait(at("/b"))); // at a glance: only the end is told
        QVERIFY(progress.size() == 1 || glance.elapsed() >= WebEngineBrowserControl::LoadingShownAfterMs);
        const QString done = status.last().at(0).toString();
        QVERIFY(done.startsWith(QLatin1String("Done - loaded at ")));
        for (const char* note : {"New picture at 10:00", "No change since 10:00"}) { // replaces, not adds
            browser->setPictureNote(QLatin1String(note));
            QCOMPARE(status.last().at(0).toString(), done + QStringLiteral(". ") + QLatin1String(note));
        }
    }

    void saveAsWritesThePageWhereTheUserSays()
    {
        QTemporaryDir dir;
        QString answer = dir.filePath(QStringLiteral("saved radar.html"));
        browser->setSavePathAsker([&](const QString&) { return answer; });
        QVERIFY(navigateAndWait(at("/a")));
        QSignalSpy finished(browser.get(), &BrowserControl::saveFinished);
        browser->saveAs();
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.first(), (QList<QVariant>{true, answer}));
        QVERIFY(TestFiles::read(answer).contains("Page A"));
        answer = QStringLiteral("/proc/radar.html"); // nowhere to write, even for root: not saved
        browser->saveAs();
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.last().at(0).toBool(), false);
        answer.clear(); // a cancelled dialog saves nothing and says nothing
        browser->saveAs();
        QVERIFY(!finished.wait(1500));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"saved radar.html"});
    }

    // Pop-ups without a click and bad certificates are refused.
    void refusals()
    {
        QTemporaryDir dir;
        server.setPage(QStringLiteral("/opener"),
                       LoopbackServer::page(QStringLiteral("Opener"),
                                            QStringLiteral("<script>window.open('/popped');document.title="
                                                           "'tried'</script>")));
        QVERIFY(navigateAndWait(at("/opener")));
        QTRY_COMPARE(browser->view()->title(), QStringLiteral("tried"));
        QCOMPARE(server.requestCount(QStringLiteral("/popped")), 0);
        QCOMPARE(browser->currentAddress(), at("/opener"));
        // Asked where the user is and to notify: refused at once, never left unanswered.
        server.setPage(
            QStringLiteral("/asks"),
            LoopbackServer::page(QStringLiteral("Asks"),
                                 QStringLiteral("<script>Promise.all([new Promise(r => navigator.geolocation"
                                                ".getCurrentPosition(() => r('given'), () => r('refused'))),"
                                                " Notification.requestPermission()]).then(v => "
                                                "document.title = v.join(' '))</script>")));
        QVERIFY(navigateAndWait(at("/asks")));
        QTRY_COMPARE(browser->view()->title(), QStringLiteral("refused denied"));

        // A self-signed certificate made for the test, on a TLS server of the test's own.
        const QString cert = dir.filePath(QStringLiteral("cert.pem")),
                      key = dir.filePath(QStringLiteral("key.pem"));
        if (QProcess::execute(QStringLiteral("openssl"),
                              {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                               "-nodes", "-days", "1", "-subj", "/CN=localhost", "-keyout", key, "-out",
                               cert}) != 0) {
            QSKIP("openssl is missing");
        }
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificate(QSslCertificate::fromPath(cert).value(0));
        tls.setPrivateKey(QSslKey(TestFiles::read(key), QSsl::Ec));
        QSslServer tlsServer;
        tlsServer.setSslConfiguration(tls);
        QVERIFY(tlsServer.listen(QHostAddress::LocalHost));
        QSignalSpy status(browser.get(), &BrowserControl::statusTextChanged);
        QVERIFY(navigateAndWait(QStringLiteral("https://localhost:%1/").arg(tlsServer.serverPort())));
        QVERIFY2(status.last().at(0).toString().endsWith(
                     QLatin1String("The certificate of localhost was refused (self-signed or from an unknown "
                                   "authority)")),
                 qPrintable(status.last().at(0).toString()));
    }

    // What the user does during a refresh comes first. (The picture kept through slow, failed and
    // hanging refreshes is seen end to end.)
    void userNavigationAndClicksAreNeverHeldBack()
    {
        server.setPage(QStringLiteral("/radar"),
                       LoopbackServer::page("Radar", "<style>body{background:rgb(200,0,0)}</style>"));
        server.setPage(QStringLiteral("/other"),
                       LoopbackServer::page("Other", "<style>body{background:rgb(0,160,0)}</style>"));
        QVERIFY(QTest::qWaitForWindowExposed(browser.get()));
        QVERIFY(navigateAndWait(at("/radar")));
        QTRY_COMPARE(centre(browser.get()), QColor(200, 0, 0)); // the red radar page on screen
        server.setDelay(QStringLiteral("/radar"), 5000);
        browser->refresh();
        auto* cover = browser->findChild<QLabel*>(QStringLiteral("LastGoodPicture"));
        QVERIFY(cover->isVisible());
        QTest::mouseClick(cover, Qt::LeftButton); // a click shows the live page
        QVERIFY(!cover->isVisible());
        browser->refresh();
        browser->navigate(at("/other"));
        QVERIFY(!cover->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(centre(browser.get()), QColor(0, 160, 0), 15000);
        QVERIFY(!browser->refreshFailed());
    }

    void scrollPositionKeptAcrossARefresh()
    {
        server.setPage(QStringLiteral("/long"),
                       LoopbackServer::page("Long", "<div style='height:5000px'></div>"));
        QVERIFY(navigateAndWait(at("/long")));
        const auto scrollY = [this](const QString& script) {
            QVariant y;
            browser->view()->page()->runJavaScript(script,
                                                   [&y](const QVariant& v) { y = v.isValid() ? v : 0; });
            for (int waited = 0; !y.isValid() && waited < 5000; waited += 10) {
                QTest::qWait(10);
            }
            return y.toInt();
        };
        scrollY(QStringLiteral("window.scrollTo(0, 1200); window.scrollY"));
        QTRY_COMPARE(scrollY(QStringLiteral("window.scrollY")), 1200);
        QTRY_COMPARE(browser->view()->page()->scrollPosition().y(), 1200.0);
        browser->refresh();
        QVERIFY(QSignalSpy(browser.get(), &BrowserControl::downloadCompleted).wait(20000));
        QTRY_COMPARE(scrollY(QStringLiteral("window.scrollY")), 1200);
    }

    // A map page writes its view into its address at once, again at its load event, and every moment
    // while it is shown (also while the next load is under way, which cancels it in the engine): each
    // refresh asks for the address the page was loaded from, and is a good load of it.
    void aPageWritingItsAddressIsRefreshedAtItsOwn()
    {
        server.setPage(
            QStringLiteral("/map"),
            LoopbackServer::page(
                QStringLiteral("Map"),
                QStringLiteral("<script>history.replaceState(null, '', '?lat=40.1&lon=-88.2&zoom=7');"
                               "addEventListener('load', () => history.pushState(null, '', "
                               "'?lat=40.1&lon=-88.2&zoom=7&t=' + Date.now()));"
                               "setInterval(() => history.replaceState(null, '', '?lat=40.1&t=' + "
                               "Date.now()), 20);</script>")));
        QVERIFY(navigateAndWait(at("/map")));
        QTRY_VERIFY(browser->currentAddress().contains(QLatin1String("lat=40.1"))); // as the page wrote it
        server.setDelay(QStringLiteral("/map"), 700); // the page goes on writing while the refresh loads
        for (int refresh = 1; refresh <= 6; ++refresh) {
            QSignalSpy judged(browser.get(), &BrowserControl::refreshJudged);
            browser->refresh();
            QVERIFY(judged.wait(15000));
            QCOMPARE(judged.first().first().toBool(), true);
            QVERIFY(server.requestCount(QStringLiteral("/map")) >= 1 + refresh);
            QCOMPARE(server.lastTarget(QStringLiteral("/map")), QStringLiteral("/map"));
            QVERIFY(!browser->refreshFailed());
            QCOMPARE(browser->pictureAddress(), at("/map"));
        }
        server.setDelay(QStringLiteral("/map"), 0);
    }

    // Every few reloads under the cover a fresh page gives the engine's memory back: it asks the server
    // for the page as a reload does, even where the page may be cached, and is wired as the first one
    // was; a page with history to go back to, or with something in its sessionStorage, is kept.
    // Five crashes in half an hour make the page anew, and its crash too ends a supervised program.
    void aRendererThatKeepsDyingGivesUp()
    {
        browser = std::make_unique<WebEngineBrowserControl>(nullptr, 1000, true);
        browser->setReloadTimings(60000, 60000, 100); // the pauses after crashes from a tenth of a second
        browser->resize(400, 300);
        browser->show();
        QVERIFY(navigateAndWait(at("/a")));
        QSignalSpy gaveUp(browser.get(), &BrowserControl::renderingGaveUp);
        const QWebEnginePage* first = browser->view()->page();
        qint64 killed = 0;
        for (int crash = 1; crash <= 6; ++crash) {
            QTRY_VERIFY_WITH_TIMEOUT(browser->view()->page()->renderProcessPid() > 0 &&
                                         browser->view()->page()->renderProcessPid() != killed &&
                                         !browser->refreshLoading(),
                                     20000);
            QCOMPARE(browser->view()->page() != first, crash == 6);
            QVERIFY(gaveUp.isEmpty());
            killed = browser->view()->page()->renderProcessPid();
            ::kill(pid_t(killed), SIGKILL);
        }
        QTRY_COMPARE_WITH_TIMEOUT(gaveUp.size(), 1, 10000);
    }

    void aFreshPageUnderTheCover()
    {
        int served = 0;
        server.setGenerator(QStringLiteral("/count"), [&served] {
            ++served;
            return LoopbackServer::Response{LoopbackServer::page(QStringLiteral("Count %1").arg(served)),
                                            "text/html", "200 OK", "max-age=3600"};
        });
        makeBrowser(2);
        QSignalSpy titles(browser.get(), &BrowserControl::titleChanged);
        QSignalSpy status(browser.get(), &BrowserControl::statusTextChanged);
        QVERIFY(navigateAndWait(at("/count")));
        const QWebEnginePage* first = browser->view()->page();
        for (int i = 0; i < 2; ++i) {
            browser->refresh();
            QVERIFY(QSignalSpy(browser.get(), &BrowserControl::downloadCompleted).wait(15000));
        }
        QVERIFY(browser->view()->page() == first);
        browser->refresh();
        QVERIFY(QSignalSpy(browser.get(), &BrowserControl::downloadCompleted).wait(15000));
        QVERIFY(browser->view()->page() != first);
        QCOMPARE(served, 4);
        QCOMPARE(browser->view()->title(), QStringLiteral("Count 4"));
        QTRY_COMPARE(titles.last().first().toString(), QStringLiteral("Count 4"));
        QVERIFY(!browser->refreshFailed());
        QVERIFY(!browser->findChild<QLabel*>(QStringLiteral("LastGoodPicture"))->isVisible());
        for (const auto& said : status) {
            QVERIFY2(!said.first().toString().contains(QStringLiteral("not opened")),
                     qPrintable(said.first().toString()));
        }

        QSignalSpy back(browser.get(), &BrowserControl::historyStateChanged);
        QVERIFY(navigateAndWait(at("/a")));
        QTRY_VERIFY(back.contains({BrowserControl::BackCommand, true}));
        const QWebEnginePage* withHistory = browser->view()->page();
        for (int i = 0; i < 3; ++i) {
            browser->refresh();
            QVERIFY(QSignalSpy(browser.get(), &BrowserControl::downloadCompleted).wait(15000));
        }
        QVERIFY(browser->view()->page() == withHistory);

        browser->setUnattended(true); // history no longer holds the page; its sessionStorage does
        server.setPage(
            QStringLiteral("/session"),
            LoopbackServer::page(QStringLiteral("Session"),
                                 QStringLiteral("<script>sessionStorage.n = (+sessionStorage.n || 0) + 1;"
                                                "document.title = 'Session ' + sessionStorage.n;</script>")));
        QVERIFY(navigateAndWait(at("/session")));
        const QWebEnginePage* keeping = browser->view()->page();
        bool answered = false; // after the control's own look at the page, which was asked first
        browser->view()->page()->runJavaScript(QStringLiteral("1"), QWebEngineScript::ApplicationWorld,
                                               [&answered](const QVariant&) { answered = true; });
        QTRY_VERIFY(answered);
        for (int i = 0; i < 3; ++i) {
            browser->refresh();
            QVERIFY(QSignalSpy(browser.get(), &BrowserControl::downloadCompleted).wait(15000));
        }
        QVERIFY(browser->view()->page() == keeping);
        QTRY_COMPARE(browser->view()->title(), QStringLiteral("Session 4"));
        browser->setUnattended(false);
    }
};

SKYVANE_TEST_MAIN(TestWebEngineBrowserControl)
#include "tst_WebEngineBrowserControl.moc"
