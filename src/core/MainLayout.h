#pragma once

// Where the main window's resizable controls go, in twips, for a client area of ScaleWidth by
// ScaleHeight. Single-precision arithmetic, as the stored geometry.
struct TwipRect
{
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool operator==(const TwipRect&) const = default;
};

class MainLayout
{
public:
    static constexpr float MinOuterWidth = 7095;
    static constexpr float MinOuterHeight = 5445;
    static constexpr float ComboLeft = 4530;
    static constexpr float SelectorAllowance = 4950;
    static constexpr float GoOffset = 390;
    static constexpr float BrowserTop = 360;
    static constexpr float BrowserAllowance = 630;
    static constexpr float ProgressLeftOffset = 1560;
    static constexpr float ProgressTopOffset = 240;
    static constexpr float Nudge = 15;

    static float comboWidth(float scaleWidth) { return scaleWidth - SelectorAllowance; }
    static float goLeft(float scaleWidth) { return scaleWidth - GoOffset; }
    static TwipRect browser(float scaleWidth, float scaleHeight, float widthTakenOff = 0)
    {
        return {0, BrowserTop, scaleWidth - widthTakenOff, scaleHeight - BrowserAllowance};
    }
    static float progressLeft(float scaleWidth) { return scaleWidth - ProgressLeftOffset; }
    static float progressTop(float scaleHeight) { return scaleHeight - ProgressTopOffset; }

    // The outer size after the minimum-size spring-back.
    static float springBackWidth(float outerWidth)
    {
        return outerWidth < MinOuterWidth ? MinOuterWidth : outerWidth;
    }
    static float springBackHeight(float outerHeight)
    {
        return outerHeight < MinOuterHeight ? MinOuterHeight : outerHeight;
    }
};
