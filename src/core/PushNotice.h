#pragma once

#include "core/Notifier.h"
#include "core/RemoteReport.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QUrl>

// A notice as it goes to a phone. An ntfy topic gets ntfy's publish: the message as the body, the
// title, priority and tags as headers; with the storm alert's picture, the picture is the body and
// the message goes in a header. A plain webhook gets a JSON object: the notice, its kind, the page
// and the state of the picture on screen.
class PushNotice
{
public:
    enum class Service
    {
        Ntfy,
        Webhook
    };
    struct Target
    {
        Service service = Service::Webhook;
        QUrl url; // as given, credentials and all
    };
    struct Request
    {
        QUrl url; // without credentials: they go in the Authorization header
        QByteArray method;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
    };

    static constexpr int MostTargets = 16; // of each service; the rest are passed over

    // The addresses given in [Notify]. Only http and https addresses with a host are kept; each other
    // one is a line in refused.
    static QList<Target> targets(const QStringList& ntfy, const QStringList& webhooks, QStringList* refused);
    static Request request(const Target& target, const Notifier::Notice& notice, const RemoteReport& report,
                           const QDateTime& nowUtc);
    // "storm-alert", "all-clear", "failing", "back" or "stalled".
    static QString kindName(Notifier::Kind kind);
};
