#include "core/MqttSettings.h"

#include "core/RegularFile.h"

#include <QFileInfo>
#include <QSettings>

namespace {

QString text(const QSettings& s, const char* key)
{
    return s.value(QStringLiteral("Mqtt/") + QLatin1String(key)).toString().trimmed().left(1000);
}

} // namespace

MqttSettings MqttSettings::read(const QSettings& s)
{
    MqttSettings m;
    m.host = text(s, "Host");
    bool ok = false;
    const int given = text(s, "Port").toInt(&ok);
    m.port = ok && given >= 1 && given <= 65535 ? given : DefaultPort;
    m.user = text(s, "User");
    m.passwordFile = text(s, "PasswordFile");
    m.tls = text(s, "Tls").toLower() == QLatin1String("true");
    m.caFile = text(s, "CaFile");
    m.baseTopic = text(s, "BaseTopic");
    return m;
}

void MqttSettings::write(QSettings& s) const
{
    if (*this == MqttSettings()) {
        return;
    }
    s.beginGroup(QStringLiteral("Mqtt"));
    const auto put = [&s](const char* key, const QString& value) {
        if (!value.isEmpty()) {
            s.setValue(QLatin1String(key), value);
        }
    };
    put("Host", host);
    if (port != DefaultPort) {
        s.setValue(QStringLiteral("Port"), port);
    }
    put("User", user);
    put("PasswordFile", passwordFile);
    if (tls) {
        s.setValue(QStringLiteral("Tls"), true);
    }
    put("CaFile", caFile);
    put("BaseTopic", baseTopic);
    s.endGroup();
}

QByteArray MqttSettings::readPassword(const QString& path, QString* error)
{
    if (!RegularFile::isRegular(path)) {
        *error = QStringLiteral("%1 is not a regular file").arg(path);
        return {};
    }
    if (QFileInfo(path).permissions() &
        (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther)) {
        *error =
            QStringLiteral("%1 can be read or written by others than its owner (chmod 600 it)").arg(path);
        return {};
    }
    const std::optional<QByteArray> bytes = RegularFile::read(path, 64 * 1024);
    if (!bytes) {
        *error = QStringLiteral("%1 could not be read").arg(path);
        return {};
    }
    QByteArray password = bytes->left(bytes->indexOf('\n') < 0 ? bytes->size() : bytes->indexOf('\n'));
    if (password.endsWith('\r')) {
        password.chop(1);
    }
    if (password.isEmpty()) {
        *error = QStringLiteral("%1 holds no password").arg(path);
    }
    return password;
}
