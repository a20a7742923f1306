#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The single-byte code page of the record files. Decoding maps every byte; encoding turns a
// character the code page cannot hold into '?'. The table is our own so that the files read the
// same on every build of Qt, with or without ICU.
class Windows1252
{
public:
    static QString decode(QByteArrayView bytes);
    static QByteArray encode(const QString& text);
    static char encodeChar(char16_t ch);
};
