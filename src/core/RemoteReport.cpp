#include "core/RemoteReport.h"

#include "core/ShownTime.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonValue isoUtc(const QDateTime& t)
{
    return t.isValid() ? QJsonValue(t.toUTC().toString(Qt::ISODate)) : QJsonValue();
}

} // namespace

QByteArray RemoteReport::statusJson() const
{
    QJsonObject o{
        {QStringLiteral("address"), address},
        {QStringLiteral("title"), title},
        {QStringLiteral("pictureTime"), isoUtc(pictureTime)},
        {QStringLiteral("ageSeconds"), ageSeconds >= 0 ? QJsonValue(ageSeconds) : QJsonValue()},
        {QStringLiteral("changedTime"), isoUtc(changedTime)},
        {QStringLiteral("changedAgeSeconds"),
         changedAgeSeconds >= 0 ? QJsonValue(changedAgeSeconds) : QJsonValue()},
        {QStringLiteral("intervalMinutes"), intervalMinutes},
        {QStringLiteral("nextRefresh"), isoUtc(nextRefresh)},
        {QStringLiteral("state"), state},
        {QStringLiteral("lastFailure"),
         lastFailureTime.isValid() ? QJsonValue(QJsonObject{{QStringLiteral("time"), isoUtc(lastFailureTime)},
                                                            {QStringLiteral("reason"), lastFailureReason}})
                                   : QJsonValue()},
        {QStringLiteral("alert"),
         alertLevel.isEmpty() ? QJsonValue()
                              : QJsonValue(QJsonObject{{QStringLiteral("level"), alertLevel},
                                                       {QStringLiteral("since"), isoUtc(alertSince)}})},
        {QStringLiteral("framesKept"), framesKept},
        {QStringLiteral("version"), version},
    };
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QByteArray RemoteReport::metrics() const
{
    QByteArray text;
    const auto metric = [&text](const char* name, const char* help, const char* type) {
        text += QByteArray("# HELP ") + name + ' ' + help + "\n# TYPE " + name + ' ' + type + '\n';
    };
    metric("skyvane_picture_age_seconds", "Age of the picture on screen.", "gauge");
    text +=
        "skyvane_picture_age_seconds " + (ageSeconds >= 0 ? QByteArray::number(ageSeconds) : "NaN") + '\n';
    metric("skyvane_picture_changed_age_seconds", "Time since the site's picture last changed.", "gauge");
    text += "skyvane_picture_changed_age_seconds " +
            (changedAgeSeconds >= 0 ? QByteArray::number(changedAgeSeconds) : "NaN") + '\n';
    metric("skyvane_picture_stalled", "1 while the site shows the same picture much longer than usual.",
           "gauge");
    text += QByteArray("skyvane_picture_stalled ") + (state == QLatin1String("stalled") ? "1" : "0") + '\n';
    metric("skyvane_refreshes_total", "Loads of the watched page, by result.", "counter");
    text += "skyvane_refreshes_total{result=\"ok\"} " + QByteArray::number(refreshesOk) + '\n';
    text += "skyvane_refreshes_total{result=\"failed\"} " + QByteArray::number(refreshesFailed) + '\n';
    metric("skyvane_alert_active", "1 while a storm alert is on.", "gauge");
    text += QByteArray("skyvane_alert_active ") + (alertLevel.isEmpty() ? "0" : "1") + '\n';
    metric("skyvane_frames_kept", "Frames kept of the address on screen.", "gauge");
    text += "skyvane_frames_kept " + QByteArray::number(framesKept) + '\n';
    return text;
}

QString RemoteReport::ageInWords(qint64 seconds)
{
    if (seconds < 0) {
        return QStringLiteral("no picture yet");
    }
    if (seconds < 60) {
        return QStringLiteral("just now");
    }
    const qint64 minutes = seconds / 60 % 60, hours = seconds / 3600;
    const auto unit = [](qint64 n, const char* one) {
        return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1String(one)).arg(n == 1 ? "" : "s");
    };
    if (hours == 0) {
        return unit(minutes, "minute") + QStringLiteral(" old");
    }
    return unit(hours, "hour") + (minutes > 0 ? QLatin1Char(' ') + unit(minutes, "minute") : QString()) +
           QStringLiteral(" old");
}

QByteArray RemoteReport::phonePage(const QString& token) const
{
    const QString query = token.isEmpty() ? QString() : QStringLiteral("?token=") + token;
    const auto shown = [](const QDateTime& t, const char* format) {
        return t.isValid() ? t.toLocalTime().toString(QLatin1String(format)) : QString();
    };
    // "new picture Tue 14:20, checked 15:10"; one time when the two are the same minute.
    QString time = shown(changedTime.isValid() ? changedTime : pictureTime, "ddd HH:mm");
    if (const QString checked = shown(pictureTime, "HH:mm");
        changedTime.isValid() && !checked.isEmpty() && shown(changedTime, "HH:mm") != checked) {
        time = QStringLiteral("new picture %1, checked %2").arg(time, checked);
    }
    const QString alert = alertLevel.isEmpty()
                              ? QString()
                              : QStringLiteral("<p class=alert>Storm alert (%1) since %2</p>")
                                    .arg(alertLevel.toHtmlEscaped(), ShownTime::of(alertSince));
    // The loop of the frames kept plays when there are some (the page is loaded anew every five
    // minutes, and with it the loop); else the picture, fetched anew every 30 s.
    const QString view =
        framesKept > 0
            ? QStringLiteral(
                  "<video src='/loop.mp4%1' poster='/picture.png%1' muted loop autoplay playsinline>"
                  "</video>")
            : QStringLiteral(
                  "<img id=p alt='' src='/picture.png%1'><script>setInterval(function(){"
                  "document.getElementById('p').src='/picture.png%1'+('%1'?'&':'?')+'t='+Date.now()"
                  "},30000)</script>");
    const QString html = QStringLiteral(
        "<!DOCTYPE html><html><head><meta charset=utf-8>"
        "<meta name=viewport content='width=device-width,initial-scale=1'><title>%1</title>"
        "<style>body{margin:0;font:16px sans-serif;background:#111;color:#eee}p{margin:.4em .6em}"
        "img,video{width:100%;display:block}.alert{background:#c00;color:#fff;padding:.4em;font-weight:bold}"
        ".failed{color:#f66}.stalled{color:#fb0}</style></head><body>%2%3"
        "<p><b>%1</b><br><small>%4</small></p><p>%5 &middot; %6 &middot; <span class=%7>%7</span></p>"
        "<script>setTimeout(function(){location.reload()},300000)</script></body></html>");
    return html
        .arg(title.isEmpty() ? QStringLiteral("Skyvane") : title.toHtmlEscaped(), alert, view.arg(query),
             address.toHtmlEscaped(), time,
             ageInWords(changedAgeSeconds >= 0 ? changedAgeSeconds : ageSeconds), state.toHtmlEscaped())
        .toUtf8();
}
