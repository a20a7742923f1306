#pragma once

#include <QByteArray>
#include <QString>

// The remote view's secret: 32 random bytes as 64 hex digits, kept in a file only its owner may read.
class RemoteToken
{
public:
    static constexpr const char* FileName = "RemoteToken";

    // The token in the file at path, or a new one (isNew) when the file is missing or holds none;
    // empty when something other than a regular file is in the file's place.
    static QByteArray loadOrNew(const QString& path, bool* isNew);
    // Writes a new token to path, readable by the user alone.
    static bool keep(const QString& path, const QByteArray& token);
    // loadOrNew, and a new token kept at once. Empty when none could be kept.
    static QByteArray loadOrMake(const QString& path)
    {
        bool isNew = false;
        const QByteArray token = loadOrNew(path, &isNew);
        return token.isEmpty() || (isNew && !keep(path, token)) ? QByteArray() : token;
    }
    static bool isToken(const QByteArray& text);
};
