#pragma once

#include <QByteArray>
#include <QString>

// The remote view's secret: 32 random bytes as 64 hex digits, kept in a file only its owner may read.
class RemoteToken
{
public:
    static constexpr const char* FileName = "RemoteToken";

    // The token in the file at path; made (and the file written, readable by the user alone) when
    // the file is missing or holds no token. Empty when none could be kept.
    static QByteArray loadOrMake(const QString& path);
    static bool isToken(const QByteArray& text);
};
