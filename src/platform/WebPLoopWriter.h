#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

// Writes frames as one animated WebP that loops, every frame shown for the same time.
class WebPLoopWriter
{
public:
    static constexpr int MaxWidth = 1280;

    // The animation's bytes; empty when there is nothing to write or the encoder failed. Frames are
    // scaled to the first one's size, at most MaxWidth wide.
    static QByteArray encode(const QList<QImage>& frames, double framesPerSecond);
    static bool write(const QString& path, const QList<QImage>& frames, double framesPerSecond);
};
