#pragma once

#include <QByteArray>
#include <QString>

class QSettings;

// The [Mqtt] section of Skyvane.conf: the broker the window is told to, for Home Assistant.
struct MqttSettings
{
    static constexpr int DefaultPort = 1883;

    QString host; // empty: no broker
    int port = DefaultPort;
    QString user;         // empty: no login
    QString passwordFile; // the login's password, on its first line
    bool tls = false;
    QString caFile;    // the certificates the broker's is checked against; empty: the system's
    QString baseTopic; // empty: skyvane/<machine name>

    bool operator==(const MqttSettings&) const = default;

    // The keys of [Mqtt] in settings; one out of bounds keeps its default.
    static MqttSettings read(const QSettings& settings);
    // Written only when anything is set, so that a file without [Mqtt] gets none.
    void write(QSettings& settings) const;

    // The password on the first line of the file at path. Empty, with why in *error, when the file is
    // not a regular file, cannot be read or can be read by others than its owner.
    static QByteArray readPassword(const QString& path, QString* error);
};
