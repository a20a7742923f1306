#include "core/HomeAssistantDiscovery.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

HomeAssistantDiscovery::HomeAssistantDiscovery(MqttTopics topics, QString machineName, QString version)
    : m_topics(std::move(topics)), m_machineName(std::move(machineName)), m_version(std::move(version)),
      m_nodeId(
          QStringLiteral("skyvane_") +
          QString::fromLatin1(
              QCryptographicHash::hash(m_topics.base().toUtf8(), QCryptographicHash::Sha1).toHex().left(12)))
{
}

QList<HomeAssistantDiscovery::Document> HomeAssistantDiscovery::documents() const
{
    const QJsonObject device{
        {QStringLiteral("identifiers"), QJsonArray{m_nodeId}},
        {QStringLiteral("name"), QStringLiteral("Skyvane on %1").arg(m_machineName)},
        {QStringLiteral("model"), QStringLiteral("Skyvane")},
        {QStringLiteral("manufacturer"), QStringLiteral("Skyvane developers")},
        {QStringLiteral("sw_version"), m_version},
    };
    // The age of the site's picture: how long since it last changed, or since it was last loaded
    // while no change has been seen; none before the first picture.
    const QString age = QStringLiteral(
        "{% if value_json.changedAgeSeconds is number %}{{ value_json.changedAgeSeconds }}"
        "{% elif value_json.ageSeconds is number %}{{ value_json.ageSeconds }}{% else %}None{% endif %}");
    struct Entity
    {
        const char* component;
        const char* object;
        const char* name;
        QJsonObject fields;
    };
    const Entity entities[] = {
        {"sensor",
         "picture_age",
         "Picture age",
         {{QStringLiteral("state_topic"), m_topics.state()},
          {QStringLiteral("value_template"), age},
          {QStringLiteral("unit_of_measurement"), QStringLiteral("s")},
          {QStringLiteral("device_class"), QStringLiteral("duration")},
          {QStringLiteral("state_class"), QStringLiteral("measurement")}}},
        {"sensor",
         "state",
         "State",
         {{QStringLiteral("state_topic"), m_topics.state()},
          {QStringLiteral("value_template"), QStringLiteral("{{ value_json.state }}")},
          {QStringLiteral("json_attributes_topic"), m_topics.state()},
          {QStringLiteral("icon"), QStringLiteral("mdi:radar")}}},
        {"binary_sensor",
         "storm_alert",
         "Storm alert",
         {{QStringLiteral("state_topic"), m_topics.alert()},
          {QStringLiteral("payload_on"), QStringLiteral("ON")},
          {QStringLiteral("payload_off"), QStringLiteral("OFF")},
          {QStringLiteral("device_class"), QStringLiteral("safety")}}},
        {"camera", "picture", "Picture", {{QStringLiteral("topic"), m_topics.picture()}}},
        {"button",
         "refresh",
         "Refresh",
         {{QStringLiteral("command_topic"), m_topics.command(QStringLiteral("refresh"))},
          {QStringLiteral("payload_press"), QStringLiteral("PRESS")}}},
        {"button",
         "next",
         "Next site",
         {{QStringLiteral("command_topic"), m_topics.command(QStringLiteral("next"))},
          {QStringLiteral("payload_press"), QStringLiteral("PRESS")}}},
    };
    QList<Document> out;
    for (const Entity& e : entities) {
        QJsonObject o = e.fields;
        const QString object = QLatin1String(e.object);
        o.insert(QStringLiteral("name"), QLatin1String(e.name));
        o.insert(QStringLiteral("unique_id"), m_nodeId + QLatin1Char('_') + object);
        o.insert(QStringLiteral("object_id"), m_nodeId + QLatin1Char('_') + object);
        o.insert(QStringLiteral("availability_topic"), m_topics.availability());
        o.insert(QStringLiteral("payload_available"), QStringLiteral("online"));
        o.insert(QStringLiteral("payload_not_available"), QStringLiteral("offline"));
        o.insert(QStringLiteral("device"), device);
        out.append({QStringLiteral("homeassistant/%1/%2/%3/config")
                        .arg(QLatin1String(e.component), m_nodeId, object),
                    QJsonDocument(o).toJson(QJsonDocument::Compact)});
    }
    return out;
}
