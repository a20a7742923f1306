#include "app/Startup.h"

#include "core/AppState.h"
#include "core/AwakeHours.h"
#include "core/BrowsingSession.h"
#include "core/CommandLine.h"
#include "core/FanOutNotifier.h"
#include "core/FileMissing.h"
#include "core/PreferencesStore.h"
#include "core/ProgramDirectory.h"
#include "platform/DesktopNotifier.h"
#include "platform/FrameRecorder.h"
#include "platform/QtCommonDialogs.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtSoundPlayer.h"
#include "platform/SleepWatcher.h"
#include "windows/MainWindow.h"
#include "windows/SleepingHours.h"
#include "windows/WallDisplay.h"
#ifdef Q_OS_WIN
#include "platform/WinInetConnectionProbe.h"
#else
#include "platform/NetworkConnectionProbe.h"
#include "platform/XScreenPower.h"
#endif
#include "app/MqttSetup.h"
#include "app/QuietMessages.h"
#include "app/ServiceHeartbeat.h"
#include "app/SessionCloser.h"
#include "core/RemoteToken.h"
#include "core/SettingsFile.h"
#include "core/ShippedFiles.h"
#include "core/SiteRotation.h"
#include "core/StartupCorrections.h"
#include "core/WallHours.h"
#include "core/Watch.h"
#include "platform/HttpEndpoint.h"
#include "platform/PushSender.h"
#include "platform/SystemClock.h"
#include "platform/SystemdServiceManager.h"
#include "platform/WebEngineBrowserControl.h"
#include "windows/WindowReport.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLockFile>
#include <QLoggingCategory>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTime>

#include <cstdio>
#include <optional>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// What the start page's correction needs: the program directory and which files are there.
StartupCorrections::Environment filesOf(const QString& appDir)
{
    StartupCorrections::Environment env;
    env.appDir = appDir;
    env.fileMissing = &FileMissing;
    return env;
}

// The remote view, when asked for on the command line or in the preferences, and its token.
struct Serving
{
    QString host; // empty: not served
    int port = 0;
    QByteArray token;
    bool tokenIsNew = false; // written once the port is taken
    QString tokenPath;
    bool failed = false; // said on standard error
};

Serving serving(const CommandLine& options, const AppState& state)
{
    Serving s;
    s.host = options.serveHost;
    s.port = options.servePort;
    if (s.host.isEmpty() && !state.Prefs.serve.isEmpty() &&
        !CommandLine::parseServe(state.Prefs.serve, &s.host, &s.port)) {
        std::fprintf(stderr, "skyvane: Serve=%s in %s is not [HOST:]PORT\n", qPrintable(state.Prefs.serve),
                     qPrintable(QDir::toNativeSeparators(state.preferencesPath())));
        s.failed = true;
        return s;
    }
    if (s.host.isEmpty()) {
        return s;
    }
    s.tokenPath = QDir(state.dataDir()).filePath(QString::fromLatin1(RemoteToken::FileName));
    s.token = RemoteToken::loadOrNew(s.tokenPath, &s.tokenIsNew);
    if (s.token.isEmpty()) {
        // Not the program's own file to write: the window opens all the same, without the remote view.
        std::fprintf(stderr,
                     "skyvane: --serve: %s is not a regular file; it is left alone and nothing is served\n",
                     qPrintable(QDir::toNativeSeparators(s.tokenPath)));
        s.host.clear();
    }
    return s;
}

} // namespace

StartupCorrections::Environment Startup::platformEnvironment(const QString& appDir)
{
    StartupCorrections::Environment env = filesOf(appDir);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize size = screen->size();
        env.screenWidthTwips = static_cast<float>(size.width() * 1440.0 / screen->logicalDotsPerInchX());
        env.screenHeightTwips = static_cast<float>(size.height() * 1440.0 / screen->logicalDotsPerInchY());
    }
    env.fonts = QFontDatabase::families();
    env.uiFontFamily = QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family();
    env.arialFamily = QFontInfo(QFont(QStringLiteral("Arial"))).family();
    return env;
}

