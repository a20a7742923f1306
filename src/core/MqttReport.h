#pragma once

#include "core/HomeAssistantDiscovery.h"
#include "core/MqttTopics.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>

class MqttLink;
class QTimer;
class RemoteSource;

// The window told over MQTT, as the remote view tells it over HTTP: the state document retained at
// every change and at least once a minute, the picture at every new one, the storm alert ON or OFF,
// and Home Assistant's discovery documents at every connection; the commands refresh, next and open
// (a web address) worked on the source.
class MqttReport : public QObject
{
    Q_OBJECT
public:
    static constexpr int LookMs = 1000;          // how often the source is looked at for a change
    static constexpr int StateAtLeastMs = 60000; // the state is sent again when nothing changed

    MqttReport(RemoteSource& source, MqttLink& link, const MqttTopics& topics,
               const HomeAssistantDiscovery& discovery, QObject* parent = nullptr);

    // The state document as compared for a change: without the ages, which change every second.
    static QByteArray withoutAges(const QByteArray& statusJson);

private:
    void connected();
    void look(bool all);
    void command(const QString& topic, const QByteArray& payload, bool retained);

    RemoteSource& m_source;
    MqttLink& m_link;
    MqttTopics m_topics;
    HomeAssistantDiscovery m_discovery;
    QTimer* m_look;
    bool m_connected = false;
    QByteArray m_state; // as sent, without the ages
    QElapsedTimer m_stateSent;
    QByteArray m_picture;
    QByteArray m_alert;
};
