#include "Form1Fixture.h"
#include "TestMain.h"
#include "platform/QtSoundPlayer.h"
#include "windows/UpDown.h"

#include <QLabel>
#include <QMessageBox>
#include <QTimer>

// The automatic refresh driven tick by tick through the main window.
class TestForm1Refresh : public QObject
{
    Q_OBJECT

    // Runs a script of space-separated steps: "up" and "down" click the interval arrows, "value=N"
    // sets the interval without a Change, "d1"/"d2" double-click Label1/Label2, "tick" is one minute,
    // "count=N" sets MinuteCount, "url=" / "url=X" set what the browser displays.
    static void run(Form1Fixture& f, const QString& script)
    {
        auto* updown = f.child<UpDown>("UpDown1");
        for (const QString& step : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (step == QLatin1String("up")) {
                updown->stepUp();
            } else if (step == QLatin1String("down")) {
                updown->stepDown();
            } else if (step.startsWith(QLatin1String("value="))) {
                updown->setValue(step.mid(6).toInt());
            } else if (step == QLatin1String("d1")) {
                QTest::mouseDClick(f.child<QLabel>("Label1"), Qt::LeftButton);
            } else if (step == QLatin1String("d2")) {
                QTest::mouseDClick(f.child<QLabel>("Label2"), Qt::LeftButton);
            } else if (step == QLatin1String("tick")) {
                tick(f.child<QTimer>("Timer1"));
            } else if (step.startsWith(QLatin1String("count="))) {
                f.state.MinuteCount = qint16(step.mid(6).toInt());
            } else if (step.startsWith(QLatin1String("url="))) {
                f.browser->location = step.mid(4);
            } else {
                QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
            }
        }
    }

private slots:
    void sequences_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("label2");
        QTest::addColumn<bool>("timerOn");
        QTest::addColumn<int>("reloads");
        QTest::addColumn<int>("sounds");
        QTest::newRow("off at start") << ""
                                      << "0" << false << 0 << 0;
        QTest::newRow("change switches on") << "up"
                                            << "0" << true << 0 << 0;
        QTest::newRow("second change keeps on") << "up down"
                                                << "0" << true << 0 << 0;
        QTest::newRow("counting") << "up tick tick tick"
                                  << "3" << true << 0 << 0;
        QTest::newRow("interval 1 refreshes every tick") << "value=2 down tick tick tick"
                                                         << "0" << true << 3 << 3;
        QTest::newRow("reaches interval 3") << "value=4 down tick tick tick"
                                            << "0" << true << 1 << 1;
        QTest::newRow("one short of interval 3") << "value=4 down tick tick"
                                                 << "2" << true << 0 << 0;
        QTest::newRow("interval lowered below count") << "up count=7 value=6 down tick"
                                                      << "0" << true << 1 << 1;
        QTest::newRow("nothing displayed: sound, no reload") << "url= value=2 down tick"
                                                             << "0" << true << 0 << 1;
        QTest::newRow("d1 switches off and resets") << "up tick tick d1"
                                                    << "0" << false << 0 << 0;
        QTest::newRow("d1 twice from running") << "up tick tick d1 d1"
                                               << "0" << true << 0 << 0;
        QTest::newRow("d1 from off keeps the count") << "count=4 d1"
                                                     << "4" << true << 0 << 0;
        QTest::newRow("d2 resets, timer stays") << "up tick tick d2"
                                                << "0" << true << 0 << 0;
        QTest::newRow("d2 while off") << "count=5 d2"
                                      << "0" << false << 0 << 0;
        QTest::newRow("arrow at the top bound does nothing") << "value=180 up"
                                                             << "0" << false << 0 << 0;
        QTest::newRow("arrow at the bottom bound does nothing") << "value=1 down"
                                                                << "0" << false << 0 << 0;
    }
    void sequences()
    {
        QFETCH(QString, script);
        Form1Fixture f;
        f.create();
        f.browser->location = QStringLiteral("http://127.0.0.1/radar");
        run(f, script);
        QTEST(f.child<QLabel>("Label2")->text(), "label2");
        QTEST(f.form->timerOn(), "timerOn");
        QTEST(f.child<QTimer>("Timer1")->isActive(), "timerOn");
        QTEST(int(f.browser->calls.count(QStringLiteral("Refresh"))), "reloads");
        QTEST(int(f.browser->calls.count(QStringLiteral("Play"))), "sounds");
        QCOMPARE(f.browser->calls.count(QStringLiteral("Refresh2:3")), 0); // the timer uses the plain reload
    }

    void refreshStepOrder()
    {
        Form1Fixture f;
        f.create();
        f.browser->location = QStringLiteral("http://127.0.0.1/radar");
        f.form->setRedialCheck([&] { f.browser->calls << QStringLiteral("Redial"); });
        QString countAtReload;
        f.browser->onRefresh = [&] { countAtReload = QString::number(f.state.MinuteCount); };
        f.child<UpDown>("UpDown1")->setValue(1);
        tick(f.child<QTimer>("Timer1"));
        const QString wav = QDir::toNativeSeparators(f.dir.filePath(QStringLiteral("Start.wav")));
        QCOMPARE(f.browser->calls, (QStringList{"Redial", "Close", "Open:" + wav, "Play", "Refresh"}));
        QCOMPARE(countAtReload, QStringLiteral("0"));

        // With the connection functions off there is no redial check.
        f.state.Settings.INetDisabled = 3;
        f.browser->calls.clear();
        tick(f.child<QTimer>("Timer1"));
        QCOMPARE(f.browser->calls.first(), QStringLiteral("Close"));
    }

    void labelColoursFollowTheTimer()
    {
        Form1Fixture f;
        Form1& form = f.create();
        auto* label1 = f.child<QLabel>("Label1");
        auto* label2 = f.child<QLabel>("Label2");
        const QColor off = form.palette().color(QPalette::Button);
        const QColor on = form.palette().color(QPalette::Base);
        QVERIFY(off != on);
        QCOMPARE(label1->palette().color(QPalette::Window), off);
        f.child<UpDown>("UpDown1")->stepUp();
        QCOMPARE(label1->text(), QStringLiteral("11"));
        QCOMPARE(label1->palette().color(QPalette::Window), on);
        QCOMPARE(label2->palette().color(QPalette::Window), on);
        QTest::mouseDClick(label1, Qt::LeftButton);
        QCOMPARE(label1->palette().color(QPalette::Window), off);
        QCOMPARE(label2->palette().color(QPalette::Window), off);
    }

    void missingSoundFileStillRefreshes()
    {
        QTemporaryDir emptyProgramDir;
        AppState state;
        state.AppDir = emptyProgramDir.path();
        Form1Parts parts;
        auto fake = std::make_unique<FakeBrowserControl>();
        FakeBrowserControl* browser = fake.get();
        browser->location = QStringLiteral("http://127.0.0.1/radar");
        parts.browser = std::move(fake);
        parts.sound = std::make_unique<QtSoundPlayer>();
        completeParts(parts);
        Form1 form(state, std::move(parts));
        form.findChild<UpDown*>(QStringLiteral("UpDown1"))->setValue(1);
        tick(form.findChild<QTimer*>(QStringLiteral("Timer1")));
        tick(form.findChild<QTimer*>(QStringLiteral("Timer1")));
        QCOMPARE(browser->calls, (QStringList{"Refresh", "Refresh"}));
        QCOMPARE(form.findChild<QLabel*>(QStringLiteral("Label2"))->text(), QStringLiteral("0"));
        for (QWidget* w : QApplication::topLevelWidgets()) {
            QVERIFY(!qobject_cast<QMessageBox*>(w)); // silent: no message
        }
    }

    void realTimerTicksOnce()
    {
        Form1Fixture f;
        f.create();
        auto* timer1 = f.child<QTimer>("Timer1");
        QCOMPARE(timer1->interval(), 60000);
        f.child<UpDown>("UpDown1")->stepDown();
        QVERIFY(timer1->isActive());
        timer1->setInterval(10); // a minute, shortened for the test
        QTRY_COMPARE(f.child<QLabel>("Label2")->text(), QStringLiteral("1"));
    }
};

SKYVANE_TEST_MAIN(TestForm1Refresh)
#include "tst_Form1Refresh.moc"
