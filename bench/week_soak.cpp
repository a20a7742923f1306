// A week on the wall, compressed: refresh steps of a watched radar page driven as fast as the page
// loads, with a fault every 50th step, sampling what a leak would raise.
//
//   build-release/bench-bin/week_soak [--bare] [--renew-after N] [refreshes=10080] [imageBytes=4000000]
//
// Skyvane (the default) runs its own refresh step: the interval timer's minute, the cover, the look
// at the page, the frames and the change rule. The faults take turns: an error status, a server
// that hangs until the no-progress rule gives up, and a killed renderer. --bare reloads the same
// page in a bare QWebEngineView: the floor. Every 100 steps one CSV line goes to standard output:
// refreshes, the process tree's PSS and its processes, the program's open file descriptors and
// threads, the frames folder's files and bytes, and the process tree's USS (its private pages).
// PSS moves whenever another program mapping the same libraries starts or ends; USS only by the
// library pages that one process of the tree alone maps, and far less.

#include "LoopbackServer.h"
#include "MainWindowFixture.h"
#include "ProcessTreeMemory.h"
#include "RadarPages.h"
#include "TestMain.h"
#include "core/ShippedFiles.h"
#include "core/Watch.h"
#include "platform/FrameRecorder.h"
#include "platform/PageWatcher.h"
#include "platform/QtSoundPlayer.h"
#include "platform/SystemClock.h"
#include "platform/WebEngineBrowserControl.h"
#include "windows/MainWindow.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <csignal>
#include <cstdio>

