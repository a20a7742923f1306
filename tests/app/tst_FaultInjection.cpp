#include "TestFiles.h"
#include "TornFileVersions.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#ifndef SAVE_LOOP
#error "SAVE_LOOP must name the helper program"
#endif

// Kills a process that saves the record files over and over, at random moments, and reads what is
// left: always one whole version, never a torn file.
class TestFaultInjection : public QObject
{
    Q_OBJECT
private slots:
    void killedMidSaveLeavesAWholeFile()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("Skyvn.ini"));
        const QString list = dir.filePath(QStringLiteral("SiteList.dab"));
        const QByteArray settings[2] = {TornFileVersions::settings(0).encode(),
                                        TornFileVersions::settings(1).encode()};
        const QByteArray sites[2] = {TornFileVersions::sitesBytes(0), TornFileVersions::sitesBytes(1)};
        TestFiles::write(ini, settings[0]);
        TestFiles::write(list, sites[0]);
        QRandomGenerator random(20261206);
        int seenNew = 0;
        const int kills = 220;
        for (int k = 0; k < kills; ++k) {
            QProcess p;
            p.start(QStringLiteral(SAVE_LOOP), {dir.path()});
            QVERIFY(p.waitForStarted(10000));
            QVERIFY(p.waitForReadyRead(10000)); // saving has begun
            QTest::qSleep(int(random.bounded(1, 12)));
            ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
            QVERIFY(p.waitForFinished(10000));
            const QByteArray gotSettings = TestFiles::read(ini), gotSites = TestFiles::read(list);
            QVERIFY2(gotSettings == settings[0] || gotSettings == settings[1],
                     qPrintable(QString::number(k)));
            QVERIFY2(gotSites == sites[0] || gotSites == sites[1], qPrintable(QString::number(k)));
            seenNew += gotSettings == settings[1] ? 1 : 0;
        }
        // The kills did land in the middle of the work: both versions were found.
        QVERIFY(seenNew > 0 && seenNew < kills);
    }
};

QTEST_GUILESS_MAIN(TestFaultInjection)
#include "tst_FaultInjection.moc"
