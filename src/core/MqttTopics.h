#pragma once

#include <QString>

// The topics the window is told on and worked through, all under one base ("skyvane/<machine name>").
class MqttTopics
{
public:
    explicit MqttTopics(QString base) : m_base(std::move(base)) {}

    // The base for a machine: skyvane/ and its name made safe for a topic.
    static QString defaultBase(const QString& machineName);
    // Letters, digits, '-' and '_' kept (lower case), anything else '_'; "skyvane" for none.
    static QString safeName(const QString& name);
    // A base as it may be given: levels of printable text without wildcards, no empty level, and no
    // more than 200 characters.
    static bool isBase(const QString& base);

    const QString& base() const { return m_base; }
    QString availability() const { return m_base + QStringLiteral("/availability"); }
    QString state() const { return m_base + QStringLiteral("/state"); }
    QString picture() const { return m_base + QStringLiteral("/picture"); }
    QString alert() const { return m_base + QStringLiteral("/alert"); }
    // The topic of a command ("refresh", "next", "open").
    QString command(const QString& name) const { return m_base + QStringLiteral("/command/") + name; }
    QString commands() const { return m_base + QStringLiteral("/command/+"); }
    // The command a message on topic is, or empty when topic is not one.
    QString commandOf(const QString& topic) const;

private:
    QString m_base;
};
