#pragma once

#include <QLockFile>
#include <QString>

// A lock file beside a file, held for one read-merge-write, so that two Skyvane windows ending at the
// same moment take turns instead of one writing over the other's change. It waits a short while; a
// lock left behind by a program that died is taken over, and without the lock the write goes ahead.
class FileLock
{
public:
    static constexpr int WaitMs = 3000;

    explicit FileLock(const QString& path) : m_lock(path + QStringLiteral(".lock"))
    {
        m_lock.setStaleLockTime(15000);
        m_lock.tryLock(WaitMs);
    }

private:
    QLockFile m_lock; // unlocked when it goes
};
