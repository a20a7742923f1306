#pragma once

#include <QAccessibleWidget>

class UpDown;

// The up-down control as assistive technology sees it: a spin box with its value, its bounds and a
// step of one, which a screen reader can read and change.
class UpDownAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit UpDownAccessible(UpDown* control);

    // For QAccessible::installFactory: the interface of an UpDown, none for anything else.
    static QAccessibleInterface* factory(const QString& className, QObject* object);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text t) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override { return 1; }

private:
    UpDown* control() const;
};
