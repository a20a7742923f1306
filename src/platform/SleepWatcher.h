#pragma once

#include <QObject>

// Tells when the machine has come back from sleep or hibernation, from logind's PrepareForSleep
// signal on the system bus. Without a system bus or logind it never says anything.
class SleepWatcher : public QObject
{
    Q_OBJECT

public:
    explicit SleepWatcher(QObject* parent = nullptr);

signals:
    void woke();

private slots:
    void prepareForSleep(bool sleeping);
};
