#include "core/CommandLine.h"

#include "core/AwakeHours.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

// The number given for option, if it is a whole number from low to high; else sets the error.
int bounded(const QCommandLineParser& parser, const QString& option, int low, int high, QString& error)
{
    if (!parser.isSet(option)) {
        return 0;
    }
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (!ok || value < low || value > high) {
        error =
            QCoreApplication::translate("CommandLine", "--%1 takes a whole number from %2 to %3, not \"%4\".")
                .arg(option)
                .arg(low)
                .arg(high)
                .arg(parser.value(option));
        return 0;
    }
    return value;
}

} // namespace

namespace {

// The program's own options on parser; Qt's window-system arguments hidden beside them.
void describe(QCommandLineParser& parser)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions); // "-platform", as Qt has it
    parser.setApplicationDescription(QCoreApplication::translate(
        "CommandLine", "A web browser for weather radar and other large-image pages: one page, refreshed."));
    parser.addOptions({
        {{QStringLiteral("h"), QStringLiteral("help")},
         QCoreApplication::translate("CommandLine", "Show this help and exit.")},
        {QStringLiteral("version"), QCoreApplication::translate("CommandLine", "Show the version and exit.")},
        {QStringLiteral("interval"),
         QCoreApplication::translate("CommandLine",
                                     "Refresh the page every MINUTES (1 to 180), from the start."),
         QStringLiteral("MINUTES")},
        {QStringLiteral("kiosk"),
         QCoreApplication::translate("CommandLine",
                                     "Full screen with only the page; Ctrl+Q ends. Refreshes every "
                                     "10 minutes unless --interval says otherwise.")},
        {QStringLiteral("screen"),
         QCoreApplication::translate("CommandLine", "The screen for --kiosk, from 0."), QStringLiteral("N")},
        {QStringLiteral("rotate"),
         QCoreApplication::translate("CommandLine", "Show each saved site in turn for MINUTES."),
         QStringLiteral("MINUTES")},
        {QStringLiteral("loop"),
         QCoreApplication::translate(
             "CommandLine", "With --kiosk: play the last FRAMES (12 unless given) frames kept of the "
                            "page as a loop, the newest held longest, while the refreshes go on."),
         QStringLiteral("[FRAMES]")},
        {QStringLiteral("follow"),
         QCoreApplication::translate("CommandLine",
                                     "Ask the site once a minute whether its picture changed, and refresh "
                                     "at once when it did, for every page shown.")},
        {QStringLiteral("awake"),
         QCoreApplication::translate("CommandLine",
                                     "Sleep outside these hours of the local clock (\"07:00-23:00\", several "
                                     "separated by commas, one may cross midnight): the screen off and no "
                                     "refreshes; a key or the pointer wakes it for 10 minutes."),
         QStringLiteral("HH:MM-HH:MM")},
        {QStringLiteral("serve"),
         QCoreApplication::translate(
             "CommandLine", "Answer HTTP on PORT (HOST 127.0.0.1 unless given): the picture, its age and the "
                            "refresh for a phone or home automation. Its token is kept in RemoteToken beside "
                            "Skyvn.ini: the program's folder, or ~/.local/share/Skyvane where that cannot be "
                            "written."),
         QStringLiteral("[HOST:]PORT")},
        {QStringLiteral("mqtt"),
         QCoreApplication::translate(
             "CommandLine",
             "Tell Home Assistant of the page through the MQTT broker at HOST (port 1883 unless "
             "given), as USER if given with the password in [Mqtt] PasswordFile of "
             "Skyvane.conf: the picture, its age, the state, the storm alert, and the buttons "
             "Refresh and Next."),
         QStringLiteral("[USER@]HOST[:PORT]")},
    });
    const char* const withValue[] = {
        "platform", "platformpluginpath", "platformtheme", "plugin",       "display",
        "geometry", "qwindowgeometry",    "qwindowicon",   "qwindowtitle", "title",
        "style",    "stylesheet",         "session",       "dialogs"};
    for (const char* name : withValue) {
        QCommandLineOption qt(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt);
    }
    for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
        QCommandLineOption qt(QString::fromLatin1(name));
        qt.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qt);
    }
    parser.addPositionalArgument(
        QStringLiteral("ADDRESS"),
        QCoreApplication::translate("CommandLine", "A page or file to open instead of the start page."),
        QStringLiteral("[ADDRESS]"));
}

} // namespace

bool CommandLine::parseServe(const QString& text, QString* host, int* port)
{
    const QString t = text.trimmed();
    const qsizetype colon = t.lastIndexOf(QLatin1Char(':'));
    QString h = colon < 0 ? QStringLiteral("127.0.0.1") : t.left(colon);
    if (h.startsWith(QLatin1Char('[')) && h.endsWith(QLatin1Char(']'))) {
        h = h.mid(1, h.size() - 2);
    } else if (h.contains(QLatin1Char(':'))) {
        return false; // an IPv6 address needs its brackets, or its last part is taken for the port
    }
    bool ok = false;
    const int p = t.mid(colon + 1).toInt(&ok);
    if (!ok || p < 1 || p > 65535 || h.isEmpty()) {
        return false;
    }
    *host = h;
    *port = p;
    return true;
}

