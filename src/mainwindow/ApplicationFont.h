#pragma once

#include "LiveSettings.h"
#include "MenuRules.h"

#include <QWidget>

// The application font of the live settings, as the strip's labels, the selector and the site list
// editor's list show it.
class ApplicationFont
{
public:
    static void applyTo(QWidget* widget, const LiveSettings& s)
    {
        QFont f = widget->font();
        f.setFamily(s.FontName);
        f.setBold(s.FontBold);
        if (const double points = MenuRules::displayPointSize(s.FontSize); points > 0) {
            f.setPointSizeF(points);
        }
        widget->setFont(f);
    }
};
