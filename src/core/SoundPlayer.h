#pragma once

#include <QString>

// A wave player driven by three commands, as the refresh sound uses it.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    // Releases the file opened last; ends its sound if it is still playing.
    virtual void close() = 0;
    virtual void open(const QString& path) = 0;
    // Plays the opened file from its start.
    virtual void play() = 0;
    // The file's sound from its start, whatever was open before: close, open, play.
    void playFile(const QString& path)
    {
        close();
        open(path);
        play();
    }
    // Whether a sound played would be heard: false without an audio device.
    virtual bool canPlay() const { return true; }
};
