#include "core/AtomicFile.h"

#include "core/RegularFile.h"

#include <QSaveFile>

bool AtomicFile::replace(const QString& path, const QByteArray& bytes, QFileDevice::Permissions permissions)
{
    if (!RegularFile::isRegularOrAbsent(path)) {
        return false; // a link would be followed to whatever it names
    }
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || (permissions && !file.setPermissions(permissions))) {
        return false;
    }
    // A full disk or a file size limit can cut a write short without any error being reported
    // (Qt counts the bytes that did go out as success), so the length on disk is checked too.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.size() != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
