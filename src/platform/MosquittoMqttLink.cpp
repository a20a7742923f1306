#include "platform/MosquittoMqttLink.h"

#include <QFile>
#include <QThread>
#include <QTimer>

#include <mosquitto.h>

#include <cstring>

namespace {

constexpr int KeepAliveSeconds = 30;
constexpr int PauseMostSeconds = 60;
constexpr const char* SystemCertificates = "/etc/ssl/certs";

// The errors after which the library's thread ends rather than connecting again.
bool endsTheThread(int rc)
{
    switch (rc) {
    case MOSQ_ERR_NOMEM:
    case MOSQ_ERR_PROTOCOL:
    case MOSQ_ERR_INVAL:
    case MOSQ_ERR_NOT_FOUND:
    case MOSQ_ERR_TLS:
    case MOSQ_ERR_PAYLOAD_SIZE:
    case MOSQ_ERR_NOT_SUPPORTED:
    case MOSQ_ERR_AUTH:
    case MOSQ_ERR_ACL_DENIED:
    case MOSQ_ERR_UNKNOWN:
    case MOSQ_ERR_EAI:
    case MOSQ_ERR_PROXY:
        return true;
    default:
        return false;
    }
}

QString tlsFailure(const MqttLink::Options& o)
{
    return QStringLiteral("MQTT: the TLS handshake with %1:%2 failed (its certificate checked against %3)")
        .arg(o.host)
        .arg(o.port)
        .arg(o.caFile.isEmpty() ? QStringLiteral("the system's authorities") : o.caFile);
}

} // namespace

MosquittoMqttLink::MosquittoMqttLink(QObject* parent) : MqttLink(parent), m_restart(new QTimer(this))
{
    mosquitto_lib_init();
    m_restart->setSingleShot(true);
    m_restart->setInterval(PauseMostSeconds * 1000);
    connect(m_restart, &QTimer::timeout, this, &MosquittoMqttLink::restart);
}

MosquittoMqttLink::~MosquittoMqttLink()
{
    if (m_client != nullptr) {
        waitForStarter();
        if (m_connected && !m_options.willTopic.isEmpty()) {
            publish(m_options.willTopic, m_options.willPayload, true);
        }
        mosquitto_disconnect(m_client);
        if (m_looping) {
            // Connected, the thread ends once the disconnection is sent; else it may be waiting on a
            // connection to a broker that does not answer, and is ended there.
            mosquitto_loop_stop(m_client, !m_connected);
        }
        mosquitto_destroy(m_client);
    }
    mosquitto_lib_cleanup();
}

