#include "core/Preferences.h"

#include "core/AtomicFile.h"
#include "core/FileLock.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSettings>

namespace {

int boundedInt(const QSettings& s, const char* key, int fallback, int low, int high)
{
    bool ok = false;
    const int v = s.value(QLatin1String(key)).toInt(&ok);
    return ok && v >= low && v <= high ? v : fallback;
}

// "x y width height": four finite numbers, a size above zero; within bounds when bounds are given.
bool parseRect(const QString& text, QRectF* out, double bound)
{
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 4) {
        return false;
    }
    double v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].toDouble(&ok);
        if (!ok || !(v[i] >= -bound && v[i] <= bound)) {
            return false;
        }
    }
    *out = QRectF(v[0], v[1], v[2], v[3]);
    return v[2] > 0 && v[3] > 0;
}

QString rectText(const QRectF& r)
{
    return QStringLiteral("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// One entry of the Areas array; false when it is damaged.
bool readArea(const QSettings& s, Preferences::Area* area)
{
    area->address = s.value(QStringLiteral("address")).toString();
    if (area->address.isEmpty()) {
        return false;
    }
    const QString rect = s.value(QStringLiteral("rect")).toString();
    if (!rect.isEmpty() && !parseRect(rect, &area->rect, 1e6)) {
        return false;
    }
    const QString box = s.value(QStringLiteral("alertBox")).toString();
    if (!box.isEmpty() && (!parseRect(box, &area->alertBox, 1) || area->alertBox.right() > 1 ||
                           area->alertBox.bottom() > 1 || area->alertBox.x() < 0 || area->alertBox.y() < 0)) {
        return false;
    }
    area->alertLevel = s.value(QStringLiteral("alertLevel"), area->alertLevel).toString();
    static const QStringList levels = {QStringLiteral("any"), QStringLiteral("heavy"),
                                       QStringLiteral("severe")};
    return levels.contains(area->alertLevel) && !(area->rect.isEmpty() && area->alertBox.isEmpty());
}

} // namespace

const Preferences::Area* Preferences::areaFor(const QString& address) const
{
    for (const Area& a : areas) {
        if (a.address == address) {
            return &a;
        }
    }
    return nullptr;
}

Preferences::Area& Preferences::areaOf(const QString& address)
{
    for (Area& a : areas) {
        if (a.address == address) {
            return a;
        }
    }
    areas.append(Area{address, {}, {}});
    return areas.last();
}

void Preferences::dropUnused()
{
    areas.removeIf([](const Area& a) { return a.rect.isEmpty() && a.alertBox.isEmpty(); });
}

Preferences Preferences::load(const QString& path, int* passedOver)
{
    Preferences p;
    if (passedOver != nullptr) {
        *passedOver = 0;
    }
    if (!QFileInfo(path).isFile()) {
        return p;
    }
    QSettings s(path, QSettings::IniFormat);
    if (s.status() != QSettings::NoError) {
        return p;
    }
    const QString chime = s.value(QStringLiteral("Refresh/ChimeOnlyForNewPicture")).toString().toLower();
    p.chimeOnlyForNewPicture = chime == QLatin1String("true");
    p.framesPerAddress = boundedInt(s, "Replay/FramesPerAddress", p.framesPerAddress, 2, 1000);
    p.replaySpeed = boundedInt(s, "Replay/Speed", p.replaySpeed, 0, SpeedCount - 1);
    p.alertPercent = boundedInt(s, "Alert/Percent", p.alertPercent, 1, 100);
    p.serve = s.value(QStringLiteral("Serve")).toString().trimmed().left(300);
    const int count = s.beginReadArray(QStringLiteral("Areas"));
    QSet<QString> seen; // one entry an address, found in constant time
    for (int i = 0; i < count && i < MaxAreas; ++i) {
        s.setArrayIndex(i);
        Area area;
        if (readArea(s, &area) && !seen.contains(area.address)) {
            seen.insert(area.address);
            p.areas.append(area);
        }
    }
    s.endArray();
    if (passedOver != nullptr) {
        *passedOver = qMax(0, count - MaxAreas);
    }
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
        s.setValue(QStringLiteral("Alert/Percent"), alertPercent);
        if (!serve.isEmpty()) {
            s.setValue(QStringLiteral("Serve"), serve);
        }
        s.beginWriteArray(QStringLiteral("Areas"), int(areas.size()));
        for (int i = 0; i < areas.size(); ++i) {
            s.setArrayIndex(i);
            const Area& a = areas.at(i);
            s.setValue(QStringLiteral("address"), a.address);
            if (!a.rect.isEmpty()) {
                s.setValue(QStringLiteral("rect"), rectText(a.rect));
            }
            if (!a.alertBox.isEmpty()) {
                s.setValue(QStringLiteral("alertBox"), rectText(a.alertBox));
                s.setValue(QStringLiteral("alertLevel"), a.alertLevel);
            }
        }
        s.endArray();
        s.sync();
    }
    QFile written(scratch);
    const QByteArray text = written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
    written.close();
    QFile::remove(scratch);
    return !text.isEmpty() && AtomicFile::replace(path, text);
}
