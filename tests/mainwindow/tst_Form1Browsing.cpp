#include "Form1Fixture.h"
#include "LoopbackServer.h"
#include "RecordingSoundPlayer.h"
#include "TestMain.h"
#include "platform/WebEngineBrowserControl.h"
#include "windows/Form1.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QWebEngineView>

// The main window over the real engine, pages from a loopback server.
class TestForm1Browsing : public QObject
{
    Q_OBJECT

    LoopbackServer server;
    QTemporaryDir dir;
    AppState state;
    QStringList soundLog;
    std::unique_ptr<Form1> form;
    WebEngineBrowserControl* browser = nullptr;

    bool go(const QString& address)
    {
        QSignalSpy done(browser, &BrowserControl::DownloadComplete);
        form->findChild<QComboBox*>(QStringLiteral("Combo1"))->setEditText(address);
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
        return done.wait(15000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(server.start());
        server.setPage(
            QStringLiteral("/one"),
            LoopbackServer::page(
                QStringLiteral("One"),
                QStringLiteral(
                    "<a id='next' href='/two' style='display:block;width:100%;height:300px'>two</a>")));
        server.setPage(QStringLiteral("/two"), LoopbackServer::page(QStringLiteral("Two")));
        server.setPage(QStringLiteral("/three"), LoopbackServer::page(QStringLiteral("Three")));
        LoopbackServer::Response redirect;
        redirect.status = 302;
        redirect.location = server.url(QStringLiteral("/three")).toString().toUtf8();
        server.setResponse(QStringLiteral("/moved"), redirect);

        state.AppDir = dir.path();
        state.Settings.MainWidth = 9000;
        state.Settings.MainHeight = 7000;
        Form1Parts parts;
        auto real = std::make_unique<WebEngineBrowserControl>();
        browser = real.get();
        parts.browser = std::move(real);
        parts.sound = std::make_unique<RecordingSoundPlayer>(soundLog);
        completeParts(parts);
        form = std::make_unique<Form1>(state, std::move(parts));
        form->Form_Load();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    void cleanupTestCase() { form.reset(); }

    void progressShownThenHidden()
    {
        auto* box = form->findChild<QWidget*>(QStringLiteral("Picture3"));
        bool shown = false;
        const QMetaObject::Connection watch =
            connect(browser, &BrowserControl::ProgressChange, this,
                    [&](qint32 p) { shown = shown || (p > 0 && box->isVisible()); });
        const bool loaded = go(server.url(QStringLiteral("/three")).toString());
        disconnect(watch);
        QVERIFY(loaded);
        QVERIFY(shown);
        QVERIFY(!box->isVisible());
    }

    void linkClickAndRedirectUpdateTheSelector()
    {
        QVERIFY(go(server.url(QStringLiteral("/one")).toString()));
        state.MinuteCount = 7;
        QSignalSpy done(browser, &BrowserControl::DownloadComplete);
        QWidget* target = browser->view()->focusProxy();
        QVERIFY(target != nullptr);
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(40, 40));
        QTRY_COMPARE_WITH_TIMEOUT(form->findChild<QComboBox*>(QStringLiteral("Combo1"))->currentText(),
                                  server.url(QStringLiteral("/two")).toString(), 15000);
        QCOMPARE(state.MinuteCount, qint16(0));
        QCOMPARE(form->findChild<QLabel*>(QStringLiteral("Label2"))->text(), QStringLiteral("0"));

        QVERIFY(go(server.url(QStringLiteral("/moved")).toString()));
        QTRY_COMPARE(form->findChild<QComboBox*>(QStringLiteral("Combo1"))->currentText(),
                     server.url(QStringLiteral("/three")).toString());
    }
};

SKYVANE_TEST_MAIN(TestForm1Browsing)
#include "tst_Form1Browsing.moc"
