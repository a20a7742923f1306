#pragma once

#include "core/CommandLine.h"
#include "core/PictureAge.h"
#include "core/SiteRotation.h"
#include "platform/ScreenSaverInhibitor.h"

#include <QDateTime>
#include <QObject>

#include <functional>
#include <memory>

class AreaWatch;
class FrameRecorder;
class Preferences;
class WallLoop;
class BrowserControl;
class QLabel;
class QScreen;
class QTimer;
class QWidget;
class SiteFeed;
class Watch;

// The main window as a wall display: in kiosk mode full screen with only the page, the picture's
// time in a corner, the pointer hidden when still and the screen saver held off; and the saved
// sites in turn when asked to rotate.
class WallDisplay : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        QWidget& window; // the corner label is laid over it
        BrowserControl* browser;
        Watch& watch;
        const AreaWatch* areas;         // the storm alert
        const SiteFeed& feed;           // when the site's picture last changed; a stalled feed
        FrameRecorder* frames;          // the frames kept, for the loop; none: no loop
        const Preferences& preferences; // the loop's speed and dwell
        SiteRotation& rotation;         // the saved sites in turn, shared with the remote view's Next
        QString siteListPath;           // read afresh for every turn
        std::function<void(QScreen*)> showPageOnly; // the window, full screen with only the page
    };

    WallDisplay(Parts parts, const CommandLine& options, QObject* parent = nullptr);
    ~WallDisplay() override;

    // What the corner label says: the site shown in a rotation, the time the site's picture changed
    // (with its age once it is old or the feed stalled), whether the last refresh failed, and what a
    // page's dialog said.
    QString cornerText() const;
    // The next saved site now, its full turn from now on; false when the sites are not shown in turn.
    bool showNextSite();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void enterKiosk(int screen);
    void sleepOrWake(bool asleep);
    void holdScreen(); // the screen saver and the desktop's blanking held off, once
    void nextSite();
    void pageDone();
    void showCorner();
    PictureAge::Level pictureLevel() const;

    Parts m_parts;
    QString m_siteName;    // the rotation's site on screen
    bool m_failed = false; // the last refresh failed
    QString m_pageSaid;    // what a page's dialog said, shown until the next load has ended
    int m_loadsSinceSaid = 0;
    QLabel* m_cornerLabel = nullptr;  // kiosk: the picture's time, red after a failed refresh
    QTimer* m_pointerTimer = nullptr; // kiosk: hides the still pointer
    QTimer* m_rotateTimer = nullptr;  // the next saved site's turn
    int m_rotateMinutes = 0;          // a turn, unless the site has one of its own
    QTimer* m_ageTimer = nullptr;     // kiosk: the picture's age in the corner follows the clock
    WallLoop* m_loop = nullptr;       // kiosk: the frames kept played over the page
    bool m_pointerHidden = false;
    bool m_saidNoSites = false;
    std::unique_ptr<ScreenSaverInhibitor> m_inhibitor;
};
