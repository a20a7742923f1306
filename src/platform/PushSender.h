#pragma once

#include "core/Notifier.h"
#include "core/PushNotice.h"
#include "core/PushPace.h"
#include "core/RemoteReport.h"

#include <QObject>

#include <functional>

class QNetworkAccessManager;

// Sends the notices to the addresses of [Notify] (ntfy topics and plain webhooks) over HTTP, without
// ever waiting for an answer on the window's thread: each request has 15 seconds, a failed one is
// tried again as PushPace says, and one given up is said once on standard error and by failed().
class PushSender : public QObject, public Notifier
{
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 15 * 1000;

    PushSender(QList<PushNotice::Target> targets, std::function<qint64()> monotonicMs,
               QList<int> backoffMs = {5000, 20000}, QObject* parent = nullptr);

    bool hasTargets() const { return !m_targets.isEmpty(); }
    // What a webhook is told of the picture on screen; none: nothing of it.
    void setReport(std::function<RemoteReport()> report) { m_report = std::move(report); }

    void notify(const Notice& notice) override;

signals:
    // A notice could not be sent to an address after every try: words say where and why. Said once
    // for each address until a send to it goes through.
    void failed(const QString& words);

private:
    void send(const PushNotice::Request& request, const QString& shown, int tries);

    QList<PushNotice::Target> m_targets;
    PushPace m_pace;
    QNetworkAccessManager* m_network;
    std::function<RemoteReport()> m_report;
};
