#pragma once

#include "LiveSettings.h"

#include <QString>

// Process-wide state shared by the windows for the whole run.
struct AppState
{
    QString AppDir;        // program directory, no trailing separator
    LiveSettings Settings; // loaded at start-up, saved when the main window closes
    qint16 MinuteCount = 0;
    QString PageTitle;      // last title the browser reported
    QString LastOpenFolder; // folder of the file opened last through Open; never saved
};