int Startup::answer(const CommandLine& options)
{
    switch (options.action) {
    case CommandLine::Action::ShowHelp:
        std::fputs(qPrintable(CommandLine::usage()), stdout);
        return 0;
    case CommandLine::Action::ShowVersion:
        std::printf("Skyvane %s\n", SKYVANE_VERSION);
        return 0;
    case CommandLine::Action::Fail:
        std::fprintf(stderr, "skyvane: %s\n\n%s", qPrintable(options.error),
                     qPrintable(CommandLine::usage()));
        return 2;
    case CommandLine::Action::Run:
        break;
    }
    return 0;
}

int Startup::run(int argc, char** argv)
{
    // The command line first: --help, --version and mistakes are answered without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    const CommandLine options = CommandLine::parse(arguments);
    if (options.action != CommandLine::Action::Run) {
        const QCoreApplication answering(argc, argv);
        return answer(options);
    }
    Q_INIT_RESOURCE(shipped);
    SystemdServiceManager service; // before anything is started that could inherit its socket
    bool sandboxOff = false;
#ifdef Q_OS_UNIX
    // The engine's sandbox cannot work for root and the engine then refuses to start at all; run
    // without it, and say so. Ordinary users always keep it.
    sandboxOff = ::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX");
    if (sandboxOff) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    }
