#pragma once

#include "core/MqttLink.h"

#include <atomic>

struct mosquitto;
struct mosquitto_message;
class QThread;
class QTimer;

// The MQTT link through libmosquitto. The connection is kept, and made again with pauses growing to a
// minute, on the library's own thread; what happens there is passed to the link's thread, which never
// waits on the broker.
class MosquittoMqttLink : public MqttLink
{
    Q_OBJECT
public:
    explicit MosquittoMqttLink(QObject* parent = nullptr);
    // Says "offline" on the will's topic, disconnects and ends the library's thread.
    ~MosquittoMqttLink() override;

    bool start(const Options& options, QString* why) override;
    void publish(const QString& topic, const QByteArray& payload, bool retain) override;
    void subscribe(const QString& filter) override;

private:
    // On the library's thread.
    static void onConnect(mosquitto* client, void* self, int rc);
    static void onDisconnect(mosquitto* client, void* self, int rc);
    static void onMessage(mosquitto* client, void* self, const mosquitto_message* message);
    static void onLog(mosquitto* client, void* self, int level, const char* text);

    void connectedWith(int rc);
    void disconnectedWith(int rc);
    void tlsFailed();
    void fail(const QString& why);
    void connectAway(bool again);
    void restart();
    void waitForStarter();

    mosquitto* m_client = nullptr;
    Options m_options;
    std::atomic_bool m_looping{false}; // set by the starter
    bool m_connected = false;
    bool m_failureSaid = false;   // since the last connection
    QTimer* m_restart;            // the library's thread ended after an error it does not retry
    QThread* m_starter = nullptr; // connects and starts the library's thread
};
