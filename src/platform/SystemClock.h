#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <ctime>
#endif

// The clocks of the program: a monotonic one for every duration (it never jumps when the clock is set,
// and on Linux it goes on while the machine sleeps), and the wall clock for the times shown.
class SystemClock
{
public:
    static qint64 monotonicMs()
    {
#ifdef Q_OS_LINUX
        timespec ts{};
        if (::clock_gettime(CLOCK_BOOTTIME, &ts) == 0) {
            return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
        }
#endif
        static QElapsedTimer started = [] {
            QElapsedTimer t;
            t.start();
            return t;
        }();
        return started.elapsed() + 1; // never 0, which stands for "not yet"
    }

    static qint64 wallMs()
    {
        return QDateTime::currentMSecsSinceEpoch();
    }
};
