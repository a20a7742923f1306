#include "platform/PushSender.h"

#include "core/AddressRules.h"
#include "platform/SystemProxies.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

#include <cstdio>

PushSender::PushSender(QList<PushNotice::Target> targets, std::function<qint64()> monotonicMs,
                       QList<int> backoffMs, QObject* parent)
    : QObject(parent), m_targets(std::move(targets)), m_pace(std::move(monotonicMs), std::move(backoffMs)),
      m_network(new QNetworkAccessManager(this))
{
    m_network->setProxyFactory(new SystemProxies); // the manager owns it
    m_network->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

void PushSender::notify(const Notice& notice)
{
    if (m_targets.isEmpty() || !m_pace.admit(notice.kind)) {
        return;
    }
    const RemoteReport report = m_report ? m_report() : RemoteReport();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const PushNotice::Target& target : m_targets) {
        send(PushNotice::request(target, notice, report, now),
             AddressRules::withoutCredentials(target.url.toString()), 1);
    }
}

void PushSender::send(const PushNotice::Request& request, const QString& shown, int tries)
{
    QNetworkRequest http(request.url);
    http.setTransferTimeout(TimeoutMs);
    for (const auto& [name, value] : request.headers) {
        http.setRawHeader(name, value);
    }
    QNetworkReply* reply = m_network->sendCustomRequest(http, request.method, request.body);
    connect(reply, &QNetworkReply::finished, this, [this, reply, request, shown, tries] {
        reply->deleteLater();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() == QNetworkReply::NoError && status >= 200 && status < 300) {
            m_pace.succeeded(shown);
            return;
        }
        if (const int wait = m_pace.retryAfterMs(tries); wait >= 0) {
            QTimer::singleShot(wait, this,
                               [this, request, shown, tries] { send(request, shown, tries + 1); });
            return;
        }
        if (!m_pace.failureToTell(shown)) {
            return;
        }
        // The address's path may be its secret (an ntfy topic): the words name its server only, and
        // the network's own error text, which quotes the whole address, is left out.
        const QString why = status >= 300 ? tr("the server answered %1").arg(status)
                                          : tr("no answer (error %1)").arg(int(reply->error()));
        const QString server =
            request.url.host() +
            (request.url.port() > 0 ? QStringLiteral(":%1").arg(request.url.port()) : QString());
        const QString words =
            tr("A notice could not be sent to %1 (%2 tries): %3").arg(server, QString::number(tries), why);
        std::fprintf(stderr, "skyvane: %s\n", qPrintable(words));
        emit failed(words);
    });
}
