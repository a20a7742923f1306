#pragma once

#include <QByteArray>
#include <QString>

// Writes whole files so that a crash or a full disk leaves either the old or the new content.
class AtomicFile
{
public:
    // Writes bytes to a temporary file beside path, then renames it over path.
    static bool replace(const QString& path, const QByteArray& bytes);
};
