#pragma once

#include "platform/LoopWriter.h"

// Writes frames as one GIF animation that loops for ever, all in one palette made for the loop.
class GifLoopWriter : public LoopWriter
{
public:
    static constexpr int MaxWidth = 1280;

    QString name() const override { return QStringLiteral("GIF animation"); }
    QString suffix() const override { return QStringLiteral("gif"); }
    // The newest frame's, at most MaxWidth wide (and as high).
    QSize frameSize(const QSize& newest) const override;
    // Each frame's time in hundredths of a second, as GIF counts it.
    QByteArray encode(const QList<QImage>& frames, const QList<int>& durationsMs,
                      const Progress& progress) const override;
};
