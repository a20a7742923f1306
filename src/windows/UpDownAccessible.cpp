#include "windows/UpDownAccessible.h"

#include "windows/UpDown.h"

UpDownAccessible::UpDownAccessible(UpDown* control) : QAccessibleWidget(control, QAccessible::SpinBox) {}

QAccessibleInterface* UpDownAccessible::factory(const QString& className, QObject* object)
{
    auto* control = qobject_cast<UpDown*>(object);
    return className == QLatin1String(UpDown::staticMetaObject.className()) && control != nullptr
               ? new UpDownAccessible(control) // owned by Qt's accessibility cache
               : nullptr;
}

UpDown* UpDownAccessible::control() const
{
    return static_cast<UpDown*>(widget());
}

void* UpDownAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QString UpDownAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value) {
        return QString::number(control()->value());
    }
    return QAccessibleWidget::text(t);
}

QVariant UpDownAccessible::currentValue() const
{
    return control()->value();
}

void UpDownAccessible::setCurrentValue(const QVariant& value)
{
    // As the user's own change: the timer follows it.
    const int delta = value.toInt() - control()->value();
    for (int i = 0; i < qAbs(delta); ++i) {
        if (delta > 0) {
            control()->stepUp();
        } else {
            control()->stepDown();
        }
    }
}

QVariant UpDownAccessible::maximumValue() const
{
    return control()->maximum();
}

QVariant UpDownAccessible::minimumValue() const
{
    return control()->minimum();
}
