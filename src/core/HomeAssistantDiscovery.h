#pragma once

#include "core/MqttTopics.h"

#include <QByteArray>
#include <QList>
#include <QString>

// What Home Assistant is told of the window, retained under homeassistant/: one device with a sensor
// for the picture's age, one for the state, a binary sensor for the storm alert, a camera with the
// picture and the buttons Refresh and Next. Its ids come from the base topic, so that they stay the
// same from one start to the next and differ between two windows told apart by their base.
class HomeAssistantDiscovery
{
public:
    struct Document
    {
        QString topic;   // homeassistant/<component>/<node id>/<object id>/config
        QByteArray json; // compact
    };

    HomeAssistantDiscovery(MqttTopics topics, QString machineName, QString version);

    // "skyvane_" and the first 12 hex digits of the SHA-1 of the base topic.
    QString nodeId() const { return m_nodeId; }
    QList<Document> documents() const;

private:
    MqttTopics m_topics;
    QString m_machineName;
    QString m_version;
    QString m_nodeId;
};
