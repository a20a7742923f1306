#pragma once

#include <QString>

// Settings that are not in Skyvn.ini (which keeps its fixed record): Skyvane.conf beside it, an INI
// file. A missing or damaged file gives the defaults.
class Preferences
{
public:
    static constexpr const char* FileName = "Skyvane.conf";
    static constexpr int SpeedCount = 3; // slow, normal, fast
    static constexpr double FramesPerSecond[SpeedCount] = {1, 2, 5};

    bool chimeOnlyForNewPicture = false;
    int framesPerAddress = 36;
    int replaySpeed = 1; // index into FramesPerSecond

    static Preferences load(const QString& path);
    // Replaces the file whole; false when it could not be written.
    bool save(const QString& path) const;
};