bool CommandLine::parseMqtt(const QString& text, QString* user, QString* host, int* port)
{
    const QString t = text.trimmed();
    const qsizetype at = t.lastIndexOf(QLatin1Char('@'));
    const QString u = at < 0 ? QString() : t.left(at);
    QString h = t.mid(at + 1);
    int p = 0;
    const qsizetype bracket = h.lastIndexOf(QLatin1Char(']'));
    const qsizetype colon = h.lastIndexOf(QLatin1Char(':'));
    if (colon > bracket && (bracket >= 0 || h.indexOf(QLatin1Char(':')) == colon)) {
        bool ok = false;
        p = h.mid(colon + 1).toInt(&ok);
        if (!ok || p < 1 || p > 65535) {
            return false;
        }
        h = h.left(colon);
    }
    if (h.startsWith(QLatin1Char('[')) && h.endsWith(QLatin1Char(']'))) {
        h = h.mid(1, h.size() - 2);
    } else if (h.contains(QLatin1Char(':'))) {
        return false; // an IPv6 address needs its brackets
    }
    for (const QChar c : h) {
        if (!(c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('-') ||
              c == QLatin1Char(':') || c == QLatin1Char('_'))) {
            return false;
        }
    }
    if (h.isEmpty() || (at >= 0 && u.isEmpty())) {
        return false;
    }
    *user = u;
    *host = h;
    *port = p;
    return true;
}

QString CommandLine::usage()
{
    QCommandLineParser parser;
    describe(parser);
    // The parser names the program as it was started, path and all; the usage names it plainly.
    const QString text = parser.helpText();
    return QStringLiteral("Usage: skyvane [options] [ADDRESS]") + text.mid(text.indexOf(QLatin1Char('\n')));
}

CommandLine CommandLine::parse(const QStringList& arguments)
{
    CommandLine c;
    QCommandLineParser parser;
    describe(parser);
    // --loop takes its number only when one follows: "--loop 24", "--loop=24" or "--loop" alone.
    QStringList given;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (i > 0 && arguments[i] == QLatin1String("--loop")) {
            bool number = false;
            (void)arguments.value(i + 1).toInt(&number);
            given.append(QStringLiteral("--loop=") +
                         (number ? arguments[++i] : QString::number(LoopFramesInitial)));
        } else {
            given.append(arguments[i]);
        }
    }
    if (!parser.parse(given)) {
        c.action = Action::Fail;
        c.error = parser.errorText();
        return c;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        c.action = Action::ShowHelp;
        return c;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        c.action = Action::ShowVersion;
        return c;
    }
    c.interval = bounded(parser, QStringLiteral("interval"), IntervalMinimum, IntervalMaximum, c.error);
    c.rotate = bounded(parser, QStringLiteral("rotate"), 1, RotateMaximum, c.error);
    c.loop = bounded(parser, QStringLiteral("loop"), 2, LoopFramesMaximum, c.error);
    c.screen = parser.isSet(QStringLiteral("screen"))
                   ? bounded(parser, QStringLiteral("screen"), 0, 99, c.error)
                   : -1;
    c.kiosk = parser.isSet(QStringLiteral("kiosk"));
    c.follow = parser.isSet(QStringLiteral("follow"));
    if (parser.isSet(QStringLiteral("serve")) &&
        !parseServe(parser.value(QStringLiteral("serve")), &c.serveHost, &c.servePort)) {
        c.error = QCoreApplication::translate(
                      "CommandLine", "--serve takes [HOST:]PORT with a PORT from 1 to 65535, not \"%1\".")
                      .arg(parser.value(QStringLiteral("serve")));
    }
    if (parser.isSet(QStringLiteral("awake"))) {
        QString why;
        if (const auto hours = AwakeHours::parse(parser.value(QStringLiteral("awake")), &why)) {
            c.awake = hours->text();
        } else {
            c.error =
                QCoreApplication::translate("CommandLine", "--awake takes HH:MM-HH:MM[,...]: %1.").arg(why);
        }
    }
    if (parser.isSet(QStringLiteral("mqtt")) &&
        !parseMqtt(parser.value(QStringLiteral("mqtt")), &c.mqttUser, &c.mqttHost, &c.mqttPort)) {
        c.error =
            QCoreApplication::translate(
                "CommandLine", "--mqtt takes [USER@]HOST[:PORT] with a PORT from 1 to 65535, not \"%1\".")
                .arg(parser.value(QStringLiteral("mqtt")));
    }
    const QStringList rest = parser.positionalArguments();
    if (rest.size() > 1) {
        c.error =
            QCoreApplication::translate("CommandLine", "Give at most one ADDRESS, not %1.").arg(rest.size());
    }
    if (!c.error.isEmpty()) {
        c.action = Action::Fail;
        return c;
    }
    c.address = rest.value(0);
    if (c.kiosk && c.interval == 0) {
        c.interval = KioskInterval;
    }
    return c;
}
