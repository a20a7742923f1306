#include "windows/AreaPicker.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int Smallest = 8; // a drag shorter than this is a click: nothing picked

} // namespace

AreaPicker::AreaPicker(QWidget* target) : QWidget(target), m_focusBefore(QApplication::focusWidget())
{
    setObjectName(QStringLiteral("areaPicker"));
    setGeometry(target->rect());
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
    show();
    raise();
    setFocus();
}

void AreaPicker::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRegion dimmed(rect());
    if (!m_rect.isEmpty()) {
        dimmed -= QRegion(m_rect);
    }
    p.setClipRegion(dimmed);
    p.fillRect(rect(), QColor(0, 0, 0, 110));
    p.setClipping(false);
    if (!m_rect.isEmpty()) {
        p.setPen(QPen(QColor(255, 255, 255), 1, Qt::DashLine));
        p.drawRect(m_rect.adjusted(0, 0, -1, -1));
    }
    if (!m_dragging) {
        const QString words = tr("Drag a rectangle; Esc cancels");
        QRect box = p.fontMetrics().boundingRect(words).adjusted(-10, -6, 10, 6);
        box.moveCenter(QPoint(width() / 2, box.height() / 2 + 12));
        p.fillRect(box, QColor(0, 0, 0, 170));
        p.setPen(Qt::white);
        p.drawText(box, Qt::AlignCenter, words);
    }
}

void AreaPicker::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        finish({});
        return;
    }
    m_from = event->position().toPoint();
    m_rect = QRect();
    m_dragging = true;
    update();
}

void AreaPicker::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging) {
        m_rect = QRect(m_from, event->position().toPoint()).normalized().intersected(rect());
        update();
    }
}

void AreaPicker::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging || event->button() != Qt::LeftButton) {
        return;
    }
    m_dragging = false;
    const QRect r = QRect(m_from, event->position().toPoint()).normalized().intersected(rect());
    finish(r.width() >= Smallest && r.height() >= Smallest ? r : QRect());
}

void AreaPicker::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        finish({});
        return;
    }
    QWidget::keyPressEvent(event);
}

void AreaPicker::finish(const QRect& rect)
{
    if (std::exchange(m_done, true)) {
        return;
    }
    // Focus handed on by the hiding would go to the page as by Tab: its first link focused and
    // scrolled to, the view moved off the watched part.
    if (m_focusBefore != nullptr && m_focusBefore != this) {
        m_focusBefore->setFocus(Qt::OtherFocusReason);
    } else {
        clearFocus();
    }
    hide();
    if (rect.isEmpty()) {
        emit cancelled();
    } else {
        emit picked(rect);
    }
    deleteLater();
}
