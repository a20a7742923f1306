// The cost of keeping frames: for 100 refreshes of a 1920 x 1080 view, the window thread's share
// (taking the picture of the view and handing it over) and the total (with the comparing, encoding
// and writing on the recorder's thread); then the Replay view opened on 36 full-HD frames.
//
//   build/bench-bin/frame_bench [refreshes=100]
// Prints CSV lines: measure,median,worst,goal.

#include "LoopbackServer.h"
#include "PreparedDialogs.h"
#include "ProcessTreeMemory.h"
#include "TestMain.h"
#include "core/PreferencesStore.h"
#include "platform/FrameRecorder.h"
#include "platform/WebEngineBrowserControl.h"
#include "windows/ReplayView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QWebEngineView>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

QByteArray radarPage(int sweep)
{
    // A full-screen picture whose wedge moves at each load, as a radar sweep does.
    return QStringLiteral(
               "<html><body style='margin:0;background:#123'><svg width='1920' height='1080'>"
               "<circle cx='960' cy='540' r='500' fill='#264'/><path d='M960 540 L%1 %2 A500 500 0 0 1 "
               "%3 %4 Z' fill='#dd3'/></svg></body></html>")
        .arg(960 + 500 * std::cos(sweep * 0.3))
        .arg(540 + 500 * std::sin(sweep * 0.3))
        .arg(960 + 500 * std::cos(sweep * 0.3 + 0.4))
        .arg(540 + 500 * std::sin(sweep * 0.3 + 0.4))
        .toUtf8();
}

void print(const char* name, QList<double> v, const char* goal)
{
    std::sort(v.begin(), v.end());
    std::printf("%s,%.2f,%.2f,%s\n", name, v[v.size() / 2], v.last(), goal);
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir runtimeDir;
    prepareHeadlessEnvironment(runtimeDir);
    QApplication app(argc, argv);
    const int refreshes = argc > 1 ? QByteArray(argv[1]).toInt() : 100;

    LoopbackServer server;
    if (!server.start()) {
        return 1;
    }
    QTemporaryDir dataDir;
    AppState state;
    state.AppDir = dataDir.path();
    FrameRecorder recorder(FrameStore(state.framesPath()));
    WebEngineBrowserControl browser;
    browser.resize(1920, 1080);
    browser.show();
    QList<double> uiMs, totalMs;
    for (int i = 0; i < refreshes; ++i) {
        server.setPage(QStringLiteral("/radar"), radarPage(i));
        QSignalSpy shown(&browser, &BrowserControl::pictureShown);
        browser.navigate(server.url(QStringLiteral("/radar")).toString() + QStringLiteral("?%1").arg(i));
        if (!shown.wait(20000)) {
            std::fprintf(stderr, "no picture after load %d\n", i);
            return 1;
        }
        // What the window thread does for a frame: the picture of the view, handed to the recorder.
        QElapsedTimer t;
        t.start();
        const QImage picture = browser.view()->grab().toImage();
        recorder.take(picture, QStringLiteral("http://radar/"));
        uiMs << double(t.nsecsElapsed()) / 1e6;
        recorder.finish();
        totalMs << double(t.nsecsElapsed()) / 1e6;
    }
    print("frame_ui_thread_ms", uiMs, "10");
    print("frame_total_ms", totalMs, "-");

    // Replay of 36 full-HD frames: the time to open, and the memory it holds.
    const FrameStore& store = recorder.store();
    PreparedDialogs dialogs;
    QWidget window;
    window.resize(1920, 1080);
    window.show();
    const qint64 before = ProcessTreeMemory::sample(QCoreApplication::applicationPid()).pssKiB;
    PreferencesStore preferences(state.preferencesPath());
    ReplayView replay(dialogs, state, preferences, &window);
    QElapsedTimer t;
    t.start();
    replay.toggleOver(&window, QStringLiteral("http://radar/"), store);
    replay.repaint();
    const double openMs = double(t.nsecsElapsed()) / 1e6;
    QTest::qWait(500);
    const qint64 after = ProcessTreeMemory::sample(QCoreApplication::applicationPid()).pssKiB;
    std::printf("replay_frames,%d,%d,36\n", replay.frameCount(), replay.frameCount());
    print("replay_open_ms", {openMs}, "300");
    print("replay_memory_mib", {double(after - before) / 1024.0}, "150");
    return 0;
}
