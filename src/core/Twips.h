#pragma once

#include <QRect>
#include <QtGlobal>

#include <cmath>

// Twips (1/1440 inch) to device-independent pixels and back, at the screen's logical DPI.
class Twips
{
public:
    static constexpr double PerInch = 1440.0;

    explicit Twips(double dpiX = 96.0, double dpiY = 96.0) : m_dpiX(dpiX), m_dpiY(dpiY) {}

    int toPixelsX(double twips) const { return clampToInt(twips * m_dpiX / PerInch); }
    int toPixelsY(double twips) const { return clampToInt(twips * m_dpiY / PerInch); }
    // A rectangle given in twips, in pixels.
    QRect rect(double left, double top, double width, double height) const
    {
        return QRect(toPixelsX(left), toPixelsY(top), toPixelsX(width), toPixelsY(height));
    }
    float fromPixelsX(int px) const { return static_cast<float>(px * PerInch / m_dpiX); }
    float fromPixelsY(int px) const { return static_cast<float>(px * PerInch / m_dpiY); }

private:
    // A stored size may be huge or not a number; the window system takes neither.
    static int clampToInt(double px)
    {
        if (!std::isfinite(px)) {
            return px > 0 ? MaxPixels : 0;
        }
        return static_cast<int>(std::lround(qBound(-double(MaxPixels), px, double(MaxPixels))));
    }
    static constexpr int MaxPixels = 16000;

    double m_dpiX;
    double m_dpiY;
};
