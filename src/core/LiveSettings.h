#pragma once

#include "core/SettingsRecord.h"

#include <QString>

#include <array>

// The settings the program works on between start-up and exit. Geometry is in twips.
struct LiveSettings
{
    float MainLeft = 0;
    float MainTop = 0;
    float MainWidth = 0;
    float MainHeight = 0;
    float EditorWidth = 0;
    float EditorHeight = 0;
    qint16 INetDisabled = 0;     // as loaded; fixed for the whole run
    qint16 INetDisabledNext = 0; // what the next start will use
    QString StartPage;
    QString FontName;
    bool FontBold = false;
    float FontSize = 0;
    std::array<char, 4> Reserved330 = {};
    std::array<char, 2> Reserved334 = {};

    static LiveSettings fromRecord(const SettingsRecord& record);
    // The window geometry comes from the main window at exit, not from the live variables.
    SettingsRecord toRecord(float left, float top, float width, float height) const;
};
