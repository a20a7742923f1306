#include "core/HomeAssistantDiscovery.h"
#include "core/MqttLink.h"
#include "core/MqttReport.h"
#include "core/RemoteSource.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTest>

namespace {

// A broker that keeps the last payload of each topic, and a window that counts what it is asked.
class KeepingLink : public MqttLink
{
public:
    bool start(const Options&, QString*) override { return true; }
    void publish(const QString& topic, const QByteArray& payload, bool retain) override
    {
        kept[topic] = payload;
        retained[topic] = retain;
    }
    void subscribe(const QString& filter) override { filters.append(filter); }
    QHash<QString, QByteArray> kept;
    QHash<QString, bool> retained;
    QStringList filters;
};

class CountingSource : public RemoteSource
{
public:
    RemoteReport report() const override { return shown; }
    QByteArray picturePng() const override { return png; }
    void loop(const QString&, std::function<void(const QByteArray&)>) override {}
    void refresh() override { asked.append(QStringLiteral("refresh")); }
    void next() override { asked.append(QStringLiteral("next")); }
    QString open(const QString& address) override
    {
        asked.append(address);
        return {};
    }
    RemoteReport shown;
    QByteArray png;
    QStringList asked;
};

} // namespace

// The topics and the documents Home Assistant finds the window by, and the report on them.
class TestHomeAssistantDiscovery : public QObject
{
    Q_OBJECT
private slots:
    void topics()
    {
        for (const auto& [machine, base] : std::initializer_list<std::pair<const char*, const char*>>{
                 {"radar-pc", "skyvane/radar-pc"},
                 {"Wall Display.local", "skyvane/wall_display_local"},
                 {"a+b#c/d", "skyvane/a_b_c_d"},
                 {"", "skyvane/skyvane"},
             }) {
            QCOMPARE(MqttTopics::defaultBase(QString::fromUtf8(machine)), QLatin1String(base));
            QVERIFY(MqttTopics::isBase(QLatin1String(base)));
        }
        for (const char* wrong : {"", "a/+/b", "a/#", "a//b", "/a", "a/", "a\nb"}) {
            QVERIFY2(!MqttTopics::isBase(QString::fromLatin1(wrong)), wrong);
        }
        const MqttTopics t(QStringLiteral("home/radar"));
        for (const auto& [topic, command] : std::initializer_list<std::pair<const char*, const char*>>{
                 {"home/radar/command/refresh", "refresh"},
                 {"home/radar/command/open", "open"},
                 {"home/radar/command/a/b", ""},
                 {"home/radar/state", ""},
                 {"home/radarx/command/next", ""},
             }) {
            QCOMPARE(t.commandOf(QLatin1String(topic)), QLatin1String(command));
        }
    }

