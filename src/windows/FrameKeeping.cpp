#include "windows/FrameKeeping.h"

#include "core/BrowsingSession.h"
#include "core/MessageBoxes.h"
#include "core/ShownTime.h"
#include "core/SiteFeed.h"
#include "core/Watch.h"
#include "platform/BrowserControl.h"
#include "platform/FrameRecorder.h"
#include "windows/ReplayView.h"

#include <QStatusBar>

FrameKeeping::FrameKeeping(Parts parts, QWidget* window) : m_parts(std::move(parts)), m_window(window)
{
    if (m_parts.frames == nullptr) {
        return;
    }
    // Only a page being watched is kept: what else the user browses leaves no record.
    connect(m_parts.browser, &BrowserControl::pictureShown, this,
            [this](const QImage& picture, const QString& address) {
                if (m_parts.watch->watched()) {
                    m_parts.frames->take(picture, address);
                } else {
                    m_parts.feed.notCompared();
                }
            });
    connect(m_parts.frames, &FrameRecorder::pictureCompared, this, &FrameKeeping::compared);
    connect(m_parts.frames, &FrameRecorder::keepingChanged, this, [this](const QString& why) {
        m_notKept = why;
        if (!why.isEmpty()) {
            m_parts.status->showMessage(tr("Frames are not being kept: %1.").arg(why));
        }
        if (m_replay != nullptr) {
            m_replay->setNotKept(why);
        }
    });
    connect(m_parts.browser, &BrowserControl::navigationCompleted, this, [this] {
        if (m_replay != nullptr) {
            m_replay->follow(m_parts.browser->pictureAddress());
        }
    });
}

void FrameKeeping::toggleReplay()
{
    if (m_parts.frames == nullptr) {
        m_parts.status->showMessage(tr("No frames are kept in this window."));
        return;
    }
    if (m_replay == nullptr) {
        m_replay = new ReplayView(*m_parts.dialogs, m_parts.state, m_parts.preferences, m_window);
        connect(m_replay, &ReplayView::closeRequested, this, &FrameKeeping::toggleReplay);
        connect(m_replay, &ReplayView::message, m_parts.status,
                [this](const QString& t) { m_parts.status->showMessage(t); });
        m_replay->setGeometry(m_parts.browser->geometry());
    }
    m_replay->setNotKept(m_notKept);
    m_replay->toggleOver(m_parts.browser, m_parts.browser->pictureAddress(), m_parts.frames->store());
}

void FrameKeeping::clearFrames()
{
    if (m_parts.frames == nullptr ||
        m_parts.messages->show(QStringLiteral("Delete every frame kept for Replay?"),
                               MessageBoxes::Buttons::YesNo) != MessageBoxes::Answer::Yes) {
        return;
    }
    const int deleted = m_parts.frames->clear();
    if (m_replay != nullptr) {
        m_replay->reload();
    }
    m_parts.status->showMessage(tr("%n frame(s) deleted.", nullptr, deleted));
}

void FrameKeeping::place(const QRect& browserGeometry)
{
    if (m_replay != nullptr) {
        m_replay->setGeometry(browserGeometry);
    }
}

void FrameKeeping::compared(const QString& address, bool newPicture, const QDateTime& frameUtc,
                            qint64 usualGapMs)
{
    if (address != m_parts.browser->pictureAddress()) {
        return; // the page has changed since
    }
    const std::optional<qint64> gap = usualGapMs >= 0 ? std::optional(usualGapMs) : std::nullopt;
    m_parts.feed.compared(address, newPicture, frameUtc, gap, m_parts.browser->pictureTime(),
                          m_parts.watch->runningInterval());
    const QString note = m_parts.session->pictureCompared(newPicture, frameUtc);
    m_parts.browser->setPictureNote(
        m_parts.feed.stalled(address) ? SiteFeed::stallSentence(ShownTime::of(frameUtc), gap) : note);
    if (newPicture && m_replay != nullptr) {
        m_replay->frameKept(address);
    }
}
