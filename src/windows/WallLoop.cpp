#include "windows/WallLoop.h"

#include "core/LoopTiming.h"
#include "core/Preferences.h"
#include "core/RegularFile.h"
#include "core/ShownTime.h"
#include "platform/BrowserControl.h"
#include "platform/FramePainter.h"
#include "platform/FrameRecorder.h"

#include <QEvent>
#include <QPainter>
#include <QTimer>

WallLoop::WallLoop(Parts parts, int frameCount)
    : QWidget(parts.browser), m_parts(parts), m_most(qMax(2, frameCount)), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("wallLoop"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents); // the pointer and the keys are the window's
    hide();
    m_timer->setObjectName(QStringLiteral("loopTimer"));
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &WallLoop::step);
    connect(m_parts.frames, &FrameRecorder::pictureCompared, this,
            [this](const QString& address, bool newPicture) {
                if (newPicture || address != m_address) {
                    reload();
                }
            });
    connect(m_parts.browser, &BrowserControl::navigationCompleted, this, &WallLoop::reload);
    m_parts.browser->installEventFilter(this);
    setGeometry(m_parts.browser->rect());
    QTimer::singleShot(0, this, &WallLoop::reload); // the frames kept before this start, at once
}

bool WallLoop::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_parts.browser && event->type() == QEvent::Resize) {
        setGeometry(m_parts.browser->rect());
    }
    return QWidget::eventFilter(watched, event);
}

void WallLoop::reload()
{
    const QString address = m_parts.browser->pictureAddress();
    const int most = qMin(m_most, m_parts.preferences.framesPerAddress);
    QList<FrameStore::Frame> frames = m_parts.frames->store().frames(address);
    frames = frames.mid(qMax(qsizetype(0), frames.size() - most));
    QHash<QString, QByteArray> png;
    for (auto it = frames.begin(); it != frames.end();) {
        QByteArray bytes = m_png.value(it->path);
        if (bytes.isEmpty()) {
            bytes = RegularFile::read(it->path, 64 * 1024 * 1024).value_or(QByteArray());
        }
        if (bytes.isEmpty()) {
            it = frames.erase(it); // gone, or no file of ours: passed over
            continue;
        }
        png.insert(it->path, bytes);
        ++it;
    }
    const bool samePage = address == m_address;
    m_address = address;
    m_frames = frames;
    m_png = png;
    if (m_frames.size() < 2) {
        m_timer->stop();
        m_index = -1;
        hide(); // the live page until there is a loop to play
        return;
    }
    if (!samePage || m_index < 0 || m_index >= m_frames.size()) {
        m_index = -1;
        step(); // from the oldest
    }
    show();
    raise();
}

void WallLoop::step()
{
    if (m_frames.isEmpty()) {
        return;
    }
    m_index = (m_index + 1) % int(m_frames.size());
    m_shown = QImage::fromData(m_png.value(m_frames[m_index].path), "PNG");
    const Preferences& p = m_parts.preferences;
    m_timer->start(LoopTiming::holdMs(
        m_index, int(m_frames.size()),
        Preferences::FramesPerSecond[qBound(0, p.replaySpeed, Preferences::SpeedCount - 1)], p.dwellMs));
    update();
}

void WallLoop::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    FramePainter::paint(p, rect(), m_shown,
                        m_index >= 0 ? ShownTime::of(m_frames[m_index].takenUtc) : QString());
}
