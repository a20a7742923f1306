#include "platform/GifLoopWriter.h"

#include "platform/AvEncoding.h"
#include "platform/GifPalette.h"
#include "platform/LoopFrames.h"

#include <cstring>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

QSize GifLoopWriter::frameSize(const QSize& newest) const
{
    return LoopFrames::within(newest, MaxWidth);
}

QByteArray GifLoopWriter::encode(const QList<QImage>& frames, const QList<int>& durationsMs,
                                 const Progress& progress) const
{
    if (frames.isEmpty() || frames.last().isNull() || durationsMs.size() != frames.size()) {
        return {};
    }
    const QSize size = frameSize(frames.last().size());
    QList<QImage> fitted;
    fitted.reserve(frames.size());
    for (const QImage& frame : frames) {
        fitted.append(LoopFrames::fitted(frame, size));
        if (fitted.last().isNull()) {
            return {};
        }
    }
    const GifPalette palette(fitted);
    // A GIF's delays are hundredths of a second, and one under two is taken as ten by most viewers.
    QList<int> held;
    for (int ms : durationsMs) {
        held.append(qBound(20, ms, MostFrameMs));
    }
    const QByteArray lastDelay = QByteArray::number((held.last() + 5) / 10);
    AvEncoding encoding({"gif",
                         "gif",
                         size,
                         AV_PIX_FMT_PAL8,
                         100,
                         {},
                         {{"loop", "0"}, {"final_delay", lastDelay.constData()}},
                         {},
                         false});
    qint64 start = 0;
    for (int i = 0; i < fitted.size(); ++i) {
        AVFrame* frame = encoding.frame();
        if (frame == nullptr) {
            return {};
        }
        palette.dither(fitted[i], frame->data[0], frame->linesize[0]);
        std::memcpy(frame->data[1], palette.colours().data(), sizeof(QRgb) * GifPalette::Colours);
        fitted[i] = QImage(); // done with
        if (!encoding.add(start, held[i]) || (progress && !progress(i + 1))) {
            return {};
        }
        start += held[i];
    }
    return encoding.finish();
}
