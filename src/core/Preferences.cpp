#include "core/Preferences.h"

#include "core/AtomicFile.h"
#include "core/FileLock.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

int boundedInt(const QSettings& s, const char* key, int fallback, int low, int high)
{
    bool ok = false;
    const int v = s.value(QLatin1String(key)).toInt(&ok);
    return ok && v >= low && v <= high ? v : fallback;
}

} // namespace

Preferences Preferences::load(const QString& path)
{
    Preferences p;
    if (!QFileInfo(path).isFile()) {
        return p;
    }
    const QSettings s(path, QSettings::IniFormat);
    if (s.status() != QSettings::NoError) {
        return p;
    }
    const QString chime = s.value(QStringLiteral("Refresh/ChimeOnlyForNewPicture")).toString().toLower();
    p.chimeOnlyForNewPicture = chime == QLatin1String("true");
    p.framesPerAddress = boundedInt(s, "Replay/FramesPerAddress", p.framesPerAddress, 2, 1000);
    p.replaySpeed = boundedInt(s, "Replay/Speed", p.replaySpeed, 0, SpeedCount - 1);
    return p;
}

bool Preferences::save(const QString& path) const
{
    // Written out by QSettings beside the file, then put in its place whole: a damaged file that
    // QSettings would refuse to touch is replaced all the same.
    const FileLock lock(path); // one window at a time uses the scratch file
    const QString scratch = path + QStringLiteral(".new");
    QFile::remove(scratch);
    {
        QSettings s(scratch, QSettings::IniFormat);
        s.setValue(QStringLiteral("Refresh/ChimeOnlyForNewPicture"), chimeOnlyForNewPicture);
        s.setValue(QStringLiteral("Replay/FramesPerAddress"), framesPerAddress);
        s.setValue(QStringLiteral("Replay/Speed"), replaySpeed);
        s.sync();
    }
    QFile written(scratch);
    const QByteArray text = written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
    written.close();
    QFile::remove(scratch);
    return !text.isEmpty() && AtomicFile::replace(path, text);
}
