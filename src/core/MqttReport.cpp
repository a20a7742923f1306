#include "core/MqttReport.h"

#include "core/AddressRules.h"
#include "core/MqttLink.h"
#include "core/RemoteSource.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

MqttReport::MqttReport(RemoteSource& source, MqttLink& link, const MqttTopics& topics,
                       const HomeAssistantDiscovery& discovery, QObject* parent)
    : QObject(parent), m_source(source), m_link(link), m_topics(topics), m_discovery(discovery),
      m_look(new QTimer(this))
{
    m_look->setInterval(LookMs);
    connect(m_look, &QTimer::timeout, this, [this] { look(false); });
    connect(&m_link, &MqttLink::connected, this, &MqttReport::connected);
    connect(&m_link, &MqttLink::disconnected, this, [this] {
        m_connected = false;
        m_look->stop();
    });
    connect(&m_link, &MqttLink::message, this, &MqttReport::command);
}

QByteArray MqttReport::withoutAges(const QByteArray& statusJson)
{
    QJsonObject o = QJsonDocument::fromJson(statusJson).object();
    o.remove(QStringLiteral("ageSeconds"));
    o.remove(QStringLiteral("changedAgeSeconds"));
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

void MqttReport::connected()
{
    m_connected = true;
    for (const HomeAssistantDiscovery::Document& d : m_discovery.documents()) {
        m_link.publish(d.topic, d.json, true);
    }
    m_link.subscribe(m_topics.commands());
    look(true);
    m_link.publish(m_topics.availability(), "online", true);
    m_look->start();
}

void MqttReport::look(bool all)
{
    if (!m_connected) {
        return;
    }
    const RemoteReport report = m_source.report();
    const QByteArray json = report.statusJson();
    const QByteArray state = withoutAges(json);
    if (all || state != m_state || !m_stateSent.isValid() ||
        m_stateSent.elapsed() >= StateAtLeastMs - LookMs) {
        m_link.publish(m_topics.state(), json, true);
        m_state = state;
        m_stateSent.start();
    }
    const QByteArray alert = report.alertLevel.isEmpty() ? "OFF" : "ON";
    if (all || alert != m_alert) {
        m_link.publish(m_topics.alert(), alert, true);
        m_alert = alert;
    }
    const QByteArray picture = m_source.picturePng();
    if (!picture.isEmpty() && (all || picture != m_picture)) {
        m_link.publish(m_topics.picture(), picture, true);
        m_picture = picture;
    }
}

void MqttReport::command(const QString& topic, const QByteArray& payload, bool retained)
{
    // A command kept by the broker was meant for some earlier moment: it is not done at every start.
    const QString name = retained ? QString() : m_topics.commandOf(topic);
    if (name == QLatin1String("refresh")) {
        m_source.refresh();
    } else if (name == QLatin1String("next")) {
        m_source.next();
    } else if (name == QLatin1String("open") && payload.size() <= 8 * 1024) {
        // Web addresses only (http, https), as the remote view's /open takes: no file of this
        // machine is shown for a message.
        const QString address = QString::fromUtf8(payload).trimmed();
        if (AddressRules::isWeb(QUrl(address))) {
            (void)m_source.open(address);
        }
    }
}
