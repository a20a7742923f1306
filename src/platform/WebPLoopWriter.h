#pragma once

#include "platform/LoopWriter.h"

// Writes frames as one animated WebP that loops for ever.
class WebPLoopWriter : public LoopWriter
{
public:
    static constexpr int MaxWidth = 1280;

    QString name() const override { return QStringLiteral("Animated WebP"); }
    QString suffix() const override { return QStringLiteral("webp"); }
    // The newest frame's, at most MaxWidth wide (and as high).
    QSize frameSize(const QSize& newest) const override;
    QByteArray encode(const QList<QImage>& frames, const QList<int>& durationsMs,
                      const Progress& progress) const override;
};
