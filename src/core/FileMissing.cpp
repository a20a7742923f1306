#include "core/FileMissing.h"

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
    if (!info.isFile()) {
        return kFileMissingNotAFile; // opening a pipe for reading would wait for ever
    }
    return 0;
}
