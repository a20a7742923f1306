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
        server.setPage(QStringLiteral("/help"), LoopbackServer::page(QStringLiteral("SkyvaneHelp")));
        server.setPage(QStringLiteral("/own"), LoopbackServer::page(QStringLiteral("Skyvane ie5+")));
        server.setPage(QStringLiteral("/helpfile"), LoopbackServer::page(QStringLiteral("SkyvaneHelp.htm")));
        server.setPage(QStringLiteral("/variant"), LoopbackServer::page(QStringLiteral("skyvanehelp")));
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

    void titlesMakeTheCaption_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("caption");
        QTest::newRow("page") << "/one"
                              << "One - Skyvane ie5+";
        QTest::newRow("help title") << "/help"
                                    << "Skyvane ie5+";
        QTest::newRow("own name") << "/own"
                                  << "Skyvane ie5+";
        QTest::newRow("help file name") << "/helpfile"
                                        << "Skyvane ie5+";
        QTest::newRow("case variant") << "/variant"
                                      << "skyvanehelp - Skyvane ie5+";
    }
    void titlesMakeTheCaption()
    {
        QFETCH(QString, path);
        QFETCH(QString, caption);
        QVERIFY(go(server.url(path).toString()));
        QTRY_COMPARE(form->windowTitle(), caption);
        QCOMPARE(form->findChild<QComboBox*>(QStringLiteral("Combo1"))->currentText(),
                 server.url(path).toString());
    }

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
