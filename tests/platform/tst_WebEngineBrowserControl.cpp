#include "LoopbackServer.h"
#include "TestMain.h"
#include "TlsLoopbackServer.h"
#include "platform/WebEngineBrowserControl.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>

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

class TestWebEngineBrowserControl : public QObject
{
    Q_OBJECT

    LoopbackServer server;
    std::unique_ptr<WebEngineBrowserControl> browser;

    bool navigateAndWait(const QString& address)
    {
        QSignalSpy done(browser.get(), &BrowserControl::DownloadComplete);
        browser->Navigate(address);
        return done.wait(15000);
    }

    void showRadar()
    {
        server.setPage(QStringLiteral("/radar"), colourPage("rgb(200,0,0)", QStringLiteral("Radar")));
        server.setDelay(QStringLiteral("/radar"), 0);
        server.setPage(QStringLiteral("/other"), colourPage("rgb(0,160,0)", QStringLiteral("Other")));
        QVERIFY(QTest::qWaitForWindowExposed(browser.get()));
        QVERIFY(navigateAndWait(server.url(QStringLiteral("/radar")).toString()));
        QTRY_COMPARE(centre(browser.get()), QColor(200, 0, 0));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server.start());
        server.setPage(QStringLiteral("/a"), LoopbackServer::page(QStringLiteral("Page A"),
                                                                  QStringLiteral("<a id=l href='/b'>b</a>")));
        server.setPage(QStringLiteral("/b"), LoopbackServer::page(QStringLiteral("Page B")));
        server.setPage(QStringLiteral("/c"), LoopbackServer::page(QStringLiteral("Page C")));
    }

    void init()
    {
        browser = std::make_unique<WebEngineBrowserControl>();
        browser->resize(400, 300);
        browser->show();
    }

    void cleanup() { browser.reset(); }

    void navigateRaisesTheEvents()
    {
        QSignalSpy titles(browser.get(), &BrowserControl::TitleChange);
        QSignalSpy navigated(browser.get(), &BrowserControl::NavigateComplete2);
        QSignalSpy progress(browser.get(), &BrowserControl::ProgressChange);
        QSignalSpy status(browser.get(), &BrowserControl::StatusTextChange);
        QVERIFY(navigateAndWait(server.url(QStringLiteral("/a")).toString()));
        QCOMPARE(browser->LocationURL(), server.url(QStringLiteral("/a")).toString());
        QTRY_COMPARE(titles.isEmpty() ? QString() : titles.last().at(0).toString(), QStringLiteral("Page A"));
        QVERIFY(!navigated.isEmpty());
        QVERIFY(!progress.isEmpty());
        QCOMPARE(progress.last().at(0).toInt(), -1);
        const QString done = status.last().at(0).toString();
        QVERIFY(done.startsWith(QLatin1String("Done - loaded at ")));
        for (const char* note : {"New picture at 10:00", "No change since 10:00"}) { // replaces, not adds
            browser->setPictureNote(QLatin1String(note));
            QCOMPARE(status.last().at(0).toString(), done + QStringLiteral(". ") + QLatin1String(note));
        }
        bool sawPercentage = false;
        for (const QList<QVariant>& p : progress) {
            sawPercentage = sawPercentage || (p.at(0).toInt() > 0 && p.at(1).toInt() == 100);
        }
        QVERIFY(sawPercentage);
    }

    void bareHostAndLocalPath()
    {
        const QString bare = QStringLiteral("127.0.0.1:%1/b").arg(server.url(QStringLiteral("/")).port());
        QVERIFY(navigateAndWait(bare));
        QCOMPARE(browser->LocationURL(), server.url(QStringLiteral("/b")).toString());

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("local.htm"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(LoopbackServer::page(QStringLiteral("Local")));
        f.close();
        QVERIFY(navigateAndWait(path));
        QCOMPARE(QUrl(browser->LocationURL()).toLocalFile(), path);
    }

    void saveAsWritesThePageWhereTheUserSays()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("saved radar.html"));
        QStringList suggested;
        browser->setSavePathAsker([&](const QString& s) {
            suggested << s;
            return target;
        });
        QVERIFY(navigateAndWait(server.url(QStringLiteral("/a")).toString()));
        QSignalSpy finished(browser.get(), &BrowserControl::SaveFinished);
        browser->ExecWBSaveAs();
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.first(), (QList<QVariant>{true, target}));
        QCOMPARE(suggested.size(), 1);
        QFile saved(target);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().contains("Page A"));

        // A cancelled dialog saves nothing and says so.
        browser->setSavePathAsker([](const QString&) { return QString(); });
        finished.clear();
        browser->ExecWBSaveAs();
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.first().at(0).toBool(), false);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"saved radar.html"});
    }

    void zoomLevels()
    {
        QVERIFY(navigateAndWait(server.url(QStringLiteral("/a")).toString()));
        QVERIFY(browser->ExecWBZoom(4));
        QCOMPARE(browser->view()->zoomFactor(), 1.5);
        QVERIFY(navigateAndWait(server.url(QStringLiteral("/b")).toString()));
        QCOMPARE(browser->view()->zoomFactor(), 1.5); // kept across navigations
        QVERIFY(!browser->ExecWBZoom(5));
        QVERIFY(browser->ExecWBZoom(0));
        QCOMPARE(browser->view()->zoomFactor(), 0.75);
    }

    void popUpsWithoutAClickAreBlocked()
    {
        server.setPage(QStringLiteral("/popper"),
                       LoopbackServer::page(QStringLiteral("Popper"),
                                            QStringLiteral("<script>window.open('/popped')</script>")));
        server.setPage(QStringLiteral("/popped"), LoopbackServer::page(QStringLiteral("Popped")));
        QVERIFY(navigateAndWait(server.url(QStringLiteral("/popper")).toString()));
        QTest::qWait(500);
        QCOMPARE(server.requestCount(QStringLiteral("/popped")), 0);
        QCOMPARE(browser->LocationURL(), server.url(QStringLiteral("/popper")).toString());
    }

    void remotePagesCannotReadLocalFiles()
    {
        QTemporaryDir dir;
        QFile secret(dir.filePath(QStringLiteral("secret.txt")));
        QVERIFY(secret.open(QIODevice::WriteOnly));
        secret.write("secret");
        secret.close();
        const QString fileUrl = QUrl::fromLocalFile(secret.fileName()).toString();
        server.setPage(
            QStringLiteral("/reader"),
            LoopbackServer::page(
                QStringLiteral("Reader"),
                QStringLiteral("<script>fetch('%1').then(r=>r.text()).then(t=>document.title='read '+t)"
                               ".catch(()=>document.title='blocked')</script>")
                    .arg(fileUrl)));
        QSignalSpy titles(browser.get(), &BrowserControl::TitleChange);
        QVERIFY(navigateAndWait(server.url(QStringLiteral("/reader")).toString()));
        QTRY_COMPARE(browser->view()->title(), QStringLiteral("blocked"));
    }

    void certificateErrorsAreRefused()
    {
        TlsLoopbackServer tls;
        if (!tls.start()) {
            QSKIP("openssl or TLS support is missing");
        }
        QSignalSpy status(browser.get(), &BrowserControl::StatusTextChange);
        QSignalSpy done(browser.get(), &BrowserControl::DownloadComplete);
        browser->Navigate(tls.url().toString());
        QVERIFY(done.wait(20000));
        bool refused = false;
        for (const QList<QVariant>& s : status) {
            refused = refused || s.at(0).toString().startsWith(QLatin1String("Refused localhost"));
        }
        QVERIFY(refused);
        QVERIFY(browser->view()->title() != QLatin1String("Secret"));
    }

    void emptyAddressShowsNothing()
    {
        QCOMPARE(browser->LocationURL(), QString());
        QVERIFY(navigateAndWait(QString()));
        QCOMPARE(browser->LocationURL(), QString());
    }
    // What the user does during a refresh comes first; a refresh keeps the place on the page. (The
    // picture kept through slow, failed and hanging refreshes is seen end to end.)
    void userNavigationIsNeverHeldBack()
    {
        showRadar();
        server.setDelay(QStringLiteral("/radar"), 5000);
        browser->Refresh();
        QVERIFY(browser->showingLastGoodPicture());
        browser->Navigate(server.url(QStringLiteral("/other")).toString());
        QVERIFY(!browser->showingLastGoodPicture());
        QTRY_COMPARE_WITH_TIMEOUT(centre(browser.get()), QColor(0, 160, 0), 15000);
        QVERIFY(!browser->reloadFailed());
    }

    void aCoveredNavigationKeepsThePictureUntilLoaded()
    {
        showRadar();
        server.setDelay(QStringLiteral("/other"), 1500);
        QSignalSpy done(browser.get(), &BrowserControl::DownloadComplete);
        browser->NavigateCovered(server.url(QStringLiteral("/other")).toString());
        QVERIFY(browser->showingLastGoodPicture());
        QCOMPARE(centre(browser.get()), QColor(200, 0, 0));
        QVERIFY(done.wait(20000));
        QVERIFY(!browser->showingLastGoodPicture());
        QTRY_COMPARE(centre(browser.get()), QColor(0, 160, 0));
        server.setDelay(QStringLiteral("/other"), 0);
    }

    void aClickShowsTheLivePage()
    {
        showRadar();
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
        QVERIFY(navigateAndWait(server.url(QStringLiteral("/long")).toString()));
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
        QVERIFY(QSignalSpy(browser.get(), &BrowserControl::DownloadComplete).wait(20000));
        QTRY_COMPARE(scrollY(), 1200);
    }
};

SKYVANE_TEST_MAIN(TestWebEngineBrowserControl)
#include "tst_WebEngineBrowserControl.moc"