    // Valid JSON each, under homeassistant/, ids unique and the same at every start, on one device.
    void documents()
    {
        QSet<QString> ids;
        for (const char* base : {"skyvane/radar-pc", "skyvane/kitchen"}) {
            const MqttTopics t{QLatin1String(base)};
            const HomeAssistantDiscovery d(t, QStringLiteral("radar-pc"), QStringLiteral("1.2.3"));
            const QList<HomeAssistantDiscovery::Document> docs = d.documents();
            QCOMPARE(HomeAssistantDiscovery(t, QStringLiteral("radar-pc"), QStringLiteral("1.2.3"))
                         .documents()
                         .constFirst()
                         .json,
                     docs.constFirst().json);
            QStringList components;
            for (const HomeAssistantDiscovery::Document& doc : docs) {
                QJsonParseError error;
                const QJsonObject o = QJsonDocument::fromJson(doc.json, &error).object();
                QCOMPARE(error.error, QJsonParseError::NoError);
                const QStringList parts = doc.topic.split(QLatin1Char('/'));
                QCOMPARE(parts.size(), 5);
                QCOMPARE(parts[0] + parts[2] + parts[4],
                         QStringLiteral("homeassistant") + d.nodeId() + "config");
                components.append(parts[1]);
                const QString id = o.value(QLatin1String("unique_id")).toString();
                QVERIFY2(id.startsWith(d.nodeId()) && !ids.contains(id), qPrintable(id));
                ids.insert(id);
                QCOMPARE(o.value(QLatin1String("availability_topic")).toString(), t.availability());
                QCOMPARE(o.value(QLatin1String("payload_available")).toString(), QStringLiteral("online"));
                QCOMPARE(o.value(QLatin1String("payload_not_available")).toString(),
                         QStringLiteral("offline"));
                const QJsonObject device = o.value(QLatin1String("device")).toObject();
                QCOMPARE(device.value(QLatin1String("name")).toString(),
                         QStringLiteral("Skyvane on radar-pc"));
                QCOMPARE(device.value(QLatin1String("sw_version")).toString(), QStringLiteral("1.2.3"));
                QCOMPARE(device.value(QLatin1String("identifiers")).toArray(), QJsonArray{d.nodeId()});
                const QString topic =
                    o.value(QLatin1String(parts[1] == QLatin1String("camera")   ? "topic"
                                          : parts[1] == QLatin1String("button") ? "command_topic"
                                                                                : "state_topic"))
                        .toString();
                const QString expected = parts[1] == QLatin1String("camera")          ? t.picture()
                                         : parts[1] == QLatin1String("binary_sensor") ? t.alert()
                                         : parts[1] == QLatin1String("sensor")        ? t.state()
                                                                                      : t.command(parts[3]);
                QCOMPARE(topic, expected);
            }
            components.sort();
            QCOMPARE(components,
                     QString::fromLatin1("binary_sensor button button camera sensor sensor").split(' '));
        }
    }

    void reportAndCommands()
    {
        CountingSource source;
        source.shown.address = QStringLiteral("https://radar.example/");
        source.shown.ageSeconds = 5;
        source.png = "png";
        KeepingLink link;
        const MqttTopics t(QStringLiteral("s/r"));
        const MqttReport report(source, link, t, HomeAssistantDiscovery(t, QStringLiteral("r"), QString()));
        emit link.connected();
        QCOMPARE(link.kept.value(t.availability()), QByteArray("online"));
        QCOMPARE(link.kept.value(t.alert()), QByteArray("OFF"));
        QCOMPARE(link.kept.value(t.picture()), QByteArray("png"));
        QCOMPARE(link.kept.value(t.state()), source.shown.statusJson());
        QCOMPARE(link.retained.values(), QList<bool>(link.retained.size(), true));
        QCOMPARE(link.filters, QStringList{t.commands()});
        RemoteReport older = source.shown; // the same but for its ages
        older.ageSeconds = 65;
        older.changedAgeSeconds = 7;
        QCOMPARE(MqttReport::withoutAges(older.statusJson()),
                 MqttReport::withoutAges(source.shown.statusJson()));
        older.state = QStringLiteral("stalled");
        QVERIFY(MqttReport::withoutAges(older.statusJson()) !=
                MqttReport::withoutAges(source.shown.statusJson()));
        for (const auto& [command, payload, retained] :
             std::initializer_list<std::tuple<const char*, const char*, bool>>{
                 {"refresh", "", false},
                 {"next", "PRESS", false},
                 {"refresh", "", true}, // kept from before: not done
                 {"open", "https://other.example/a", false},
                 {"open", "file:///etc/passwd", false},
                 {"open", "javascript:alert(1)", false},
                 {"close", "", false},
             }) {
            emit link.message(t.command(QLatin1String(command)), payload, retained);
        }
        QCOMPARE(source.asked, (QStringList{QStringLiteral("refresh"), QStringLiteral("next"),
                                            QStringLiteral("https://other.example/a")}));
    }
};

QTEST_GUILESS_MAIN(TestHomeAssistantDiscovery)
#include "tst_HomeAssistantDiscovery.moc"
