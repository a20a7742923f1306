#include "PreparedDialogs.h"
#include "TestFiles.h"
#include "TestMain.h"
#include "core/PreferencesStore.h"
#include "platform/FrameRecorder.h"
#include "windows/ReplayView.h"

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

namespace {

QImage filled(const QColor& colour)
{
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

// Replay over the frames kept: its keys, its speed, its loop saved, and the frames that come and go.
class TestReplayView : public QObject
{
    Q_OBJECT
private slots:
    void replayControls()
    {
        QTemporaryDir dir;
        AppState state;
        state.AppDir = dir.path();
        FrameStore store(state.framesPath(), 4);
        FrameRecorder recorder(store);
        for (const Qt::GlobalColor c : {Qt::red, Qt::green, Qt::blue}) {
            recorder.take(filled(c), QStringLiteral("http://a/"));
            recorder.finish();
        }
        PreparedDialogs dialogs;
        dialogs.saveAnswer = dir.filePath(QStringLiteral("loop.webp"));
        QWidget browser;
        PreferencesStore preferences(state.preferencesPath());
        ReplayView replay(dialogs, state, preferences, &browser);
        browser.show();
        browser.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&browser));
        replay.toggleOver(&browser, QStringLiteral("http://a/"), store);
        QCOMPARE(keyTarget(), &replay);
        QCOMPARE(replay.current(), 2); // the newest first (the keys through the loop are seen end to end)
        recorder.take(filled(Qt::yellow), QStringLiteral("http://a/"));
        recorder.finish();
        replay.frameKept(QStringLiteral("http://a/")); // joins the loop; the frame shown stays
        QCOMPARE(replay.frameCount(), 4);
        QCOMPARE(replay.current(), 2);
        QTest::keyClick(keyTarget(), Qt::Key_End);
        QCOMPARE(replay.current(), 3);
        QTest::keyClick(keyTarget(), Qt::Key_Space);
        QVERIFY(replay.playing());
        replay.findChild<QComboBox*>(QStringLiteral("SpeedBox"))->setCurrentIndex(2);
        QCOMPARE(preferences.load().replaySpeed, 2);
        auto* timer = replay.findChild<QTimer*>(QStringLiteral("playTimer"));
        QTRY_COMPARE(replay.current(), 3); // round the loop to the newest again
        QCOMPARE(timer->interval(),
                 state.Prefs.dwellMs); // held for the dwell, the others a fifth of a second
        QSignalSpy said(&replay, &ReplayView::message);
        dialogs.loopTimeAnswer = false; // the frames' times left off, and that choice kept
        replay.findChild<QPushButton*>(QStringLiteral("SaveLoop"))->click(); // made on a thread of its own
        QVERIFY(said.wait(20000));
        QVERIFY(dialogs.loopSuggested.endsWith(QLatin1String("Loop.webp")));
        QVERIFY(TestFiles::read(dialogs.saveAnswer).startsWith("RIFF"));
        QCOMPARE((QList<bool>{dialogs.loopTimeOffered, preferences.load().timeOnFrames}),
                 (QList<bool>{true, false}));
        // Paused on the oldest frame when a new one pushes it out: Replay moves to the next that is there.
        QTest::keyClick(keyTarget(), Qt::Key_Space);
        QTest::keyClick(keyTarget(), Qt::Key_Home);
        recorder.take(filled(Qt::cyan), QStringLiteral("http://a/"));
        recorder.finish();
        replay.frameKept(QStringLiteral("http://a/"));
        QCOMPARE((QList<int>{replay.frameCount(), replay.current()}), (QList<int>{4, 0}));
        replay.grab();
        replay.follow(QStringLiteral("http://b/")); // the browser went elsewhere: that page's frames, none
        QCOMPARE((QList<int>{replay.frameCount(), replay.current()}), (QList<int>{0, -1}));
        replay.grab();
        QSignalSpy closing(&replay, &ReplayView::closeRequested);
        QTest::keyClick(keyTarget(), Qt::Key_Escape);
        QCOMPARE(closing.size(), 1);
    }
};

SKYVANE_TEST_MAIN(TestReplayView)
#include "tst_ReplayView.moc"
