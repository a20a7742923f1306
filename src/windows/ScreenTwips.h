#pragma once

#include "core/Twips.h"

#include <QScreen>
#include <QWidget>

// The twips of the screen a window is on, at that screen's logical DPI.
class ScreenTwips
{
public:
    static Twips of(const QWidget* window)
    {
        const QScreen* screen = window->screen();
        return screen == nullptr ? Twips()
                                 : Twips(screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY());
    }
};
