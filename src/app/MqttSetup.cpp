#include "app/MqttSetup.h"

#include "core/CommandLine.h"
#include "core/HomeAssistantDiscovery.h"
#include "core/MqttReport.h"
#include "core/MqttSettings.h"
#include "core/MqttTopics.h"
#include "platform/MosquittoMqttLink.h"

#include <QDir>
#include <QSysInfo>

#include <cstdio>

std::unique_ptr<MqttSetup> MqttSetup::start(const CommandLine& options, const MqttSettings& settings,
                                            RemoteSource& source, std::function<void(const QString&)> tell)
{
    MqttLink::Options o;
    o.host = options.mqttHost.isEmpty() ? settings.host : options.mqttHost;
    if (o.host.isEmpty()) {
        return {};
    }
    o.port = options.mqttPort > 0 ? options.mqttPort : settings.port;
    o.user = options.mqttUser.isEmpty() ? settings.user : options.mqttUser;
    if (!o.user.isEmpty() && !settings.passwordFile.isEmpty()) {
        QString why;
        o.password = MqttSettings::readPassword(QDir::cleanPath(settings.passwordFile), &why);
        if (o.password.isEmpty()) {
            std::fprintf(stderr, "skyvane: MQTT: [Mqtt] PasswordFile: %s; the broker is not told\n",
                         qPrintable(why));
            return {};
        }
    }
    o.tls = settings.tls;
    o.caFile = settings.caFile;
    const QString machine = QSysInfo::machineHostName();
    QString base = settings.baseTopic;
    if (!base.isEmpty() && !MqttTopics::isBase(base)) {
        std::fprintf(stderr, "skyvane: MQTT: [Mqtt] BaseTopic=%s is no topic; %s is used\n", qPrintable(base),
                     qPrintable(MqttTopics::defaultBase(machine)));
        base.clear();
    }
    const MqttTopics topics(base.isEmpty() ? MqttTopics::defaultBase(machine) : base);
    o.willTopic = topics.availability();
    o.willPayload = "offline";

    auto setup = std::make_unique<MqttSetup>();
    auto* link = new MosquittoMqttLink(setup.get());
    new MqttReport(source, *link, topics,
                   HomeAssistantDiscovery(topics, machine, QStringLiteral(SKYVANE_VERSION)), setup.get());
    QObject::connect(link, &MqttLink::failed, setup.get(), [tell = std::move(tell)](const QString& why) {
        std::fprintf(stderr, "skyvane: %s\n", qPrintable(why));
        tell(why);
    });
    if (QString why; !link->start(o, &why)) {
        std::fprintf(stderr, "skyvane: %s; the broker is not told\n", qPrintable(why));
        return {};
    }
    return setup;
}
