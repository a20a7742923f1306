#pragma once

#include "core/AppState.h"
#include "core/CommandLine.h"
#include "core/SiteRotation.h"
#include "platform/ScreenSaverInhibitor.h"

#include <QDateTime>
#include <QObject>

#include <memory>

class Form1;
class QLabel;
class QTimer;

// The main window as a wall display: in kiosk mode full screen with only the page, the picture's
// time in a corner, the pointer hidden when still and the screen saver held off; and the saved
// sites in turn when asked to rotate.
class WallDisplay : public QObject
{
    Q_OBJECT
public:
    WallDisplay(Form1& form, AppState& state, const CommandLine& options);
    ~WallDisplay() override;

    // What the corner label says: the site shown in a rotation, the picture's time, and whether the
    // last refresh failed.
    QString cornerText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void enterKiosk(int screen);
    void nextSite();
    void pageDone();
    void showCorner();

    Form1& m_form;
    AppState& m_state;
    SiteRotation m_rotation;
    QString m_siteName;             // the rotation's site on screen
    QDateTime m_pictureTime;        // the last good load
    bool m_failed = false;          // the last refresh failed
    QLabel* CornerLabel = nullptr;  // kiosk: the picture's time, red after a failed refresh
    QTimer* PointerTimer = nullptr; // kiosk: hides the still pointer
    QTimer* RotateTimer = nullptr;  // the next saved site's turn
    bool m_pointerHidden = false;
    std::unique_ptr<ScreenSaverInhibitor> m_inhibitor;
};