bool MosquittoMqttLink::start(const Options& options, QString* why)
{
    m_options = options;
    m_client = mosquitto_new(nullptr, true, this);
    if (m_client == nullptr) {
        *why = QStringLiteral("MQTT: the client could not be made");
        return false;
    }
    mosquitto_int_option(m_client, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_connect_callback_set(m_client, &MosquittoMqttLink::onConnect);
    mosquitto_disconnect_callback_set(m_client, &MosquittoMqttLink::onDisconnect);
    mosquitto_message_callback_set(m_client, &MosquittoMqttLink::onMessage);
    mosquitto_log_callback_set(m_client, &MosquittoMqttLink::onLog);
    int rc = MOSQ_ERR_SUCCESS;
    if (!options.user.isEmpty()) {
        rc = mosquitto_username_pw_set(m_client, options.user.toUtf8().constData(),
                                       options.password.isEmpty() ? nullptr : options.password.constData());
    }
    if (rc == MOSQ_ERR_SUCCESS && !options.willTopic.isEmpty()) {
        rc = mosquitto_will_set(m_client, options.willTopic.toUtf8().constData(),
                                int(options.willPayload.size()), options.willPayload.constData(), 1, true);
    }
    if (rc == MOSQ_ERR_SUCCESS && options.tls) {
        const QByteArray ca = QFile::encodeName(options.caFile);
        rc = mosquitto_tls_set(m_client, ca.isEmpty() ? nullptr : ca.constData(),
                               ca.isEmpty() ? SystemCertificates : nullptr, nullptr, nullptr, nullptr);
    }
    if (rc == MOSQ_ERR_SUCCESS) {
        rc = mosquitto_reconnect_delay_set(m_client, 1, PauseMostSeconds, true);
    }
    if (rc != MOSQ_ERR_SUCCESS) {
        *why = QStringLiteral("MQTT: %1").arg(QString::fromUtf8(mosquitto_strerror(rc)));
        return false;
    }
    if (options.host.isEmpty() || options.port < 1 || options.port > 65535) {
        *why = QStringLiteral("MQTT: %1:%2 is not a broker's address").arg(options.host).arg(options.port);
        return false;
    }
    connectAway(false);
    return true;
}

void MosquittoMqttLink::connectAway(bool again)
{
    // The library looks the host's name up as it connects, which may take long: that, and the start
    // of its thread, are done on a thread of their own. A broker not there yet is no mistake: the
    // library's thread keeps trying.
    m_starter = QThread::create([this, again] {
        const int rc = again ? mosquitto_reconnect_async(m_client)
                             : mosquitto_connect_async(m_client, m_options.host.toUtf8().constData(),
                                                       m_options.port, KeepAliveSeconds);
        const bool looping = mosquitto_loop_start(m_client) == MOSQ_ERR_SUCCESS;
        m_looping = looping;
        QMetaObject::invokeMethod(
            this,
            [this, rc, looping] {
                if (rc == MOSQ_ERR_TLS) {
                    tlsFailed();
                } else if (!looping && !m_restart->isActive()) {
                    m_restart->start();
                }
            },
            Qt::QueuedConnection);
    });
    m_starter->setParent(this);
    m_starter->start();
}

void MosquittoMqttLink::publish(const QString& topic, const QByteArray& payload, bool retain)
{
    if (m_connected) {
        mosquitto_publish(m_client, nullptr, topic.toUtf8().constData(), int(payload.size()),
                          payload.constData(), 1, retain);
    }
}

void MosquittoMqttLink::subscribe(const QString& filter)
{
    if (m_connected) {
        mosquitto_subscribe(m_client, nullptr, filter.toUtf8().constData(), 1);
    }
}

void MosquittoMqttLink::onConnect(mosquitto*, void* self, int rc)
{
    auto* link = static_cast<MosquittoMqttLink*>(self);
    QMetaObject::invokeMethod(
        link, [link, rc] { link->connectedWith(rc); }, Qt::QueuedConnection);
}

void MosquittoMqttLink::onDisconnect(mosquitto*, void* self, int rc)
{
    auto* link = static_cast<MosquittoMqttLink*>(self);
    QMetaObject::invokeMethod(
        link, [link, rc] { link->disconnectedWith(rc); }, Qt::QueuedConnection);
}

void MosquittoMqttLink::onMessage(mosquitto*, void* self, const mosquitto_message* message)
{
    auto* link = static_cast<MosquittoMqttLink*>(self);
    const QString topic = QString::fromUtf8(message->topic);
    const QByteArray payload(static_cast<const char*>(message->payload), qMax(0, message->payloadlen));
    const bool retained = message->retain;
    QMetaObject::invokeMethod(
        link, [link, topic, payload, retained] { emit link->message(topic, payload, retained); },
        Qt::QueuedConnection);
}

void MosquittoMqttLink::onLog(mosquitto*, void* self, int level, const char* text)
{
    // A failed TLS handshake ends the library's thread without a disconnection told: its log is
    // where the failure shows.
    if (level == MOSQ_LOG_ERR &&
        (std::strncmp(text, "OpenSSL Error", 13) == 0 || std::strstr(text, "TLS") != nullptr)) {
        auto* link = static_cast<MosquittoMqttLink*>(self);
        QMetaObject::invokeMethod(
            link, [link] { link->tlsFailed(); }, Qt::QueuedConnection);
    }
}

void MosquittoMqttLink::tlsFailed()
{
    fail(tlsFailure(m_options));
    if (!m_restart->isActive()) {
        m_restart->start();
    }
}

void MosquittoMqttLink::connectedWith(int rc)
{
    if (rc == 0) {
        m_connected = true;
        m_failureSaid = false;
        emit connected();
    } else if (rc == 4 || rc == 5) {
        fail(QStringLiteral("MQTT: %1:%2 refused the login%3 (%4)")
                 .arg(m_options.host)
                 .arg(m_options.port)
                 .arg(m_options.user.isEmpty() ? QString() : QStringLiteral(" of ") + m_options.user)
                 .arg(QString::fromUtf8(mosquitto_connack_string(rc))));
    }
}

void MosquittoMqttLink::disconnectedWith(int rc)
{
    if (m_connected) {
        m_connected = false;
        emit disconnected();
    }
    if (rc == MOSQ_ERR_TLS) {
        fail(tlsFailure(m_options));
    }
    if (endsTheThread(rc) && !m_restart->isActive()) {
        m_restart->start();
    }
}

void MosquittoMqttLink::fail(const QString& why)
{
    if (!m_failureSaid) {
        m_failureSaid = true;
        emit failed(why);
    }
}

void MosquittoMqttLink::restart()
{
    // The thread has ended on its own; it is joined and started again, and connects as at the start.
    waitForStarter();
    mosquitto_loop_stop(m_client, true);
    m_looping = false;
    connectAway(true);
}

void MosquittoMqttLink::waitForStarter()
{
    if (m_starter != nullptr) {
        m_starter->wait();
        delete m_starter;
        m_starter = nullptr;
    }
}
