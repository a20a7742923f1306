#include "core/Preferences.h"

const Preferences::Area* Preferences::areaFor(const QString& address) const
{
    for (const Area& a : areas) {
        if (a.address == address) {
            return &a;
        }
    }
    return nullptr;
}

Preferences::Area& Preferences::areaOf(const QString& address)
{
    for (Area& a : areas) {
        if (a.address == address) {
            return a;
        }
    }
    areas.append(Area{address, {}, {}});
    return areas.last();
}

void Preferences::dropUnused()
{
    areas.removeIf([](const Area& a) {
        return a.rect.isEmpty() && a.alertBox.isEmpty() && !a.follow && a.turnMinutes == 0;
    });
}
