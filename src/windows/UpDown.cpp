#include "windows/UpDown.h"

#include <QKeyEvent>
#include <QLabel>
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
    m_down->setObjectName(QStringLiteral("UpDown1Down"));
    m_up->setObjectName(QStringLiteral("UpDown1Up"));
    connect(m_down, &QToolButton::clicked, this, &UpDown::stepDown);
    connect(m_up, &QToolButton::clicked, this, &UpDown::stepUp);
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
}

void UpDown::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Up:
        stepUp();
        break;
    case Qt::Key_Left:
    case Qt::Key_Down:
        stepDown();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void UpDown::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int half = width() / 2;
    m_down->setGeometry(0, 0, half, height());
    m_up->setGeometry(half, 0, width() - half, height());
}
