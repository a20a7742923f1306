#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Writes whole files so that a crash or a full disk leaves either the old or the new content.
class AtomicFile
{
public:
    // Writes bytes to a temporary file beside path, then renames it over path. Only a regular file
    // is replaced: a link, pipe, device or folder in its place is left alone, and nothing written.
    // With permissions, the file has them from the start (before it has any content).
    static bool replace(const QString& path, const QByteArray& bytes,
                        QFileDevice::Permissions permissions = {});
};
