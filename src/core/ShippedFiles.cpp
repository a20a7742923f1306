#include "core/ShippedFiles.h"

#include "core/AtomicFile.h"
#include "core/FileMissing.h"
#include "core/ProgramDirectory.h"

#include <QFile>

QStringList ShippedFiles::names()
{
    return {QStringLiteral("SkyvaneHelp.htm"), QStringLiteral("DefPage.htm"), QStringLiteral("Start.wav"),
            QStringLiteral("Alert.wav"),       QStringLiteral("iNetGrn.gif"), QStringLiteral("iNetRed.gif"),
            QStringLiteral("iNetGrey.gif")};
}

int ShippedFiles::unpackIntoBareDirectory(const QString& appDir)
{
    const QStringList all = names();
    for (const QString& name : all) {
        if (FileMissing(ProgramDirectory::file(appDir, name)) == 0) {
            return 0; // an installed program directory: missing files stay missing
        }
    }
    int written = 0;
    for (const QString& name : all) {
        QFile embedded(QStringLiteral(":/shipped/") + name);
        if (embedded.open(QIODevice::ReadOnly) &&
            AtomicFile::replace(ProgramDirectory::file(appDir, name), embedded.readAll())) {
            ++written;
        }
    }
    return written;
}
