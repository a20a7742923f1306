#include "platform/Mp4LoopWriter.h"

#include "platform/AvEncoding.h"
#include "platform/LoopFrames.h"

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

QSize Mp4LoopWriter::frameSize(const QSize& newest) const
{
    const QSize size = LoopFrames::within(newest, MaxWidth);
    return QSize(qMax(2, size.width() & ~1), qMax(2, size.height() & ~1));
}

QByteArray Mp4LoopWriter::encode(const QList<QImage>& frames, const QList<int>& durationsMs,
                                 const Progress& progress) const
{
    if (frames.isEmpty() || frames.last().isNull() || durationsMs.size() != frames.size()) {
        return {};
    }
    const QSize size = frameSize(frames.last().size());
    // Studio-range BT.709, as players take HD video to be, converted so and said so.
    const std::unique_ptr<SwsContext, decltype(&sws_freeContext)> convert(
        sws_getContext(size.width(), size.height(), AV_PIX_FMT_RGB0, size.width(), size.height(),
                       AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr),
        &sws_freeContext);
    if (!convert ||
        sws_setColorspaceDetails(convert.get(), sws_getCoefficients(SWS_CS_DEFAULT), 1,
                                 sws_getCoefficients(SWS_CS_ITU709), 0, 0, 1 << 16, 1 << 16) < 0) {
        return {};
    }
    AvEncoding encoding({"mp4",
                         "libx264",
                         size,
                         AV_PIX_FMT_YUV420P,
                         1000,
                         {{"preset", "medium"}, {"crf", "23"}},
                         {{"movflags", "+faststart"}},
                         [](AVCodecContext* codec) {
                             codec->colorspace = AVCOL_SPC_BT709;
                             codec->color_primaries = AVCOL_PRI_BT709;
                             codec->color_trc = AVCOL_TRC_IEC61966_2_1;
                             codec->color_range = AVCOL_RANGE_MPEG;
                         },
                         true});
    qint64 start = 0;
    for (int i = 0; i < frames.size(); ++i) {
        const QImage rgbx = LoopFrames::fitted(frames[i], size);
        AVFrame* frame = encoding.frame();
        if (rgbx.isNull() || frame == nullptr) {
            return {};
        }
        const uint8_t* planes[] = {rgbx.constBits()};
        const int strides[] = {int(rgbx.bytesPerLine())};
        const int held = qBound(1, durationsMs[i], MostFrameMs);
        if (sws_scale(convert.get(), planes, strides, 0, size.height(), frame->data, frame->linesize) !=
                size.height() ||
            !encoding.add(start, held) || (progress && !progress(i + 1))) {
            return {};
        }
        start += held;
    }
    return encoding.finish();
}
