// One way of keeping up with a site, on time compressed: Skyvane's own window on a page, refreshed
// every INTERVAL minutes, the site followed or not, where a minute lasts MINUTE_MS.
//
//   build-release/bench-bin/follow_bench URL INTERVAL MINUTE_MS SECONDS [--follow]
//
// Prints "new MS" (the monotonic clock, in milliseconds) whenever a refresh brings a new picture to
// the screen, "cpu0 MS" at the first picture and "cpu MS" at the end: the CPU time used so far by
// the program and the engine's helpers. bench/follow.py runs three of these side by side.

#include "MainWindowFixture.h"
#include "ProcessTreeMemory.h"
#include "TestMain.h"
#include "core/ShippedFiles.h"
#include "core/Watch.h"
#include "platform/FrameRecorder.h"
#include "platform/QtSoundPlayer.h"
#include "platform/SystemClock.h"
#include "platform/WebEngineBrowserControl.h"
#include "windows/MainWindow.h"

#include <QFile>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

qint64 monotonicMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now); // the clock Python's time.monotonic() reads
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// utime + stime of the program and its helpers still running, in milliseconds.
qint64 treeCpuMs()
{
    const qint64 ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    qint64 ticks = 0;
    for (qint64 pid : ProcessTreeMemory::tree(QCoreApplication::applicationPid())) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 12) {
            ticks += fields.at(11).toLongLong() + fields.at(12).toLongLong(); // fields 14 and 15
        }
    }
    return ticks * 1000 / qMax<qint64>(1, ticksPerSecond);
}

void say(const char* what, qint64 value)
{
    std::printf("%s %lld\n", what, value);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir runtimeDir;
    prepareHeadlessEnvironment(runtimeDir);
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(shipped);
    QStringList args = app.arguments().mid(1);
    const bool follow = args.removeAll(QStringLiteral("--follow")) > 0;
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: follow_bench URL INTERVAL MINUTE_MS SECONDS [--follow]\n");
        return 2;
    }
    const int interval = args.at(1).toInt();
    const int minuteMs = args.at(2).toInt();
    const int seconds = args.at(3).toInt();

    QTemporaryDir programDir;
    AppState state;
    state.AppDir = programDir.path();
    ShippedFiles::unpackIntoBareDirectory(state.AppDir);
    state.Settings.MainWidth = 12000;
    state.Settings.MainHeight = 9000;
    state.Settings.StartPage = args.at(0);

    MainWindowParts parts =
        quietParts(std::make_unique<WebEngineBrowserControl>(), std::make_unique<QtSoundPlayer>());
    parts.frames =
        std::make_unique<FrameRecorder>(FrameStore(state.framesPath(), state.Prefs.framesPerAddress));
    FrameRecorder* frames = parts.frames.get();
    Watch watch(&SystemClock::monotonicMs, nullptr, nullptr, nullptr, minuteMs);
    PreferencesStore preferences(state.preferencesPath());
    MainWindow form(state, watch, preferences, std::move(parts));
    bool first = true;
    QObject::connect(frames, &FrameRecorder::pictureCompared, &app,
                     [&first](const QString&, bool newPicture) {
                         if (std::exchange(first, false)) {
                             say("cpu0", treeCpuMs());
                         } else if (newPicture) {
                             say("new", monotonicMs());
                         }
                     });
    form.loadWindow();
    watch.setInterval(interval);
    if (follow) {
        form.followEveryPage();
    }
    form.show();
    QTimer::singleShot(qint64(seconds) * 1000, &app, [&] {
        say("cpu", treeCpuMs());
        form.close();
        app.quit();
    });
    return app.exec();
}
