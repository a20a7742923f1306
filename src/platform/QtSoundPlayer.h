#pragma once

#include "core/SoundPlayer.h"

#include <QObject>

class QSoundEffect;

// The wave player over QSoundEffect. Without an audio device, or with a missing or broken file,
// it stays silent and reports nothing.
class QtSoundPlayer : public QObject, public SoundPlayer
{
    Q_OBJECT
public:
    explicit QtSoundPlayer(QObject* parent = nullptr);
    ~QtSoundPlayer() override;

    void close() override;
    void open(const QString& path) override;
    void play() override;
    bool canPlay() const override;

    QSoundEffect* effect() const { return m_effect; }

private:
    QSoundEffect* m_effect; // the device, open from Open until Close
};
