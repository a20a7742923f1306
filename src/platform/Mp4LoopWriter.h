#pragma once

#include "platform/LoopWriter.h"

// Writes frames as an H.264 video in MP4, its index at the front so that it plays while it downloads.
// A video does not loop by itself: the player is asked to.
class Mp4LoopWriter : public LoopWriter
{
public:
    static constexpr int MaxWidth = 1920;

    QString name() const override { return QStringLiteral("MP4 video"); }
    QString suffix() const override { return QStringLiteral("mp4"); }
    // The newest frame's, at most MaxWidth wide (and as high), each side rounded down to an even number
    // (the colour is kept for two by two pixels).
    QSize frameSize(const QSize& newest) const override;
    QByteArray encode(const QList<QImage>& frames, const QList<int>& durationsMs,
                      const Progress& progress) const override;
};
