#include "LoopbackServer.h"
#include "TestMain.h"
#include "TlsLoopbackServer.h"
#include "platform/WebEngineBrowserControl.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <QWebEngineView>

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
        QVERIFY(status.last().at(0).toString().startsWith(QLatin1String("Done - loaded at ")));
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
};

SKYVANE_TEST_MAIN(TestWebEngineBrowserControl)
#include "tst_WebEngineBrowserControl.moc"
