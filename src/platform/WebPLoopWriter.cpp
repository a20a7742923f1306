#include "platform/WebPLoopWriter.h"

#include "core/AtomicFile.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <memory>

QByteArray WebPLoopWriter::encode(const QList<QImage>& frames, double framesPerSecond)
{
    if (frames.isEmpty() || frames.first().isNull() || !(framesPerSecond > 0)) {
        return {};
    }
    QSize size = frames.first().size();
    if (size.width() > MaxWidth) {
        size = size.scaled(MaxWidth, size.height() * MaxWidth / size.width() + 1, Qt::KeepAspectRatio);
    }
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
    const int frameMs = qMax(1, int(1000 / framesPerSecond));
    int timestamp = 0;
    for (const QImage& frame : frames) {
        const QImage rgba = frame.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                .convertToFormat(QImage::Format_RGBA8888);
        WebPPicture picture;
        if (rgba.isNull() || !WebPPictureInit(&picture)) {
            return {};
        }
        picture.use_argb = 1;
        picture.width = size.width();
        picture.height = size.height();
        const bool added = WebPPictureImportRGBA(&picture, rgba.constBits(), int(rgba.bytesPerLine())) &&
                           WebPAnimEncoderAdd(encoder.get(), &picture, timestamp, &config);
        WebPPictureFree(&picture);
        if (!added) {
            return {};
        }
        timestamp += frameMs;
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

bool WebPLoopWriter::write(const QString& path, const QList<QImage>& frames, double framesPerSecond)
{
    const QByteArray bytes = encode(frames, framesPerSecond);
    return !bytes.isEmpty() && AtomicFile::replace(path, bytes);
}
