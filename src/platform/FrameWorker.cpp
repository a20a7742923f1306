#include "platform/FrameWorker.h"

#include "core/FrameChange.h"
#include "core/RegularFile.h"
#include "core/SiteCadence.h"

#include <QBuffer>
#include <QFileInfo>
#include <QStorageInfo>

#ifdef __GLIBC__
#include <malloc.h>
#endif

FrameWorker::FrameWorker(const FrameStore& store) : m_store(store) {}

namespace {

// A picture's pixels, 32-bit 0xAARRGGBB, row by row without padding.
QByteArray pixelsOf(const QImage& picture)
{
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    QByteArray pixels;
    pixels.reserve(qsizetype(argb.width()) * argb.height() * 4);
    for (int y = 0; y < argb.height(); ++y) {
        pixels.append(reinterpret_cast<const char*>(argb.constScanLine(y)), argb.width() * 4);
    }
    return pixels;
}

} // namespace

FrameWorker::Thumb FrameWorker::thumbOf(const QImage& picture)
{
    Thumb t;
    if (picture.isNull()) {
        return t;
    }
    const QImage small = picture.scaledToWidth(FrameChange::CompareWidth, Qt::SmoothTransformation);
    t.width = small.width();
    t.pixels = pixelsOf(small);
    return t;
}

FrameWorker::Thumb FrameWorker::thumbLike(const QImage& picture, const Thumb& last)
{
    const int lastHeight = last.width > 0 ? int(last.pixels.size() / 4 / last.width) : 0;
    const QSize lastSize(last.width, lastHeight);
    Thumb t = thumbOf(picture);
    if (lastSize.isEmpty() || picture.isNull() || t.pixels.size() == last.pixels.size()) {
        return t;
    }
    // Another size of view (a restart on another screen, the kiosk, a resize): the same picture is
    // still the same once brought to the last one's size.
    const QImage part = picture.copy(FrameChange::sharedPart(picture.size(), lastSize))
                            .scaled(lastSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    t.width = part.width();
    t.pixels = pixelsOf(part);
    return t;
}

void FrameWorker::setAlert(const QString& address, const QRectF& box, int levelDbz, int percent)
{
    if (box.isEmpty()) {
        m_alerts.remove(address);
        return;
    }
    Alert& alert = m_alerts[address];
    if (alert.box != box) {
        alert.rule = StormAlert(); // another box: its own map and its own alert
        alert.box = box;
    }
    alert.rule.setLevel(StormColours::Level(levelDbz));
    alert.rule.setThresholdPerMille(percent * 10);
}

void FrameWorker::measureAlert(const QImage& picture, const QString& address, const QDateTime& takenUtc,
                               bool newPicture)
{
    const auto it = m_alerts.find(address);
    if (it == m_alerts.end()) {
        return;
    }
    const QRectF& f = it->box;
    const QRect box = QRect(qRound(f.x() * picture.width()), qRound(f.y() * picture.height()),
                            qRound(f.width() * picture.width()), qRound(f.height() * picture.height()))
                          .intersected(picture.rect());
    if (box.isEmpty()) {
        return;
    }
    const QByteArray pixels = pixelsOf(picture.copy(box));
    if (!it->rule.knowsMapOf(pixels, box.width())) {
        // A new box, or a view of another size: the map is learnt again from the frames kept before
        // this one, brought to the size of the view now, rather than from the next three frames.
        QList<QByteArray> before;
        const QList<FrameStore::Frame> kept = m_store.frames(address);
        for (auto k = kept.crbegin(); k != kept.crend() && before.size() < StormAlert::MapFrames; ++k) {
            QImage frame =
                QImage::fromData(RegularFile::read(k->path, 64 * 1024 * 1024).value_or(QByteArray()));
            if (k->takenUtc >= takenUtc || frame.isNull()) {
                continue;
            }
            if (frame.size() != picture.size()) { // no blended colours: each pixel is one of the frame's
                frame = frame.scaled(picture.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
            }
            before.prepend(pixelsOf(frame.copy(box)));
        }
        it->rule.learnMap(before, box.width());
    }
    const bool wasActive = it->rule.active();
    const StormAlert::Change change =
        it->rule.measure(pixels, box.width(), takenUtc.toMSecsSinceEpoch(), newPicture);
    if (change != StormAlert::Change::None) {
        emit alertChanged(address, !wasActive, takenUtc);
    }
}

FrameWorker::Thumb FrameWorker::lastKept(const QString& address)
{
    if (const auto it = m_last.constFind(address); it != m_last.constEnd()) {
        return *it;
    }
    // The newest frame on disk that still reads; a damaged one is passed over.
    const QList<FrameStore::Frame> frames = m_store.frames(address);
    for (auto it = frames.crbegin(); it != frames.crend(); ++it) {
        Thumb t =
            thumbOf(QImage::fromData(RegularFile::read(it->path, 64 * 1024 * 1024).value_or(QByteArray())));
        if (t.width > 0) {
            t.takenUtc = it->takenUtc;
            m_last.insert(address, t);
            return t;
        }
    }
    return {};
}

void FrameWorker::count(const QString& address)
{
    const QList<FrameStore::Frame> frames = m_store.frames(address);
    QList<QDateTime> changes;
    changes.reserve(frames.size());
    for (const FrameStore::Frame& f : frames) {
        changes.append(f.takenUtc); // a frame is kept only when the picture changed
    }
    m_gaps.insert(address, SiteCadence::usualGapMs(changes).value_or(-1));
    emit counted(address, int(frames.size()));
}

void FrameWorker::take(const QImage& picture, const QString& address, const QDateTime& takenUtc)
{
    if (!m_gaps.contains(address)) {
        count(address); // the cadence is known from the frames kept before, at once
    }
    const Thumb last = lastKept(address);
    if (const Thumb like = thumbLike(picture, last);
        !FrameChange::isNewPicture(last.pixels, last.width, like.pixels, like.width)) {
        emit done(address, false, last.takenUtc, {}, m_gaps.value(address, -1));
        measureAlert(picture, address, takenUtc, false); // an unchanged sky is judged all the same
        return;
    }
    Thumb next = thumbOf(picture);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    const bool stored = picture.save(&buffer, "PNG") && m_store.keep(address, takenUtc, png);
    QString notKept;
    if (stored) {
        next.takenUtc = takenUtc;
        m_last.insert(address, next);
    } else {
        const QStorageInfo disk(QFileInfo(m_store.folderFor(address)).absolutePath());
        notKept = disk.isValid() && disk.bytesAvailable() < 4 * png.size() + 1024 * 1024
                      ? QStringLiteral("the disk is full")
                      : QStringLiteral("the Frames folder cannot be written");
    }
    if (stored) {
        count(address);
    }
    emit done(address, true, takenUtc, notKept, m_gaps.value(address, -1));
    measureAlert(picture, address, takenUtc, true); // after the frame's own news, which it would hide
#ifdef __GLIBC__
    // The full picture and its PNG were this thread's largest allocations; give them back to the
    // system rather than keep them in the thread's own heap until the next frame.
    ::malloc_trim(0);
#endif
}
