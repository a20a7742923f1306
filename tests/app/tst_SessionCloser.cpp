#include "Form1Fixture.h"
#include "TestMain.h"
#include "app/SessionCloser.h"
#include "core/SettingsRecord.h"

#include <QFile>

#include <csignal>

// Every way the system ends the program saves the settings exactly as the close box does.
class TestSessionCloser : public QObject
{
    Q_OBJECT

    static QByteArray closeBy(const std::function<void(Form1&, SessionCloser&)>& how)
    {
        Form1Fixture f;
        f.state.Settings.StartPage = QStringLiteral("http://radar.example/");
        Form1& form = f.create();
        SessionCloser closer(&form);
        form.Form_Load();
        form.show();
        if (!QTest::qWaitForWindowExposed(&form)) {
            return {};
        }
        form.moveOuter(600, 300, 9000, 6000);
        QTest::qWait(50);
        how(form, closer);
        for (int waited = 0; form.isVisible() && waited < 5000; waited += 10) {
            QTest::qWait(10);
        }
        QFile file(f.dir.filePath(QStringLiteral("Skyvn.ini")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void endingsSaveLikeTheCloseBox_data()
    {
        QTest::addColumn<int>("how"); // 0 close box, a signal number, or -1 for the session ending
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("session ending") << -1;
    }
    void endingsSaveLikeTheCloseBox()
    {
        QFETCH(int, how);
        const QByteArray byCloseBox = closeBy([](Form1& form, SessionCloser&) { form.close(); });
        QCOMPARE(byCloseBox.size(), 470);
        const QByteArray byEnding = closeBy([how](Form1&, SessionCloser& closer) {
            if (how < 0) {
                closer.sessionEnding();
            } else {
                ::raise(how);
            }
        });
        QCOMPARE(byEnding, byCloseBox);
        const SettingsRecord r = SettingsRecord::decode(byEnding);
        QVERIFY(nearTwips(r.MainLeft, 600) && nearTwips(r.MainWidth, 9000));
        QCOMPARE(r.StartPage, QStringLiteral("http://radar.example/"));
    }
};

SKYVANE_TEST_MAIN(TestSessionCloser)
#include "tst_SessionCloser.moc"
