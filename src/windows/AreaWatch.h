#pragma once

#include "core/StormColours.h"

#include <QDateTime>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRectF>

class AlertOutline;
class AppState;
class BrowserControl;
class FrameRecorder;
class Notifier;
class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class SoundPlayer;
class Watch;

// What is watched of each page, as the main window's menu offers it: the part of the page shown
// (Watch Area, Whole Page) and the storm alert over a box of the view (Alert Box, Alert On, No
// Alert), kept per address by the watch. The box is outlined faintly over the view; an alert is
// told by the outline in red, the status bar and the caption for as long as it lasts, a sound and a
// notification (with the box's picture, for a phone).
class AreaWatch : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        AppState& state;
        Watch& watch; // keeps the part shown and the alert box of each address
        BrowserControl* browser;
        FrameRecorder* frames; // none: no frames, so no alert
        QStatusBar* status;
        SoundPlayer* alertSound; // none: silent
        Notifier* notifier;      // none: no notifications
    };

    // The items go into menu before the item before.
    AreaWatch(Parts parts, QMenu* menu, QAction* before, QObject* parent = nullptr);

    bool alertActive() const { return m_active; }
    // What the caption starts with while an alert lasts ("Storm alert since 15:29"); else empty.
    QString alertCaption() const;

signals:
    void alertShown(bool active);

private:
    void pickArea();
    void wholePage();
    void pickAlertBox();
    void setLevel(StormColours::Level level);
    void noAlert();
    void showMenuState();
    void alertChanged(const QString& address, bool active, const QDateTime& since);
    void showOutline();
    QString address() const;
    int percent() const; // of the box in storm colours, to start an alert
    // The alert box of the last picture shown of the address, as PNG; empty when there is none.
    QByteArray alertBoxPng(const QString& address) const;

    Parts m_parts;
    QAction* m_watchArea;
    QAction* m_wholePage;
    QAction* m_alertBox;
    QMenu* m_levels;
    QAction* m_noAlert;
    QPointer<AlertOutline> m_outline; // the alert box of the page shown, over the view
    QPointer<QLabel> m_alertLabel;    // in the status bar, beside the load's own text, while an alert lasts
    bool m_active = false;
    QString m_alertAddress; // of the alert that lasts
    QDateTime m_alertSince;
    QImage m_picture; // the last one shown, for the alert's notice
    QString m_pictureAddress;
};
