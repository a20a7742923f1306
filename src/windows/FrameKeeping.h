#pragma once

#include <QDateTime>
#include <QObject>
#include <QRect>
#include <QString>

class AppState;
class BrowserControl;
class BrowsingSession;
class CommonDialogs;
class FrameRecorder;
class MessageBoxes;
class PreferencesStore;
class QStatusBar;
class QWidget;
class ReplayView;
class SiteFeed;
class Watch;

// The frames kept for Replay, as the main window offers them: pictures are kept only of a page being
// watched, the status bar says whether a picture was new, Replay shows the frames of the page on
// screen over the browser, and Clear Replay Frames deletes them.
class FrameKeeping : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        AppState& state;
        PreferencesStore& preferences; // where Replay saves its speed
        BrowserControl* browser;
        FrameRecorder* frames; // none: this window keeps no frames
        BrowsingSession* session;
        MessageBoxes* messages;
        CommonDialogs* dialogs;
        QStatusBar* status;
        const Watch* watch; // whether the page on screen is being watched
        SiteFeed& feed;     // learns from each comparison when the site's picture changed
    };

    // window: where Replay is shown, over the browser.
    FrameKeeping(Parts parts, QWidget* window);

    // Replay over the browser, or the live page again.
    void toggleReplay();
    // Asks, then deletes every frame kept.
    void clearFrames();
    // The browser's place in the window, for Replay to cover.
    void place(const QRect& browserGeometry);

private:
    void compared(const QString& address, bool newPicture, const QDateTime& frameUtc, qint64 usualGapMs);

    Parts m_parts;
    QWidget* m_window;
    ReplayView* m_replay = nullptr; // once opened
    QString m_notKept;              // why frames are not being kept now; empty while they are
};
