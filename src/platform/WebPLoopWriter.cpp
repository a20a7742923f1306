#include "platform/WebPLoopWriter.h"

#include <QPainter>

#include <webp/encode.h>
#include <webp/mux.h>

#include <memory>

QSize WebPLoopWriter::loopSize(const QSize& newest)
{
    if (newest.width() <= MaxWidth) {
        return newest;
    }
    return QSize(MaxWidth, qMax(1, int(qint64(newest.height()) * MaxWidth / newest.width())));
}

QByteArray WebPLoopWriter::encode(const QList<QImage>& frames, double framesPerSecond,
                                  const Progress& progress) const
{
    if (frames.isEmpty() || frames.last().isNull() || !(framesPerSecond > 0)) {
        return {};
    }
    const QSize size = loopSize(frames.last().size());
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
        // A frame of another size is fitted in, in proportion, on black.
        QImage rgba(size, QImage::Format_RGBA8888);
        rgba.fill(Qt::black);
        if (!frame.isNull()) {
            const QImage fitted = frame.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                      .convertToFormat(QImage::Format_RGBA8888);
            QPainter painter(&rgba);
            painter.drawImage((size.width() - fitted.width()) / 2, (size.height() - fitted.height()) / 2,
                              fitted);
        }
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
        if (!added || (progress && !progress(int(&frame - frames.constData()) + 1))) {
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
