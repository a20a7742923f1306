#pragma once

#include "core/MqttSettings.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

// Settings that are not in Skyvn.ini (which keeps its fixed record): Skyvane.conf beside it, an INI
// file read and written by PreferencesStore.
class Preferences
{
public:
    static constexpr const char* FileName = "Skyvane.conf";
    static constexpr int SpeedCount = 3; // slow, normal, fast
    static constexpr double FramesPerSecond[SpeedCount] = {1, 2, 5};

    // What is watched of one address: the part of the page shown (rect: page pixels at 100% zoom,
    // its scroll included; empty: the whole page) and the storm alert's box (fractions of the view;
    // empty: no alert) and level.
    struct Area
    {
        QString address;
        QRectF rect;
        QRectF alertBox;
        QString alertLevel = QStringLiteral("heavy"); // "any", "heavy" or "severe"
        bool follow = false;                          // the site is asked between the refreshes
        int turnMinutes = 0;                          // its turn in a rotation; 0: the rotation's own

        bool operator==(const Area&) const = default;
    };

    bool chimeOnlyForNewPicture = false;
    int framesPerAddress = 36;
    int replaySpeed = 1;        // index into FramesPerSecond
    int dwellMs = 1500;         // the newest frame's time at the end of each pass of a loop
    bool timeOnFrames = true;   // a loop saved has each frame's time drawn on it
    int alertPercent = 2;       // the share of the alert box in storm colours that starts an alert
    int crashPauseSeconds = 60; // before a page that crashed again is loaded again; doubled each time
    QList<Area> areas;          // one entry an address at most
    QString serve;              // the remote view's [HOST:]PORT, as --serve takes it; empty: not served
    MqttSettings mqtt;          // [Mqtt]: the broker Home Assistant is told through
    QString awake;              // the hours the display is awake, as --awake takes them; empty: always

    // [Notify]: where the notices go besides the desktop, as written there (PushNotice reads them):
    // ntfy topics' addresses, and webhooks' addresses, which get each notice as JSON.
    QStringList notifyNtfy;
    QStringList notifyWebhook;

    // The address's entry, or none.
    const Area* areaFor(const QString& address) const;
    // The address's entry, made when there is none; dropped again when it watches nothing.
    Area& areaOf(const QString& address);
    void dropUnused();

    // Entries past this many in Areas are passed over: a file grown without bound (or made so) would
    // otherwise hold up every start.
    static constexpr int MaxAreas = 1000;
};
