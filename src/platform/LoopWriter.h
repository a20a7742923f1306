#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

#include <functional>

// One format a loop of frames is written in: an animation that loops, every frame shown for the same
// time.
class LoopWriter
{
public:
    // Told after each frame is added (frames done so far); false stops the encoding.
    using Progress = std::function<bool(int)>;

    virtual ~LoopWriter() = default;

    // The format as the save dialog lists it.
    virtual QString name() const = 0;
    // The file name's suffix, without the dot.
    virtual QString suffix() const = 0;
    // The save dialog's filter: the name and the suffix.
    QString filter() const { return QStringLiteral("%1 (*.%2)").arg(name(), suffix()); }
    // The animation's bytes; empty when there is nothing to write, the encoder failed or progress
    // (if any) said stop.
    virtual QByteArray encode(const QList<QImage>& frames, double framesPerSecond,
                              const Progress& progress) const = 0;
};
