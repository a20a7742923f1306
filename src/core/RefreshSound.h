#pragma once

#include <QString>

class SoundPlayer;

// The short sound that announces every refresh: Start.wav from the program directory.
class RefreshSound
{
public:
    static constexpr const char* FileName = "Start.wav";
    // The player never reports failures; a missing file is simply silent.
    static void playRefreshSound(SoundPlayer& player, const QString& appDir);
};
