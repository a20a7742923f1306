#include "core/PreferencesStore.h"

#include "core/AtomicFile.h"
#include "core/FileLock.h"
#include "core/LoopTiming.h"

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
    area->follow = s.value(QStringLiteral("follow")).toString().toLower() == QLatin1String("true");
    const int turn = s.value(QStringLiteral("turn")).toInt();
    area->turnMinutes = turn >= 1 && turn <= 24 * 60 ? turn : 0; // minutes, as --rotate takes them
    static const QStringList levels = {QStringLiteral("any"), QStringLiteral("heavy"),
                                       QStringLiteral("severe")};
    return levels.contains(area->alertLevel) &&
           !(area->rect.isEmpty() && area->alertBox.isEmpty() && !area->follow && area->turnMinutes == 0);
}

// A list of addresses, as QSettings reads "a, b" (a list) or "a" (one); bounded, as anything in the file.
QStringList addressList(const QSettings& s, const char* key)
{
    QStringList out;
    for (const QString& a : s.value(QLatin1String(key)).toStringList().mid(0, 64)) {
        if (!a.trimmed().isEmpty()) {
            out.append(a.trimmed().left(2000));
        }
    }
    return out;
}

} // namespace

Preferences PreferencesStore::load(int* passedOver) const
{
    Preferences p;
    if (passedOver != nullptr) {
        *passedOver = 0;
    }
    if (!QFileInfo(m_path).isFile()) {
        return p;
    }
    QSettings s(m_path, QSettings::IniFormat);
    if (s.status() != QSettings::NoError) {
        return p;
    }
    const QString chime = s.value(QStringLiteral("Refresh/ChimeOnlyForNewPicture")).toString().toLower();
    p.chimeOnlyForNewPicture = chime == QLatin1String("true");
    p.framesPerAddress = boundedInt(s, "Replay/FramesPerAddress", p.framesPerAddress, 2, 1000);
    p.replaySpeed = boundedInt(s, "Replay/Speed", p.replaySpeed, 0, Preferences::SpeedCount - 1);
    bool dwellRead = false;
    const double dwell = s.value(QStringLiteral("Replay/Dwell")).toDouble(&dwellRead); // seconds
    if (dwellRead && dwell >= 0 && dwell * 1000 <= LoopTiming::MostDwellMs) {
        p.dwellMs = int(dwell * 1000 + 0.5);
    }
    p.timeOnFrames =
        s.value(QStringLiteral("Replay/TimeOnFrames")).toString().toLower() != QLatin1String("false");
    p.alertPercent = boundedInt(s, "Alert/Percent", p.alertPercent, 1, 100);
    p.crashPauseSeconds = boundedInt(s, "Refresh/CrashPause", p.crashPauseSeconds, 1, 30 * 60);
    p.serve = s.value(QStringLiteral("Serve")).toString().trimmed().left(300);
    // Unquoted, "07:00-09:00,17:00-23:00" is read as a list of two.
    p.awake = s.value(QStringLiteral("Awake")).toStringList().join(QLatin1Char(',')).trimmed().left(300);
    p.notifyNtfy = addressList(s, "Notify/Ntfy");
    p.notifyWebhook = addressList(s, "Notify/Webhook");
    p.mqtt = MqttSettings::read(s);
    const int count = s.beginReadArray(QStringLiteral("Areas"));
    QSet<QString> seen; // one entry an address, found in constant time
    for (int i = 0; i < count && i < Preferences::MaxAreas; ++i) {
        s.setArrayIndex(i);
        Preferences::Area area;
        if (readArea(s, &area) && !seen.contains(area.address)) {
            seen.insert(area.address);
            p.areas.append(area);
        }
    }
    s.endArray();
    if (passedOver != nullptr) {
        *passedOver = qMax(0, count - Preferences::MaxAreas);
    }
    return p;
}

bool PreferencesStore::save(const Preferences& p) const
{
    // Written out by QSettings beside the file, then put in its place whole: a damaged file that
    // QSettings would refuse to touch is replaced all the same.
    const FileLock lock(m_path); // one window at a time uses the scratch file
    const QString scratch = m_path + QStringLiteral(".new");
    QFile::remove(scratch);
    {
        QSettings s(scratch, QSettings::IniFormat);
        s.setValue(QStringLiteral("Refresh/ChimeOnlyForNewPicture"), p.chimeOnlyForNewPicture);
        s.setValue(QStringLiteral("Replay/FramesPerAddress"), p.framesPerAddress);
        s.setValue(QStringLiteral("Replay/Speed"), p.replaySpeed);
        s.setValue(QStringLiteral("Replay/Dwell"), p.dwellMs / 1000.0);
        s.setValue(QStringLiteral("Replay/TimeOnFrames"), p.timeOnFrames);
        s.setValue(QStringLiteral("Alert/Percent"), p.alertPercent);
        s.setValue(QStringLiteral("Refresh/CrashPause"), p.crashPauseSeconds);
        if (!p.serve.isEmpty()) {
            s.setValue(QStringLiteral("Serve"), p.serve);
        }
        if (!p.awake.isEmpty()) {
            s.setValue(QStringLiteral("Awake"), p.awake);
        }
        for (const auto& [key, list] :
             {std::pair{"Notify/Ntfy", &p.notifyNtfy}, {"Notify/Webhook", &p.notifyWebhook}}) {
            if (!list->isEmpty()) { // a list of one is written as a plain value
                s.setValue(QLatin1String(key), list->size() == 1 ? QVariant(list->first()) : QVariant(*list));
            }
        }
        p.mqtt.write(s);
        s.beginWriteArray(QStringLiteral("Areas"), int(p.areas.size()));
        for (int i = 0; i < p.areas.size(); ++i) {
            s.setArrayIndex(i);
            const Preferences::Area& a = p.areas.at(i);
            s.setValue(QStringLiteral("address"), a.address);
            if (!a.rect.isEmpty()) {
                s.setValue(QStringLiteral("rect"), rectText(a.rect));
            }
            if (!a.alertBox.isEmpty()) {
                s.setValue(QStringLiteral("alertBox"), rectText(a.alertBox));
                s.setValue(QStringLiteral("alertLevel"), a.alertLevel);
            }
            if (a.follow) {
                s.setValue(QStringLiteral("follow"), true);
            }
            if (a.turnMinutes > 0) {
                s.setValue(QStringLiteral("turn"), a.turnMinutes);
            }
        }
        s.endArray();
        s.sync();
    }
    QFile written(scratch);
    const QByteArray text = written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
    written.close();
    QFile::remove(scratch);
    return !text.isEmpty() && AtomicFile::replace(m_path, text);
}