namespace {

constexpr int kFaultEvery = 50;
constexpr int kSampleEvery = 100;
constexpr int kNoProgressMs = 5000; // the hang's cut comes sooner than on the wall; the path is the same

int entries(const QString& dir)
{
    return int(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size());
}

struct Sample
{
    qint64 pssKiB = 0;
    qint64 ussKiB = 0;
    int processes = 0; // the program and the engine's helpers
    int fds = 0;
    int threads = 0;
    int frameFiles = 0;
    qint64 frameBytes = 0;
};

// The memory right after a load swings with the decoding of the big picture; the smallest of a few
// samples a moment later is the level a leak would raise, taken for PSS and USS each on its own.
Sample settledSample(const QString& framesDir)
{
    Sample best;
    QTest::qWait(1000);
    for (int i = 0; i < 5; ++i) {
        QTest::qWait(300);
        const ProcessTreeMemory::Sample s = ProcessTreeMemory::sample(QCoreApplication::applicationPid());
        if (i == 0 || s.pssKiB < best.pssKiB) {
            best.pssKiB = s.pssKiB;
            best.processes = s.processes;
        }
        if (i == 0 || s.ussKiB < best.ussKiB) {
            best.ussKiB = s.ussKiB;
        }
    }
    best.fds = entries(QStringLiteral("/proc/self/fd"));
    best.threads = entries(QStringLiteral("/proc/self/task"));
    if (!framesDir.isEmpty()) {
        QDirIterator files(framesDir, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            best.frameBytes += files.nextFileInfo().size();
            ++best.frameFiles;
        }
    }
    return best;
}

void print(int refreshes, const Sample& s)
{
    std::printf("%d,%lld,%d,%d,%d,%d,%lld,%lld\n", refreshes, s.pssKiB, s.processes, s.fds, s.threads,
                s.frameFiles, s.frameBytes, s.ussKiB);
    std::fflush(stdout);
}

enum class Fault
{
    None,
    ErrorStatus,
    Hang,
    RendererKilled
};

// Halfway between samples, so that a sample never follows a fault at once.
Fault faultAt(int step)
{
    if (step % kFaultEvery != kFaultEvery / 2) {
        return Fault::None;
    }
    switch ((step / kFaultEvery) % 3) {
    case 0:
        return Fault::ErrorStatus;
    case 1:
        return Fault::Hang;
    default:
        return Fault::RendererKilled;
    }
}

// The radar page, answering 503 or not at all while a fault asks for it.
struct FaultyRadar
{
    explicit FaultyRadar(LoopbackServer& server) : m_server(server)
    {
        const QByteArray page = "<html><head><title>Radar</title></head><body style='margin:0'>"
                                "<img src='/radar.bmp' style='width:100%'></body></html>";
        m_server.setGenerator(QStringLiteral("/radar"), [this, page] {
            return m_errorStatus ? LoopbackServer::Response{"Busy", "text/plain", "503 Service Unavailable"}
                                 : LoopbackServer::Response{page};
        });
    }
    void set(Fault f)
    {
        m_errorStatus = f == Fault::ErrorStatus;
        m_server.setDelay(QStringLiteral("/radar"), f == Fault::Hang ? 4 * kNoProgressMs : 0);
    }

private:
    LoopbackServer& m_server;
    bool m_errorStatus = false;
};

int runSkyvane(LoopbackServer& server, int refreshes, int renewAfter)
{
    QTemporaryDir programDir;
    AppState state;
    state.AppDir = programDir.path();
    ShippedFiles::unpackIntoBareDirectory(state.AppDir); // the real Start.wav plays at every step
    state.Settings.MainWidth = 12000;
    state.Settings.MainHeight = 9000;
    state.Settings.StartPage = server.url(QStringLiteral("/radar")).toString();
    FaultyRadar radar(server);

    // A number of reloads to compare with the program's own choice.
    auto browser = renewAfter >= 0 ? std::make_unique<WebEngineBrowserControl>(nullptr, renewAfter)
                                   : std::make_unique<WebEngineBrowserControl>();
    WebEngineBrowserControl* engine = browser.get();
    engine->setReloadTimings(kNoProgressMs, 60000);
    MainWindowParts parts = quietParts(std::move(browser), std::make_unique<QtSoundPlayer>());
    parts.frames =
        std::make_unique<FrameRecorder>(FrameStore(state.framesPath(), state.Prefs.framesPerAddress));
    Watch watch(&SystemClock::monotonicMs);
    PreferencesStore preferences(state.preferencesPath());
    MainWindow form(state, watch, preferences, std::move(parts));
    auto* refreshTimer = watch.findChild<QTimer*>(QStringLiteral("refreshTimer"));
    auto* watcher = engine->findChild<PageWatcher*>();
    QSignalSpy judged(watcher, &PageWatcher::loadJudged);
    form.loadWindow();
    watch.setInterval(1); // as --interval 1: watched, so frames are kept
    form.show();
    if (!judged.wait(30000)) {
        std::fprintf(stderr, "the start page was not judged\n");
        return 1;
    }

    QElapsedTimer clock;
    clock.start();
    int unjudged = 0;
    for (int step = 1; step <= refreshes; ++step) {
        const Fault fault = faultAt(step);
        radar.set(fault);
        judged.clear();
        if (fault == Fault::RendererKilled) {
            const qint64 pid = engine->view()->page()->renderProcessPid();
            if (pid > 0) {
                ::kill(pid_t(pid), SIGKILL);
            }
        } else {
            QMetaObject::invokeMethod(refreshTimer, "timeout"); // the minute of a one-minute interval
        }
        if (!judged.wait(6 * kNoProgressMs)) {
            ++unjudged;
        }
        if (fault != Fault::None) {
            radar.set(Fault::None);
            judged.clear();
            QMetaObject::invokeMethod(refreshTimer, "timeout"); // and the next minute brings it back
            judged.wait(6 * kNoProgressMs);
        }
        if (step % kSampleEvery == 0) {
            print(step, settledSample(state.framesPath()));
        }
    }
    std::fprintf(stderr, "# %d refresh steps in %.0f s, %d not judged in time, %d picture requests\n",
                 refreshes, double(clock.elapsed()) / 1000.0, unjudged,
                 server.requestCount(QStringLiteral("/radar.bmp")));
    form.close();
    return 0;
}

int runBare(LoopbackServer& server, int reloads)
{
    FaultyRadar radar(server);
    QWebEngineView view;
    view.resize(800, 600);
    QSignalSpy finished(&view, &QWebEngineView::loadFinished);
    view.load(server.url(QStringLiteral("/radar")));
    view.show();
    if (!finished.wait(30000)) {
        std::fprintf(stderr, "the page did not load\n");
        return 1;
    }
    for (int step = 1; step <= reloads; ++step) {
        finished.clear();
        view.triggerPageAction(QWebEnginePage::ReloadAndBypassCache);
        finished.wait(30000);
        if (step % kSampleEvery == 0) {
            print(step, settledSample(QString()));
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir runtimeDir;
    prepareHeadlessEnvironment(runtimeDir);
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(shipped);
    QStringList args = app.arguments().mid(1);
    const bool bare = args.removeAll(QStringLiteral("--bare")) > 0;
    int renewAfter = -1; // the program's own
    if (const qsizetype at = args.indexOf(QStringLiteral("--renew-after")); at >= 0 && at + 1 < args.size()) {
        renewAfter = args.takeAt(at + 1).toInt();
        args.removeAt(at);
    }
    const int refreshes = args.value(0, QStringLiteral("10080")).toInt();
    const int imageBytes = args.value(1, QStringLiteral("4000000")).toInt();

    LoopbackServer server;
    if (!server.start()) {
        std::fprintf(stderr, "cannot listen on loopback\n");
        return 1;
    }
    RadarPages::install(server, imageBytes, 24); // 2% of the picture: a new frame every time
    std::printf("refreshes,pss_kib,processes,fds,threads,frame_files,frame_bytes,uss_kib\n");
    return bare ? runBare(server, refreshes) : runSkyvane(server, refreshes, renewAfter);
}
