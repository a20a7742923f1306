#include "platform/LoopFrames.h"

#include "platform/FramePainter.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

QSize LoopFrames::within(const QSize& newest, int most)
{
    const QSize size = newest.expandedTo(QSize(1, 1));
    if (size.width() <= most && size.height() <= most) {
        return size;
    }
    return size.scaled(most, most, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QImage LoopFrames::fitted(const QImage& frame, const QSize& size, const QString& time)
{
    if (frame.size() == size && frame.format() == QImage::Format_RGBX8888 && time.isEmpty()) {
        return frame;
    }
    QImage out(size, QImage::Format_RGB32);
    if (out.isNull()) {
        return out;
    }
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QFont font = p.font();
    font.setPixelSize(qMax(10, size.height() / 30)); // the same share of any loop's height
    p.setFont(font);
    FramePainter::paint(p, out.rect(), frame, time);
    p.end();
    return out.convertToFormat(QImage::Format_RGBX8888);
}

QByteArray LoopFrames::encode(const LoopWriter& writer, const QList<QByteArray>& pngs,
                              const QStringList& times, const QList<int>& durationsMs,
                              const LoopWriter::Progress& progress)
{
    // The size is known from the newest PNG's header, so each frame is fitted as soon as it is decoded
    // and only the fitted ones are held.
    QSize newest;
    for (qsizetype i = pngs.size() - 1; i >= 0 && !newest.isValid(); --i) {
        QBuffer buffer;
        buffer.setData(pngs[i]);
        newest = QImageReader(&buffer, "PNG").size();
    }
    if (!newest.isValid() || newest.isEmpty()) {
        return {};
    }
    const QSize size = writer.frameSize(newest);
    QList<QImage> frames;
    frames.reserve(pngs.size());
    for (const QByteArray& png : pngs) {
        frames.append(fitted(QImage::fromData(png, "PNG"), size, times.value(frames.size())));
        if (frames.last().isNull() || (progress && !progress(int(frames.size())))) {
            return {};
        }
    }
    const int decoded = int(frames.size());
    return writer.encode(frames, durationsMs, [&progress, decoded](int encoded) {
        return !progress || progress(decoded + encoded);
    });
}
