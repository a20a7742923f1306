#pragma once

// The site list editor's layout in twips for an inner area of SW by SH, single precision.
class EditorLayout
{
public:
    static constexpr float MinWidth = 6945;
    static constexpr float MinHeight = 3525;
    static constexpr float ButtonLeft = 30;
    static constexpr float ButtonTop = 15;
    static constexpr float ButtonHeight = 300;
    static constexpr float ListTop = 315;
    static constexpr float ColumnAllowance = 300;

    static float addWidth(float sw) { return sw / 2; }
    static float deleteLeft(float sw) { return sw / 2 + 30; }
    static float deleteWidth(float sw) { return sw / 2 - 30; }
    static float listHeight(float sh) { return sh - ListTop; }
    static float columnWidth(float listWidth) { return (listWidth - ColumnAllowance) / 2; }
};
