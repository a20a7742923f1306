#include "ProgramDirectory.h"

#include <QDir>

QString ProgramDirectory::appDirFrom(const QString& reportedPath)
{
    QString dir = QDir::toNativeSeparators(reportedPath);
    while (dir.endsWith(QDir::separator())) {
        dir.chop(1);
    }
    return dir;
}

QString ProgramDirectory::file(const QString& appDir, const QString& name)
{
    return appDir + QDir::separator() + name;
}
