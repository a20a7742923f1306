#include "platform/WebPLoopWriter.h"

#include "platform/LoopFrames.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <memory>

QSize WebPLoopWriter::frameSize(const QSize& newest) const
{
    return LoopFrames::within(newest, MaxWidth);
}

QByteArray WebPLoopWriter::encode(const QList<QImage>& frames, const QList<int>& durationsMs,
                                  const Progress& progress) const
{
    if (frames.isEmpty() || frames.last().isNull() || durationsMs.size() != frames.size()) {
        return {};
    }
    const QSize size = frameSize(frames.last().size());
    WebPAnimEncoderOptions options;
    WebPConfig config;
    if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&config)) {
        return {};
    }
    options.anim_params.loop_count = 0; // for ever
    config.quality = 80;
    config.method = 3;
    const std::unique_ptr<WebPAnimEncoder, decltype(&WebPAnimEncoderDelete)> encoder(
        WebPAnimEncoderNew(size.width(), size.height(), &options), &WebPAnimEncoderDelete);
    if (!encoder) {
        return {};
    }
    int timestamp = 0; // when each frame starts, in ms
    for (int i = 0; i < frames.size(); ++i) {
        const QImage rgbx = LoopFrames::fitted(frames[i], size);
        WebPPicture picture;
        if (rgbx.isNull() || !WebPPictureInit(&picture)) {
            return {};
        }
        picture.use_argb = 1;
        picture.width = size.width();
        picture.height = size.height();
        const bool added = WebPPictureImportRGBX(&picture, rgbx.constBits(), int(rgbx.bytesPerLine())) &&
                           WebPAnimEncoderAdd(encoder.get(), &picture, timestamp, &config);
        WebPPictureFree(&picture);
        if (!added || (progress && !progress(i + 1))) {
            return {};
        }
        timestamp += qBound(1, durationsMs[i], MostFrameMs);
    }
    WebPData data;
    WebPDataInit(&data);
    if (!WebPAnimEncoderAdd(encoder.get(), nullptr, timestamp, nullptr) ||
        !WebPAnimEncoderAssemble(encoder.get(), &data)) {
        WebPDataClear(&data);
        return {};
    }
    QByteArray out(reinterpret_cast<const char*>(data.bytes), qsizetype(data.size));
    WebPDataClear(&data);
    return out;
}
