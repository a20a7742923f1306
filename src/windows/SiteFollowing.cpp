#include "windows/SiteFollowing.h"

#include "core/BrowsingSession.h"
#include "core/SiteFollower.h"
#include "core/Watch.h"
#include "platform/BrowserControl.h"
#include "platform/FrameRecorder.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>

SiteFollowing::SiteFollowing(Parts parts, QMenu* menu, QAction* before, QObject* parent)
    : QObject(parent), m_parts(parts), m_item(new QAction(QStringLiteral("Follow Site Up&dates"), menu))
{
    m_item->setObjectName(QStringLiteral("followItem"));
    m_item->setCheckable(true);
    menu->insertAction(before, m_item);
    connect(menu, &QMenu::aboutToShow, this, &SiteFollowing::showMenuState);
    BrowserControl* browser = m_parts.browser;
    UpdateProbe* probe = browser->updateProbe();
    if (probe == nullptr) {
        m_item->setEnabled(false);
        return;
    }
    m_follower = std::make_unique<SiteFollower>(
        SiteFollower::Parts{m_parts.watch, *probe, [browser] { return browser->pictureAddress(); },
                            [browser] { return browser->mainPictureAddress(); },
                            [browser] { return browser->refreshLoading() || browser->pageLoading(); }},
        m_parts.watch.minuteMs()); // asked once a minute
    connect(m_item, &QAction::triggered, this,
            [this](bool on) { m_follower->setFollowed(m_parts.browser->pictureAddress(), on); });
    connect(browser, &BrowserControl::pictureShown, m_follower.get(), &SiteFollower::pageLoaded);
    connect(m_follower.get(), &SiteFollower::changeSeen, m_parts.session, &BrowsingSession::refreshForChange);
    connect(m_follower.get(), &SiteFollower::said, m_parts.status,
            [status = m_parts.status](const QString& text) { status->showMessage(text); });
    if (m_parts.frames != nullptr) {
        connect(m_parts.frames, &FrameRecorder::pictureCompared, this,
                [this](const QString& address, bool newPicture) {
                    if (address == m_parts.browser->pictureAddress()) {
                        m_follower->pictureCompared(newPicture);
                    }
                });
    }
}

SiteFollowing::~SiteFollowing() = default;

void SiteFollowing::followEveryPage()
{
    if (m_follower) {
        m_follower->setFollowAll(true);
    }
}

void SiteFollowing::showMenuState()
{
    const bool all = m_follower && m_follower->followAll();
    m_item->setChecked(m_follower && m_follower->followed(m_parts.browser->pictureAddress()));
    m_item->setEnabled(m_follower && !all); // the command line's choice holds for this run
}
