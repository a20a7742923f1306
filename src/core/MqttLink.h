#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// A link to an MQTT broker that connects again by itself when the connection is lost. Its signals
// come on the thread the link was made on; nothing it does waits on the broker.
class MqttLink : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        QString host;
        int port = 1883;
        QString user; // empty: no login
        QByteArray password;
        bool tls = false;
        QString caFile; // empty: the system's certificates
        QString willTopic;
        QByteArray willPayload; // retained on willTopic by the broker when the link is lost
    };

    using QObject::QObject;

    // Connects, and keeps connecting, with ever longer pauses up to a minute; false with why when the
    // options cannot be used at all.
    virtual bool start(const Options& options, QString* why) = 0;
    // Nothing is sent while not connected: a user of the link sends what it keeps at connected.
    virtual void publish(const QString& topic, const QByteArray& payload, bool retain) = 0;
    virtual void subscribe(const QString& filter) = 0;

signals:
    void connected();
    void disconnected();
    // retained: kept by the broker from before, not sent just now.
    void message(const QString& topic, const QByteArray& payload, bool retained);
    // A refused login or a failed TLS handshake: said once, until the link has connected again.
    void failed(const QString& why);
};
