#pragma once

#include "core/Watch.h"

#include <QString>
#include <QStringList>

// What the command line asks for: skyvane [options] [ADDRESS].
class CommandLine
{
public:
    static constexpr int IntervalMinimum = Watch::IntervalMinimum; // the interval box's bounds
    static constexpr int IntervalMaximum = Watch::IntervalMaximum;
    static constexpr int RotateMaximum = 24 * 60;
    static constexpr int KioskInterval = 10;     // the kiosk's refresh when --interval is not given
    static constexpr int LoopFramesInitial = 12; // --loop without a number
    static constexpr int LoopFramesMaximum = 1000;

    enum class Action
    {
        Run,
        ShowHelp,    // print the usage, exit 0
        ShowVersion, // print the version, exit 0
        Fail         // print error and the usage to standard error, exit 2
    };

    Action action = Action::Run;
    QString error;       // one line, when the action is Fail
    QString address;     // opened instead of the start page; empty: the start page
    int interval = 0;    // minutes of the automatic refresh started at once; 0: off, as saved
    bool kiosk = false;  // full screen, only the page
    int screen = -1;     // the screen for the kiosk; -1: the primary one
    int rotate = 0;      // minutes on each saved site in turn; 0: no rotation
    bool follow = false; // every page shown is followed (asked about between the refreshes)
    int loop = 0;        // the kiosk plays the last so many frames as a loop; 0: the live page
    QString awake;       // the hours the display is awake, as AwakeHours reads them; empty: always
    QString serveHost;   // the remote view's address (127.0.0.1 unless given); empty: not served
    int servePort = 0;
    QString mqttHost; // the MQTT broker for Home Assistant; empty: the preferences' (or none)
    int mqttPort = 0; // 0: not given
    QString mqttUser; // empty: not given

    // arguments as the program got them, the program's name first. Needs no application object, so
    // that --help, --version and mistakes are answered without a display. Qt's own window-system
    // arguments (-platform, -display, -style...) are let through for QApplication.
    static CommandLine parse(const QStringList& arguments);
    // "[HOST:]PORT" ("[::1]:8080" for an IPv6 HOST) into host (127.0.0.1 when not given) and port;
    // false when it is not that.
    static bool parseServe(const QString& text, QString* host, int* port);
    // "[USER@]HOST[:PORT]" ("[::1]:1883" for an IPv6 HOST) into its parts (port 0 when not given);
    // false when it is not that.
    static bool parseMqtt(const QString& text, QString* user, QString* host, int* port);
    // The help text (needs a QCoreApplication, for the program's name).
    static QString usage();
};
