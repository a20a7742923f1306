#include "core/FrameChange.h"

#include <QHash>

#include <cstdlib>
#include <cstring>

bool FrameChange::isNewPicture(const QByteArray& last, int lastWidth, const QByteArray& next, int nextWidth)
{
    if (last.isEmpty() || last.size() != next.size() || lastWidth != nextWidth || last.size() % 4 != 0) {
        return true;
    }
    const qsizetype pixels = last.size() / 4;
    const auto* a = reinterpret_cast<const unsigned char*>(last.constData());
    const auto* b = reinterpret_cast<const unsigned char*>(next.constData());
    qsizetype differing = 0;
    for (qsizetype i = 0; i < pixels; ++i) {
        for (int c = 0; c < 4; ++c) {
            if (std::abs(int(a[i * 4 + c]) - int(b[i * 4 + c])) > ChannelTolerance) {
                ++differing;
                break;
            }
        }
    }
    return differing * 1000 >= pixels * ChangedPerMille;
}

QRect FrameChange::sharedPart(QSize picture, QSize last)
{
    if (picture.isEmpty() || last.isEmpty()) {
        return {};
    }
    // The widest part of the picture in the last one's proportions (integer arithmetic: no drift).
    QSize part(picture.width(), int(qint64(picture.width()) * last.height() / last.width()));
    if (part.height() > picture.height()) {
        part = QSize(int(qint64(picture.height()) * last.width() / last.height()), picture.height());
    }
    part = part.expandedTo(QSize(1, 1));
    return QRect(QPoint((picture.width() - part.width()) / 2, (picture.height() - part.height()) / 2), part);
}

bool FrameChange::isOneColour(const QByteArray& pixels)
{
    const qsizetype count = pixels.size() / 4;
    if (count == 0) {
        return true;
    }
    // Colours counted with their low bits dropped, so that noise does not split one colour in many.
    QHash<quint32, qsizetype> colours;
    qsizetype most = 0;
    for (qsizetype k = 0; k < count; ++k) {
        quint32 pixel = 0;
        std::memcpy(&pixel, pixels.constData() + k * 4, 4);
        most = qMax(most, ++colours[pixel & 0x00f0f0f0u]);
    }
    return most * 100 > count * 99;
}
