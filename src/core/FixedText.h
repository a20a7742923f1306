#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Fixed-width text fields of the record files: left-aligned, space-padded, no terminator.
class FixedText
{
public:
    // Cuts or space-pads the encoded text to exactly width bytes.
    static QByteArray store(const QString& value, qsizetype width);
    // Decodes a field and removes leading and trailing spaces (only spaces). Zero bytes at the end
    // are the unwritten tail of a short file and count as padding too.
    static QString read(QByteArrayView field);
    // What a field width bytes wide gives back of a value: cut, a character the code page cannot hold
    // as '?', without the spaces around.
    static QString kept(const QString& value, qsizetype width) { return read(store(value, width)); }
    // Removes leading and trailing spaces only.
    static QString trimSpaces(const QString& value);
};
