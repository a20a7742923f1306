#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

// The files this program reads and writes are plain files of its own: a symbolic link, a pipe, a
// device or a directory found in a file's place is neither followed nor opened, so that nothing
// outside the program's folder is changed and nothing it reads can hold it up.
class RegularFile
{
public:
    // Whether path names nothing, or a regular file itself (not through a link).
    static bool isRegularOrAbsent(const QString& path);
    // Whether path names a regular file itself.
    static bool isRegular(const QString& path);
    // Opens the regular file at path for reading into file, as read does.
    static bool open(QFile& file, const QString& path);
    // Up to maxBytes of the regular file at path; none when it is not one or cannot be read. Opening
    // never waits (a pipe put there between the look and the open is not read either).
    static std::optional<QByteArray> read(const QString& path, qint64 maxBytes);
};
