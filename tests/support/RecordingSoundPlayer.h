#pragma once

#include "core/SoundPlayer.h"

#include <QStringList>

// Writes the player commands into a log shared with the fake browser, so that order can be checked.
class RecordingSoundPlayer : public SoundPlayer
{
public:
    explicit RecordingSoundPlayer(QStringList& log) : m_log(log) {}
    void close() override { m_log << QStringLiteral("Close"); }
    void open(const QString& path) override { m_log << QStringLiteral("Open:") + path; }
    void play() override { m_log << QStringLiteral("Play"); }

private:
    QStringList& m_log;
};
