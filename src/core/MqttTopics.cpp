#include "core/MqttTopics.h"

#include <QStringList>

QString MqttTopics::safeName(const QString& name)
{
    QString safe;
    for (const QChar c : name.left(64).toLower()) {
        const bool kept = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                          (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') ||
                          c == QLatin1Char('_');
        safe += kept ? c : QLatin1Char('_');
    }
    return safe.isEmpty() ? QStringLiteral("skyvane") : safe;
}

QString MqttTopics::defaultBase(const QString& machineName)
{
    return QStringLiteral("skyvane/") + safeName(machineName);
}

bool MqttTopics::isBase(const QString& base)
{
    if (base.isEmpty() || base.size() > 200) {
        return false;
    }
    for (const QChar c : base) {
        if (c == QLatin1Char('+') || c == QLatin1Char('#') || !c.isPrint()) {
            return false;
        }
    }
    return !base.split(QLatin1Char('/')).contains(QString());
}

QString MqttTopics::commandOf(const QString& topic) const
{
    const QString prefix = m_base + QStringLiteral("/command/");
    const QString name = topic.startsWith(prefix) ? topic.mid(prefix.size()) : QString();
    return name.contains(QLatin1Char('/')) ? QString() : name;
}
