#pragma once

#include <QFont>
#include <QString>

// The fonts the windows were laid out for. Asked for by name, the system gives its own substitute
// when it lacks the family: for "Arial" a font of the same metrics where one is installed (Liberation
// Sans, Arimo), so captions fit as designed.
class DesignedFont
{
public:
    static constexpr double CaptionPoints = 8.25; // buttons, option buttons and the windows' text

    static QFont arial(double points, bool bold = false)
    {
        QFont f(QStringLiteral("Arial"));
        f.setPointSizeF(points);
        f.setBold(bold);
        return f;
    }
};