#endif
    // On a Wayland desktop a Wayland client of its own (Qt 6.4 goes through XWayland on some, GNOME's
    // among them), unless QT_QPA_PLATFORM or -platform says otherwise; X when that cannot start.
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !arguments.contains(QStringLiteral("-platform"))) {
        qputenv("QT_QPA_PLATFORM", "wayland;xcb");
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The engine reports its set-up and Chromium's own errors on the terminal at every start; keep
    // that for whoever asks for it with QT_LOGGING_RULES.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES")) {
        QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
        if (!qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS")) {
            qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--log-level=3");
        }
    }
    const QuietMessages quiet(sandboxOff);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Skyvane"));
    QApplication::setApplicationVersion(QStringLiteral(SKYVANE_VERSION));
    if (sandboxOff) {
        std::fputs("skyvane: running as root, so web pages run without the engine's sandbox\n", stderr);
    }
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/skyvane.png")));

    AppState state;
    const QString programDir = ProgramDirectory::appDirFrom(QCoreApplication::applicationDirPath());
    const QString installedDataDir = ProgramDirectory::appDirFrom(
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/skyvane")));
    const QString userDataDir =
        ProgramDirectory::appDirFrom(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    const ProgramDirectory::Locations where = ProgramDirectory::locate(
        programDir, installedDataDir, QFileInfo(programDir).isWritable(), userDataDir);
    state.AppDir = where.appDir;
    state.DataDir = where.dataDir;
    // The remote view's port is taken before the engine starts, and before anything is written: a
    // bad address or a port in use ends the start at once, leaving the folder as it was.
    PreferencesStore preferences(state.preferencesPath()); // the one that reads and saves them
    int areasPassedOver = 0;
    state.Prefs = preferences.load(&areasPassedOver);
    if (areasPassedOver > 0) {
        std::fprintf(stderr, "skyvane: %s: %d entries of Areas past the first %d were passed over\n",
                     qPrintable(QDir::toNativeSeparators(state.preferencesPath())), areasPassedOver,
                     Preferences::MaxAreas);
    }
    // The notices for a phone: an address that is no web address is said, and passed over.
    QStringList refused;
    PushSender push(PushNotice::targets(state.Prefs.notifyNtfy, state.Prefs.notifyWebhook, &refused),
                    &SystemClock::monotonicMs);
    for (const QString& line : refused) {
        std::fprintf(stderr, "skyvane: %s: [Notify] %s; it gets no notices\n",
                     qPrintable(QDir::toNativeSeparators(state.preferencesPath())), qPrintable(line));
    }
    const Serving serve = serving(options, state);
    if (serve.failed) {
        return 2;
    }
    std::unique_ptr<HttpEndpoint> endpoint;
    if (!serve.host.isEmpty()) {
        endpoint = std::make_unique<HttpEndpoint>(serve.token);
        if (QString why; !endpoint->listen(serve.host, serve.port, &why)) {
            std::fprintf(stderr, "skyvane: --serve: %s\n", qPrintable(why));
            return 2;
        }
    }
    if (state.AppDir == programDir) {
        ShippedFiles::unpackIntoBareDirectory(state.AppDir); // a copy of the program alone
    }
    if (state.DataDir != state.AppDir) {
        QDir().mkpath(state.DataDir);
    }
    if (serve.tokenIsNew && !RemoteToken::keep(serve.tokenPath, serve.token)) {
        std::fprintf(stderr, "skyvane: --serve: the token could not be written to %s\n",
                     qPrintable(QDir::toNativeSeparators(serve.tokenPath)));
        return 2;
    }

    // The hours on the wall: a display that starts in its sleeping hours asks for no page until it wakes.
    std::optional<WallHours> hours;
    if (const QString awake = !options.awake.isEmpty() ? options.awake : state.Prefs.awake;
        !awake.isEmpty()) {
        QString why;
        const std::optional<AwakeHours> parsed = AwakeHours::parse(awake, &why);
        if (!parsed) {
            std::fprintf(stderr, "skyvane: Awake=%s in %s: %s\n", qPrintable(awake),
                         qPrintable(QDir::toNativeSeparators(state.preferencesPath())), qPrintable(why));
            return 2;
        }
        hours.emplace(
            *parsed, [] { return QTime::currentTime(); }, &SystemClock::monotonicMs);
        hours->check();
    }
    const bool asleepAtStart = hours && hours->asleep();

    const SettingsFile settingsFile(state.settingsPath());
    const SettingsRecord loaded = settingsFile.load();
    state.Settings = LiveSettings::fromRecord(loaded);
    // A name that is a file here opens that file ("radar.html" is no host name).
    state.StartAddress = !options.address.isEmpty() && QFileInfo(options.address).isFile()
                             ? QFileInfo(options.address).absoluteFilePath()
                             : options.address;

    // The engine's start-up and the first page are most of the program's start: the start page is
    // asked for as soon as the browser exists, and the window is made while it loads. Text that is no
    // address is left to the window, which says so in its status bar.
    StartupCorrections::correctStartPage(state.Settings, filesOf(state.AppDir));
    auto browser = std::make_unique<WebEngineBrowserControl>(nullptr, 0, service.supervised());
    browser->setFirstCrashPause(state.Prefs.crashPauseSeconds * 1000);
    if (const QString first = BrowsingSession::startAddress(state);
        !first.trimmed().isEmpty() && !asleepAtStart) {
        browser->navigateCovered(first);
        state.StartPageOpened = !browser->currentAddress().isEmpty();
    }
    StartupCorrections::apply(state.Settings, platformEnvironment(state.AppDir));
    state.rememberStart(loaded);
    // A second window on the same folder opens a title bar's height below and beside the first, not
    // exactly over it.
    QLockFile firstWindow(QDir(state.DataDir).filePath(QStringLiteral(".skyvane-window.lock")));
    if (!firstWindow.tryLock(0)) {
        const auto titleBar =
            static_cast<float>(QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight) * 15);
        state.Settings.MainLeft += titleBar;
        state.Settings.MainTop += titleBar;
    }

    MainWindowParts parts;
    auto dialogs = std::make_unique<QtCommonDialogs>();
    browser->setSavePathAsker(
        [d = dialogs.get()](const QString& suggested) { return d->askSavePath(suggested); });
    browser->setLoginAsker(
        [d = dialogs.get()](const QString& site, const QString& realm, QString* user, QString* password) {
            return d->askLogin(site, realm, user, password);
        });
    QtCommonDialogs* dialogsOverForm = dialogs.get();
    parts.browser = std::move(browser);
    parts.dialogs = std::move(dialogs);
    parts.sound = std::make_unique<QtSoundPlayer>();
    parts.alertSound = std::make_unique<QtSoundPlayer>();
    parts.notifier = std::make_unique<FanOutNotifier>(std::make_unique<DesktopNotifier>(), &push);
#ifdef Q_OS_WIN
    parts.probe = std::make_unique<WinInetConnectionProbe>();
#else
    parts.probe = std::make_unique<NetworkConnectionProbe>();
#endif
    auto messages = std::make_unique<QtMessageBoxes>();
    QtMessageBoxes* messagesOverForm = messages.get();
    parts.messages = std::move(messages);
    parts.frames =
        std::make_unique<FrameRecorder>(FrameStore(state.framesPath(), state.Prefs.framesPerAddress));
    Watch watch(&SystemClock::monotonicMs, &state.Prefs, &preferences);
    watch.setAsleep(asleepAtStart);
    MainWindow form(state, watch, preferences, std::move(parts));
    dialogsOverForm->setParent(&form); // never behind the window, even in full screen
    messagesOverForm->setParent(&form);
    SessionCloser closer(&form);
    if (options.screen >= 0 && !options.kiosk) {
        std::fputs("skyvane: --screen is for --kiosk; the window opens where it was\n", stderr);
    }
    if (options.loop > 0 && !options.kiosk) {
        std::fputs("skyvane: --loop is for --kiosk; in a window, Replay plays the loop\n", stderr);
    }
    // What reads the window goes before it, and the remote view before the report it reads.
    SiteRotation rotation;
    std::optional<WallDisplay> wall;
    if (options.kiosk || options.rotate > 0) {
        wall.emplace(WallDisplay::Parts{form, form.browser(), watch, form.areaWatch(), form.siteFeed(),
                                        form.frames(), state.Prefs, rotation, state.siteListPath(),
                                        [&form](QScreen* screen) { form.showPageOnly(screen); }},
                     options);
    }
    WindowReport report({state, form.browser(), form.session(), watch, form.frames(), &form.siteFeed(),
                         rotation,
                         std::make_unique<FanOutNotifier>(std::make_unique<DesktopNotifier>(), &push),
                         &SystemClock::monotonicMs});
    push.setReport([&report] { return report.report(); });
    if (auto* bar = form.findChild<QStatusBar*>()) {
        QObject::connect(&push, &PushSender::failed, bar,
                         [bar](const QString& words) { bar->showMessage(words); });
    }
    if (wall) {
        report.setNext([&wall] { return wall->showNextSite(); });
    }
    const std::unique_ptr<HttpEndpoint> remote = std::move(endpoint);
    if (remote) {
        report.serve();
        remote->setSource(&report);
    }
    ServiceHeartbeat heartbeat(service, report);
    // The last resort of a renderer that keeps dying: the window ends as by its close box (its settings
    // saved), and the program with EX_TEMPFAIL, for the service manager to start it afresh.
    int status = 0;
    QObject::connect(form.browser(), &BrowserControl::renderingGaveUp, &form,
                     [&form, &status](const QString& why) {
                         if (status == 0) {
                             std::fprintf(stderr, "skyvane: %s\n", qPrintable(why));
                             status = 75; // EX_TEMPFAIL
                             form.close();
                         }
                     });
    // Home Assistant over MQTT reads the same report, pictures and all.
    const std::unique_ptr<MqttSetup> mqtt =
        MqttSetup::start(options, state.Prefs.mqtt, report, [&form](const QString& text) {
            QMetaObject::invokeMethod(&form, "showStatusText", Q_ARG(QString, text));
        });
    if (mqtt) {
        report.serve();
    }
    SleepWatcher sleep;
    QObject::connect(&sleep, &SleepWatcher::woke, &watch, &Watch::wake);
#ifdef Q_OS_WIN
    ScreenPower* const screenPower = nullptr;
#else
    XScreenPower x11ScreenPower;
    ScreenPower* const screenPower = &x11ScreenPower;
#endif
    std::optional<SleepingHours> sleepingHours;
    if (hours) {
        sleepingHours.emplace(*hours, watch, screenPower);
        QObject::connect(&sleep, &SleepWatcher::woke, &*sleepingHours, &SleepingHours::check);
    }
    form.loadWindow();
    if (options.follow) {
        form.followEveryPage();
    }
    if (options.interval > 0) { // as if the user had set the interval
        watch.setInterval(options.interval);
    }
    form.show();
    form.activateWindow();
    const int ended = QApplication::exec();
    push.setReport({}); // the report goes first
    return status != 0 ? status : ended;
}
