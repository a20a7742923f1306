#include "windows/SleepingHours.h"

#include "core/ScreenPower.h"
#include "core/Watch.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QTimer>

#include <utility>

SleepingHours::SleepingHours(WallHours hours, Watch& watch, ScreenPower* screen, QObject* parent)
    : QObject(parent), m_hours(std::move(hours)), m_watch(watch), m_screen(screen), m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("hoursTimer"));
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &SleepingHours::check);
    QCoreApplication::instance()->installEventFilter(this);
    m_hours.check();
    apply(); // as the hours are now, whatever was done before
    follow(false);
}

SleepingHours::~SleepingHours()
{
    QCoreApplication::instance()->removeEventFilter(this);
}

void SleepingHours::check()
{
    follow(m_hours.check());
}

bool SleepingHours::eventFilter(QObject* watched, QEvent* event)
{
    // Somebody's own hand only: a window shown under a still pointer is told of a move that nobody
    // made, and every widget an event passes through on its way is shown it again.
    if (event->spontaneous()) {
        switch (event->type()) {
        case QEvent::MouseMove: {
            const QPointF at = static_cast<QMouseEvent*>(event)->globalPosition();
            const bool moved = m_pointerSeen && at != m_pointer;
            m_pointer = at;
            m_pointerSeen = true;
            if (moved) {
                follow(m_hours.touched());
            }
            break;
        }
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::Wheel:
            follow(m_hours.touched());
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void SleepingHours::apply()
{
    if (m_hours.asleep()) {
        m_watch.setAsleep(true); // the screen saver's hold is let go first, then the screen goes dark
        if (m_screen != nullptr) {
            m_screen->switchOff();
        }
    } else {
        if (m_screen != nullptr) {
            m_screen->switchOn();
        }
        m_watch.setAsleep(false);
    }
}

void SleepingHours::follow(bool changed)
{
    if (changed) {
        apply();
    }
    const int next = m_hours.msToNextCheck();
    if (!m_timer->isActive() || m_timer->remainingTime() > next) {
        m_timer->start(next);
    }
}
