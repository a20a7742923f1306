#pragma once

#include <QObject>

#include <memory>

class BrowserControl;
class BrowsingSession;
class FrameRecorder;
class QAction;
class QMenu;
class QStatusBar;
class SiteFollower;
class Watch;

// Follow Site Updates, as the main window's menu offers it: the site of a watched page asked between
// the refreshes whether its picture changed, and the page refreshed at once when it did.
class SiteFollowing : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        Watch& watch;
        BrowserControl* browser;  // asks the site as the page would; none asked when it cannot
        BrowsingSession* session; // the refresh a change starts
        FrameRecorder* frames;    // whether that refresh brought a new picture; none: not told
        QStatusBar* status;
    };

    // The item goes into menu before the item before.
    SiteFollowing(Parts parts, QMenu* menu, QAction* before, QObject* parent = nullptr);
    ~SiteFollowing() override;

    // Every watched page followed (the wall display's --follow).
    void followEveryPage();

private:
    void showMenuState();

    Parts m_parts;
    QAction* m_item;
    std::unique_ptr<SiteFollower> m_follower; // none where the site cannot be asked
};
