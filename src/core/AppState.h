#pragma once

#include "core/LiveSettings.h"
#include "core/Preferences.h"
#include "core/ProgramDirectory.h"
#include "core/SettingsFile.h"
#include "core/SiteListFile.h"

#include <QString>

// Process-wide state shared by the windows for the whole run.
struct AppState
{
    QString AppDir;               // program directory (its shipped files), no trailing separator
    QString DataDir;              // where Skyvn.ini and SiteList.dab live; empty means AppDir
    LiveSettings Settings;        // loaded at start-up, saved when the main window closes
    QString PageTitle;            // last title the browser reported
    QString LastOpenFolder;       // folder of the file opened last through Open; never saved
    QString StartAddress;         // from the command line: opened instead of the start page
    bool StartPageOpened = false; // the start page was asked for before the window was made
    SettingsRecord LoadedRecord;  // Skyvn.ini as read at start-up
    LiveSettings SettingsAtStart; // the settings as this run began with them, corrected
    Preferences Prefs;            // the settings beyond the record, from Skyvane.conf

    // Remembers how the run began, so that only what this window changes is written at the end.
    void rememberStart(const SettingsRecord& loaded)
    {
        LoadedRecord = loaded;
        SettingsAtStart = Settings;
    }

    const QString& dataDir() const { return DataDir.isEmpty() ? AppDir : DataDir; }
    QString settingsPath() const
    {
        return ProgramDirectory::file(dataDir(), QString::fromLatin1(SettingsFile::FileName));
    }
    QString preferencesPath() const
    {
        return ProgramDirectory::file(dataDir(), QString::fromLatin1(Preferences::FileName));
    }
    QString framesPath() const { return ProgramDirectory::file(dataDir(), QStringLiteral("Frames")); }
    QString siteListPath() const
    {
        return ProgramDirectory::file(dataDir(), QString::fromLatin1(SiteListFile::FileName));
    }
};
