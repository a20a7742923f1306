#pragma once

#include "core/StormColours.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QRectF>

class AppState;
class BrowserControl;
class FrameRecorder;
class Notifier;
class QAction;
class QMenu;
class QStatusBar;
class SoundPlayer;

// What is watched of each page, as the main window's menu offers it: the part of the page shown
// (Watch Area, Whole Page) and the storm alert over a box of the view (Alert Box, Alert On, No
// Alert), kept per address in the preferences. An alert is told in the status bar, by an outline of
// the box, a sound and a desktop notification.
class AreaWatch : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        AppState& state;
        BrowserControl* browser;
        FrameRecorder* frames; // none: no frames, so no alert
        QStatusBar* status;
        SoundPlayer* alertSound; // none: silent
        Notifier* notifier;      // none: no notifications
    };

    // The items go into menu before the item before.
    AreaWatch(Parts parts, QMenu* menu, QAction* before, QObject* parent);

    bool alertActive() const { return m_active; }

signals:
    void alertShown(bool active);

private:
    void pickArea();
    void wholePage();
    void pickAlertBox();
    void setLevel(StormColours::Level level);
    void noAlert();
    void showMenuState();
    void save();
    void alertChanged(const QString& address, bool active, const QDateTime& since);
    void showOutline(const QRectF& box);
    QString address() const;
    int percent() const; // of the box in storm colours, to start an alert

    Parts m_parts;
    QAction* m_watchArea;
    QAction* m_wholePage;
    QAction* m_alertBox;
    QMenu* m_levels;
    QAction* m_noAlert;
    QPointer<QWidget> m_outline; // the alert box's outline over the view, while an alert lasts
    bool m_active = false;
};
