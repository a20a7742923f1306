#pragma once

#include "core/LiveSettings.h"
#include "core/MenuRules.h"

#include <QFontMetricsF>
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

    // The same for a box that shows a count of up to three digits: where three digits would not fit
    // the box whole at the chosen size, the box shows them at the largest size that fits.
    static void applyToNumberBox(QWidget* box, const LiveSettings& s)
    {
        applyTo(box, s);
        QFont f = box->font();
        const qreal room = box->contentsRect().width();
        while (f.pointSizeF() > 1 && threeDigitsWidth(f) > room) {
            f.setPointSizeF(f.pointSizeF() - 0.25);
        }
        box->setFont(f);
    }

    static qreal threeDigitsWidth(const QFont& font)
    {
        const QFontMetricsF metrics(font);
        qreal widest = 0;
        for (char digit = '0'; digit <= '9'; ++digit) {
            widest = qMax(widest, metrics.horizontalAdvance(QChar::fromLatin1(digit)));
        }
        return 3 * widest;
    }
};
