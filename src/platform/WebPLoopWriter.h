#pragma once

#include "platform/LoopWriter.h"

#include <QSize>

// Writes frames as one animated WebP that loops, every frame shown for the same time.
class WebPLoopWriter : public LoopWriter
{
public:
    static constexpr int MaxWidth = 1280;

    // The loop's size: the newest frame's, at most MaxWidth wide.
    static QSize loopSize(const QSize& newest);

    QString name() const override { return QStringLiteral("Animated WebP"); }
    QString suffix() const override { return QStringLiteral("webp"); }
    // The other frames are fitted into the newest one's size, in proportion.
    QByteArray encode(const QList<QImage>& frames, double framesPerSecond,
                      const Progress& progress) const override;
};
