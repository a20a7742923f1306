#pragma once

#include <QObject>

#include <functional>
#include <memory>

class CommandLine;
class RemoteSource;
struct MqttSettings;

// The link to Home Assistant over MQTT, when --mqtt or [Mqtt] Host asks for one: the broker and login
// from the command line and the preferences (the command line's host winning), and the report read
// from the window. A refused login or a failed TLS handshake is said once on standard error and to
// tell (the status bar), and the window goes on without it.
class MqttSetup : public QObject
{
    Q_OBJECT
public:
    // None when no broker is asked for, or when what is asked cannot be used (said on standard error).
    static std::unique_ptr<MqttSetup> start(const CommandLine& options, const MqttSettings& settings,
                                            RemoteSource& source, std::function<void(const QString&)> tell);
};
