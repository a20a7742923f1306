#include "platform/QtSoundPlayer.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

QtSoundPlayer::QtSoundPlayer(QObject* parent) : QObject(parent), m_effect(new QSoundEffect(this)) {}

QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::close()
{
    m_effect->stop();
    m_effect->setSource(QUrl());
}

void QtSoundPlayer::open(const QString& path)
{
    m_effect->setSource(QUrl::fromLocalFile(path));
}

bool QtSoundPlayer::canPlay() const
{
    return !QMediaDevices::audioOutputs().isEmpty();
}

void QtSoundPlayer::play()
{
    // Starts from the beginning; a sound still loading plays once it is ready.
    m_effect->play();
}
