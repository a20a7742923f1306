#include "core/PushNotice.h"

#include "core/AddressRules.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

struct KindWords
{
    const char* name;
    const char* priority; // ntfy's
    const char* tags;
};

KindWords wordsOf(Notifier::Kind kind)
{
    switch (kind) {
    case Notifier::Kind::StormAlert:
        return {"storm-alert", "high", "rotating_light"};
    case Notifier::Kind::AllClear:
        return {"all-clear", "low", "white_check_mark"};
    case Notifier::Kind::Failing:
        return {"failing", "default", "warning"};
    case Notifier::Kind::Back:
        return {"back", "low", "white_check_mark"};
    case Notifier::Kind::Stalled:
        return {"stalled", "default", "hourglass"};
    }
    return {"failing", "default", "warning"};
}

// A header's value: printable ASCII as it is, anything else as an RFC 2047 word in UTF-8, so that
// neither a line break nor a byte the server cannot read gets into the head of the request.
QByteArray headerValue(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        if (c < 0x20 || c == 0x7f) { // a negative char is a byte above 0x7f
            return "=?UTF-8?B?" + utf8.toBase64() + "?=";
        }
    }
    return utf8;
}

QJsonValue isoUtc(const QDateTime& t)
{
    return t.isValid() ? QJsonValue(t.toUTC().toString(Qt::ISODate)) : QJsonValue();
}

void addTargets(const QStringList& given, PushNotice::Service service, const char* key,
                QList<PushNotice::Target>* into, QStringList* refused)
{
    int kept = 0;
    for (const QString& text : given) {
        const QString address = text.trimmed();
        if (address.isEmpty()) {
            continue;
        }
        const QUrl url(address, QUrl::StrictMode);
        const QString shown = AddressRules::withoutCredentials(address);
        if (!url.isValid() || !AddressRules::isWeb(url) || url.host().isEmpty()) {
            refused->append(
                QStringLiteral("%1=%2 is not an http or https address").arg(QLatin1String(key), shown));
        } else if (kept == PushNotice::MostTargets) {
            refused->append(QStringLiteral("%1=%2 is past the first %3 addresses")
                                .arg(QLatin1String(key), shown, QString::number(PushNotice::MostTargets)));
        } else {
            into->append({service, url});
            ++kept;
        }
    }
}

} // namespace

QString PushNotice::kindName(Notifier::Kind kind)
{
    return QString::fromLatin1(wordsOf(kind).name);
}

QList<PushNotice::Target> PushNotice::targets(const QStringList& ntfy, const QStringList& webhooks,
                                              QStringList* refused)
{
    QList<Target> out;
    addTargets(ntfy, Service::Ntfy, "Ntfy", &out, refused);
    addTargets(webhooks, Service::Webhook, "Webhook", &out, refused);
    return out;
}

PushNotice::Request PushNotice::request(const Target& target, const Notifier::Notice& notice,
                                        const RemoteReport& report, const QDateTime& nowUtc)
{
    Request r;
    r.url = target.url.adjusted(QUrl::RemoveUserInfo);
    r.method = "POST";
    if (!target.url.userInfo().isEmpty()) {
        const QByteArray login = target.url.userName(QUrl::FullyDecoded).toUtf8() + ':' +
                                 target.url.password(QUrl::FullyDecoded).toUtf8();
        r.headers.emplaceBack("Authorization", "Basic " + login.toBase64());
    }
    const KindWords words = wordsOf(notice.kind);
    if (target.service == Service::Ntfy) {
        r.headers.emplaceBack("Title", headerValue(notice.summary));
        r.headers.emplaceBack("Priority", words.priority);
        r.headers.emplaceBack("Tags", words.tags);
        if (notice.picturePng.isEmpty()) {
            r.headers.emplaceBack("Content-Type", "text/plain; charset=utf-8");
            r.body = notice.body.toUtf8();
        } else { // the picture as an attachment; ntfy reads "\n" in the header as a line break
            r.method = "PUT";
            QString message = notice.body;
            message.remove(QLatin1Char('\r')).replace(QLatin1Char('\n'), QLatin1String("\\n"));
            r.headers.emplaceBack("Message", headerValue(message));
            r.headers.emplaceBack("Filename", "alert.png");
            r.headers.emplaceBack("Content-Type", "image/png");
            r.body = notice.picturePng;
        }
        return r;
    }
    const QString address = AddressRules::withoutCredentials(notice.address);
    const bool shown = !address.isEmpty() && AddressRules::samePage(report.address, address);
    const QJsonObject o{
        {QStringLiteral("kind"), QString::fromLatin1(words.name)},
        {QStringLiteral("summary"), notice.summary},
        {QStringLiteral("body"), notice.body},
        {QStringLiteral("address"), address},
        {QStringLiteral("time"), isoUtc(nowUtc)},
        // Of the picture on screen: told only when it is of the notice's page.
        {QStringLiteral("pictureTime"), shown ? isoUtc(report.pictureTime) : QJsonValue()},
        {QStringLiteral("changedTime"), shown ? isoUtc(report.changedTime) : QJsonValue()},
        {QStringLiteral("state"), shown ? QJsonValue(report.state) : QJsonValue()},
    };
    r.headers.emplaceBack("Content-Type", "application/json");
    r.body = QJsonDocument(o).toJson(QJsonDocument::Compact);
    return r;
}
