#include "windows/Announcer.h"

#include <QAccessible>
#include <QWidget>

Announcer::Announcer(QWidget* on, QObject* parent) : QObject(parent), m_on(on) {}

void Announcer::announce(const QString& words)
{
    m_on->setAccessibleDescription(words); // itself told as a change of the description
    QAccessibleEvent alert(m_on, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}
