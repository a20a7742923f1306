#pragma once

#include "core/PageNavigator.h"

#include <QStringList>

// A browser that writes down what it is asked to do and shows a given address.
class RecordingNavigator : public PageNavigator
{
public:
    explicit RecordingNavigator(QStringList& log) : m_log(log) {}
    void navigate(const QString& address) override { m_log << QStringLiteral("Navigate:") + address; }
    void refresh() override { m_log << QStringLiteral("Refresh"); }
    void refreshAtLevel(qint16 level) override { m_log << QStringLiteral("Refresh2:%1").arg(level); }
    QString currentAddress() const override { return location; }

    QString location;

private:
    QStringList& m_log;
};
