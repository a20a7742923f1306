#include "windows/AlertOutline.h"

#include <QEvent>

AlertOutline::AlertOutline(QWidget* browser) : QFrame(browser)
{
    setObjectName(QStringLiteral("alertOutline"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    browser->installEventFilter(this);
    hide();
}

void AlertOutline::showBox(const QRectF& box, bool alerting)
{
    m_box = box;
    if (box.isEmpty()) {
        hide();
        return;
    }
    if (alerting != m_alerting || styleSheet().isEmpty()) {
        m_alerting = alerting;
        setStyleSheet(
            alerting
                ? QStringLiteral("#alertOutline { border: 3px solid #fd0000; background: transparent; }")
                : QStringLiteral(
                      "#alertOutline { border: 1px dashed rgba(253, 0, 0, 110); background: transparent; }"));
    }
    place();
    QFrame::show();
    raise();
}

void AlertOutline::place()
{
    const QSize view = parentWidget()->size();
    setGeometry(qRound(m_box.x() * view.width()), qRound(m_box.y() * view.height()),
                qRound(m_box.width() * view.width()), qRound(m_box.height() * view.height()));
}

bool AlertOutline::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize && !m_box.isEmpty()) {
        place();
    }
    return QFrame::eventFilter(watched, event);
}
