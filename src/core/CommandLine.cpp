#include "core/CommandLine.h"

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

CommandLine CommandLine::parse(const QStringList& arguments)
{
    CommandLine c;
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "CommandLine", "A web browser for weather radar and other large-image pages: one page, refreshed."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QCoreApplication::translate("CommandLine", "Show this help and exit."));
    const QCommandLineOption version(
        QStringLiteral("version"), QCoreApplication::translate("CommandLine", "Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOptions({
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
    });
    parser.addPositionalArgument(
        QStringLiteral("ADDRESS"),
        QCoreApplication::translate("CommandLine", "A page or file to open instead of the start page."),
        QStringLiteral("[ADDRESS]"));
    c.usage = parser.helpText();
    if (!parser.parse(arguments)) {
        c.action = Action::Fail;
        c.error = parser.errorText();
        return c;
    }
    if (parser.isSet(help)) {
        c.action = Action::ShowHelp;
        return c;
    }
    if (parser.isSet(version)) {
        c.action = Action::ShowVersion;
        return c;
    }
    c.interval = bounded(parser, QStringLiteral("interval"), IntervalMinimum, IntervalMaximum, c.error);
    c.rotate = bounded(parser, QStringLiteral("rotate"), 1, RotateMaximum, c.error);
    c.screen = parser.isSet(QStringLiteral("screen"))
                   ? bounded(parser, QStringLiteral("screen"), 0, 99, c.error)
                   : -1;
    c.kiosk = parser.isSet(QStringLiteral("kiosk"));
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
