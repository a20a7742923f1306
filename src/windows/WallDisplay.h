#pragma once

#include "core/AppState.h"
#include "core/CommandLine.h"
#include "core/SiteRotation.h"
#include "platform/ScreenSaverInhibitor.h"

#include <QDateTime>
#include <QObject>

#include <memory>

class MainWindow;
class QLabel;
class QTimer;

// The main window as a wall display: in kiosk mode full screen with only the page, the picture's
// time in a corner, the pointer hidden when still and the screen saver held off; and the saved
// sites in turn when asked to rotate.
class WallDisplay : public QObject
{
    Q_OBJECT
public:
    WallDisplay(MainWindow& form, AppState& state, const CommandLine& options);
    ~WallDisplay() override;

    // What the corner label says: the site shown in a rotation, the picture's time (with its age once
    // it is old), whether the last refresh failed, and what a page's dialog said.
    QString cornerText() const;
    // The next saved site now, its full turn from now on; false when the sites are not shown in turn.
    bool showNextSite();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void enterKiosk(int screen);
    void nextSite();
    void pageDone();
    void showCorner();

    MainWindow& m_form;
    AppState& m_state;
    SiteRotation m_rotation;
    QString m_siteName;    // the rotation's site on screen
    int m_interval = 0;    // the refresh interval in minutes (0: none)
    bool m_failed = false; // the last refresh failed
    QString m_pageSaid;    // what a page's dialog said, shown until the next load has ended
    int m_loadsSinceSaid = 0;
    QLabel* cornerLabel = nullptr;  // kiosk: the picture's time, red after a failed refresh
    QTimer* pointerTimer = nullptr; // kiosk: hides the still pointer
    QTimer* rotateTimer = nullptr;  // the next saved site's turn
    QTimer* ageTimer = nullptr;     // kiosk: the picture's age in the corner follows the clock
    bool m_pointerHidden = false;
    bool m_saidNoSites = false;
    std::unique_ptr<ScreenSaverInhibitor> m_inhibitor;
};
