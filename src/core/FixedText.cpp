#include "core/FixedText.h"

#include "core/Windows1252.h"

QByteArray FixedText::store(const QString& value, qsizetype width)
{
    QByteArray bytes = Windows1252::encode(value.left(width));
    if (bytes.size() > width) {
        bytes.truncate(width);
    }
    if (bytes.size() < width) {
        bytes.append(width - bytes.size(), ' ');
    }
    return bytes;
}

QString FixedText::read(QByteArrayView field)
{
    qsizetype end = field.size();
    while (end > 0 && (field[end - 1] == ' ' || field[end - 1] == '\0')) {
        --end;
    }
    qsizetype begin = 0;
    while (begin < end && field[begin] == ' ') {
        ++begin;
    }
    return Windows1252::decode(field.sliced(begin, end - begin));
}

QString FixedText::trimSpaces(const QString& value)
{
    qsizetype end = value.size();
    while (end > 0 && value.at(end - 1) == u' ') {
        --end;
    }
    qsizetype begin = 0;
    while (begin < end && value.at(begin) == u' ') {
        ++begin;
    }
    return value.sliced(begin, end - begin);
}
