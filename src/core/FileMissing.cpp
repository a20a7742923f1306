#include "core/FileMissing.h"

#include <QFileInfo>

qint32 FileMissing(const QString& path)
{
    if (path.isEmpty()) {
        return FileMissingNotFound;
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        return FileMissingNotFound;
    }
    if (info.isDir()) {
        return FileMissingIsDirectory;
    }
    if (!info.isFile()) {
        return FileMissingNotAFile; // opening a pipe for reading would wait for ever
    }
    return 0;
}
