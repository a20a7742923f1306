#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// The part of a body that a request's Range header asks for, as a video player asks for a loop bit by
// bit: one range of bytes ("bytes=0-499", "bytes=500-", "bytes=-500"). Anything else (no header,
// another unit, several ranges, a malformed one) is answered with the whole body.
struct ByteRange
{
    enum class Kind
    {
        Whole,
        Part,
        Unsatisfiable // starts past the end: 416
    };
    Kind kind = Kind::Whole;
    qint64 first = 0; // of a part, both bytes included
    qint64 last = -1;

    static ByteRange of(QByteArrayView header, qint64 size);
};
