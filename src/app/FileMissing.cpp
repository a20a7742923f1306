#include "FileMissing.h"

#include <QFileInfo>

qint32 FileMissing(const QString& path)
{
    if (path.isEmpty()) {
        return kFileMissingNotFound;
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        return kFileMissingNotFound;
    }
    if (info.isDir()) {
        return kFileMissingIsDirectory;
    }
    return 0;
}
