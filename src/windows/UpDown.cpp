#include "windows/UpDown.h"

#include "windows/UpDownAccessible.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

UpDown::UpDown(QWidget* parent) : QWidget(parent), m_down(new QToolButton(this)), m_up(new QToolButton(this))
{
    setFocusPolicy(Qt::StrongFocus);
    m_down->setArrowType(Qt::LeftArrow);
    m_up->setArrowType(Qt::RightArrow);
    for (QToolButton* b : {m_down, m_up}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    m_down->setObjectName(QStringLiteral("intervalDown"));
    m_up->setObjectName(QStringLiteral("intervalUp"));
    m_down->setAccessibleName(tr("One minute less"));
    m_up->setAccessibleName(tr("One minute more"));
    connect(m_down, &QToolButton::clicked, this, &UpDown::stepDown);
    connect(m_up, &QToolButton::clicked, this, &UpDown::stepUp);
    static const bool told = [] {
        QAccessible::installFactory(&UpDownAccessible::factory);
        return true;
    }();
    Q_UNUSED(told);
}

void UpDown::setRange(int minimum, int maximum)
{
    m_min = minimum;
    m_max = maximum;
    setValue(m_value);
}

void UpDown::setValue(int value)
{
    m_value = qBound(m_min, value, m_max);
    updateBuddy();
}

void UpDown::setBuddy(QLabel* buddy)
{
    m_buddy = buddy;
    updateBuddy();
}

void UpDown::stepUp()
{
    stepBy(1);
}

void UpDown::stepDown()
{
    stepBy(-1);
}

void UpDown::stepBy(int delta)
{
    const int next = qBound(m_min, m_value + delta, m_max);
    if (next == m_value) {
        return;
    }
    m_value = next;
    updateBuddy();
    emit Change();
}

void UpDown::updateBuddy()
{
    if (m_buddy != nullptr) {
        m_buddy->setText(QString::number(m_value));
    }
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, m_value);
        QAccessible::updateAccessibility(&changed);
    }
}

void UpDown::keyPressEvent(QKeyEvent* event)
{
    constexpr int Page = 10;
    constexpr qint64 TypingPauseMs = 1500;
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Up:
        stepUp();
        break;
    case Qt::Key_Left:
    case Qt::Key_Down:
        stepDown();
        break;
    case Qt::Key_PageUp:
        stepBy(Page);
        break;
    case Qt::Key_PageDown:
        stepBy(-Page);
        break;
    case Qt::Key_Home:
        stepBy(m_min - m_value);
        break;
    case Qt::Key_End:
        stepBy(m_max - m_value);
        break;
    default:
        if (event->text().size() == 1 && event->text().at(0).isDigit()) {
            if (!m_typedAt.isValid() || m_typedAt.elapsed() > TypingPauseMs) {
                m_typed.clear();
            }
            m_typedAt.restart();
            m_typed = (m_typed + event->text()).right(3);
            const int typed = m_typed.toInt();
            if (typed >= m_min) { // "4" of "45" is already a value; "0" is none
                stepBy(qMin(typed, m_max) - m_value);
            }
            break;
        }
        QWidget::keyPressEvent(event);
    }
}

void UpDown::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // A pixel all round is left for the focus mark.
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    const int half = inside.width() / 2;
    m_down->setGeometry(inside.left(), inside.top(), half, inside.height());
    m_up->setGeometry(inside.left() + half, inside.top(), inside.width() - half, inside.height());
}

void UpDown::paintEvent(QPaintEvent*)
{
    if (hasFocus()) {
        QPainter p(this);
        p.setPen(QPen(palette().color(QPalette::Highlight), 1));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void UpDown::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void UpDown::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    m_typed.clear();
    update();
}
