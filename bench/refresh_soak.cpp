// Soak run of the automatic refresh: drives refresh steps of a page with a large, changing image
// from a loopback server and prints the memory of the whole process tree before and after.
//
//   build/bench-bin/refresh_soak [steps=500] [imageBytes=4000000]

#include "LoopbackServer.h"
#include "MainWindowFixture.h"
#include "ProcessTreeMemory.h"
#include "RadarPages.h"
#include "TestMain.h"
#include "core/ShippedFiles.h"
#include "core/Watch.h"
#include "platform/QtSoundPlayer.h"
#include "platform/SystemClock.h"
#include "platform/WebEngineBrowserControl.h"
#include "windows/MainWindow.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>

#include <cstdio>

namespace {

// The memory right after a load swings with the decoding of the big picture; the smallest of a few
// samples a moment later is the level a leak would raise.
ProcessTreeMemory::Sample settledSample(qint64 pid)
{
    ProcessTreeMemory::Sample best;
    for (int i = 0; i < 3; ++i) {
        QTest::qWait(300);
        const ProcessTreeMemory::Sample s = ProcessTreeMemory::sample(pid);
        if (i == 0 || s.pssKiB < best.pssKiB) {
            best = s;
        }
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir runtimeDir;
    prepareHeadlessEnvironment(runtimeDir);
    QApplication app(argc, argv);
    const int steps = argc > 1 ? QByteArray(argv[1]).toInt() : 500;
    const int imageBytes = argc > 2 ? QByteArray(argv[2]).toInt() : 4000000;

    LoopbackServer server;
    if (!server.start()) {
        std::fprintf(stderr, "cannot listen on loopback\n");
        return 1;
    }
    RadarPages::install(server, imageBytes);

    QTemporaryDir programDir;
    AppState state;
    state.AppDir = programDir.path();
    Q_INIT_RESOURCE(shipped);
    ShippedFiles::unpackIntoBareDirectory(state.AppDir); // the real Start.wav plays at every step
    state.Settings.MainWidth = 12000;
    state.Settings.MainHeight = 9000;
    state.Settings.StartPage = server.url(QStringLiteral("/radar")).toString();
    auto browser = std::make_unique<WebEngineBrowserControl>();
    WebEngineBrowserControl* engine = browser.get();
    Watch watch(&SystemClock::monotonicMs);
    PreferencesStore preferences(state.preferencesPath());
    MainWindow form(state, watch, preferences,
                    quietParts(std::move(browser), std::make_unique<QtSoundPlayer>()));
    watch.setInterval(1);

    QSignalSpy loaded(engine, &BrowserControl::downloadCompleted);
    form.loadWindow();
    form.show();
    if (!loaded.wait(30000)) {
        std::fprintf(stderr, "start page did not load\n");
        return 1;
    }
    // Let the engine settle, and warm up with a few refreshes, before the first sample.
    for (int i = 0; i < 10; ++i) {
        QMetaObject::invokeMethod(watch.findChild<QTimer*>(QStringLiteral("refreshTimer")), "timeout");
        loaded.wait(30000);
    }
    const qint64 pid = QCoreApplication::applicationPid();
    const ProcessTreeMemory::Sample start = settledSample(pid);
    std::printf("steps,pss_kib,rss_kib,processes\n0,%lld,%lld,%d\n", start.pssKiB, start.rssKiB,
                start.processes);

    QElapsedTimer clock;
    clock.start();
    int failed = 0;
    for (int i = 1; i <= steps; ++i) {
        loaded.clear();
        QMetaObject::invokeMethod(watch.findChild<QTimer*>(QStringLiteral("refreshTimer")), "timeout");
        if (!loaded.wait(30000)) {
            ++failed;
        }
        if (i % 100 == 0 || i == steps) {
            const ProcessTreeMemory::Sample s = settledSample(pid);
            std::printf("%d,%lld,%lld,%d\n", i, s.pssKiB, s.rssKiB, s.processes);
            std::fflush(stdout);
        }
    }
    const ProcessTreeMemory::Sample end = settledSample(pid);
    const double growth = 100.0 * double(end.pssKiB - start.pssKiB) / double(start.pssKiB);
    std::printf("# %d refresh steps in %.1f s, %d without a finished load, %d image requests\n", steps,
                double(clock.elapsed()) / 1000.0, failed, server.requestCount(QStringLiteral("/radar.bmp")));
    std::printf("# process tree PSS: start %lld KiB, end %lld KiB, growth %.2f%% (goal: at most 5%%)\n",
                start.pssKiB, end.pssKiB, growth);
    form.close();
    return failed == 0 ? 0 : 2;
}
