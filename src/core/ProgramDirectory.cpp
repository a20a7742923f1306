#include "core/ProgramDirectory.h"

#include "core/FileMissing.h"
#include "core/ProgramNames.h"

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

ProgramDirectory::Locations ProgramDirectory::locate(const QString& programDir,
                                                     const QString& installedDataDir, bool programDirWritable,
                                                     const QString& userDataDir)
{
    const auto holdsShippedFiles = [](const QString& dir) {
        return !dir.isEmpty() && FileMissing(file(dir, ProgramNames::HelpPage)) == 0;
    };
    if (!holdsShippedFiles(programDir) && holdsShippedFiles(installedDataDir)) {
        return {installedDataDir, userDataDir};
    }
    return {programDir, programDirWritable ? programDir : userDataDir};
}
