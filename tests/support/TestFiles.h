#pragma once

#include "core/SiteRecord.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

// Whole-file reads and writes for the tests.
class TestFiles
{
public:
    // The file's bytes; empty when it cannot be read.
    static QByteArray read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
        QCOMPARE(f.write(bytes), bytes.size());
    }

    // A site list file's bytes: names and addresses in turn.
    static QByteArray sites(const QStringList& nameUrlPairs)
    {
        QByteArray out;
        for (qsizetype i = 0; i + 1 < nameUrlPairs.size(); i += 2) {
            out += SiteRecord{nameUrlPairs[i], nameUrlPairs[i + 1]}.encode();
        }
        return out;
    }

    // Whether save succeeds in a child process that may write at most limit bytes to any file, as
    // on a nearly full disk.
    static bool savesUnderFileLimit(rlim_t limit, const std::function<bool()>& save)
    {
        const pid_t child = ::fork();
        if (child == 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit l{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &l);
            ::_exit(save() ? 0 : 3);
        }
        int status = 0;
        return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
};
