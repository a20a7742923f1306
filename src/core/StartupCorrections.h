#pragma once

#include "core/EditorLayout.h"
#include "core/LiveSettings.h"
#include "core/MainLayout.h"

#include <QString>
#include <QStringList>

#include <functional>

// Makes loaded settings safe to use: a window on the screen, a start page that exists and a font
// the system has. Every bound test replaces a value unless it compares as within the bound, so a
// damaged (NaN) field is always replaced.
class StartupCorrections
{
public:
    static constexpr float HorizontalMargin = 3000;
    static constexpr float VerticalMargin = 1500;
    static constexpr float MainMinWidth = MainLayout::MinOuterWidth;
    static constexpr float MainMinHeight = MainLayout::MinOuterHeight;
    static constexpr float EditorMinWidth = EditorLayout::MinWidth;
    static constexpr float EditorMinHeight = EditorLayout::MinHeight;
    static constexpr float SmallestFontSize = 2;
    static constexpr float LargestFontSize = 12.25f; // the largest the App Fonts dialog offers

    struct Environment
    {
        QString appDir;
        float screenWidthTwips = 0;
        float screenHeightTwips = 0;
        QStringList fonts;    // installed screen fonts in the platform's order
        QString uiFontFamily; // the real family behind the desktop's general UI font
        QString arialFamily;  // the family the system gives when "Arial" is asked for
        std::function<qint32(const QString&)> fileMissing;
    };

    static void apply(LiveSettings& s, const Environment& env);

    static void correctStartPage(LiveSettings& s, const Environment& env);
    static void correctPosition(LiveSettings& s, const Environment& env);
    static void correctSizes(LiveSettings& s);
    static void correctFont(LiveSettings& s, const Environment& env);
    // Families made with Arial's metrics, which the layout was designed for.
    static bool isArialMetricCompatible(const QString& family);

    static QString withoutControlCharacters(QString text);
    // Help page in AppDir, else DefPage.htm there, else empty.
    static QString defaultStartPage(const Environment& env);
};
