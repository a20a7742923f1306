#include "TestFiles.h"
#include "core/SettingsFile.h"
#include "core/SiteListFile.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>

namespace {

// Two versions of each record file: any file found after a kill must be one of them.
SettingsRecord settingsVersion(int version)
{
    SettingsRecord r;
    r.MainLeft = version == 0 ? 0 : 1500;
    r.MainWidth = version == 0 ? 7095 : 12000;
    r.MainHeight = 5445;
    r.StartPage = version == 0 ? QStringLiteral("http://old.example/") : QString(300, QLatin1Char('n'));
    r.FontName = QStringLiteral("DejaVu Sans");
    r.FontSize = version == 0 ? 9 : 11;
    return r;
}

QList<SiteRecord> sitesVersion(int version)
{
    QList<SiteRecord> out;
    for (int i = 0; i < (version == 0 ? 3 : 40); ++i) { // 1200 bytes, or 16000 bytes
        out.append({QStringLiteral("Site %1 v%2").arg(i).arg(version), QStringLiteral("http://s%1/").arg(i)});
    }
    return out;
}

QByteArray bytes(const QList<SiteRecord>& sites)
{
    QByteArray out;
    for (const SiteRecord& r : sites) {
        out += r.encode();
    }
    return out;
}

// The saver this test kills: saves both files over and over, alternating the versions.
[[noreturn]] void saveLoop(const QDir& dir)
{
    std::puts("saving");
    std::fflush(stdout);
    for (int i = 0;; ++i) {
        SettingsFile(dir.filePath(QStringLiteral("Skyvn.ini"))).save(settingsVersion(i % 2));
        SiteListFile(dir.filePath(QStringLiteral("SiteList.dab"))).writeAll(sitesVersion(i % 2));
    }
}

} // namespace

// Kills a process that saves the record files over and over, at random moments, and reads what is
// left: always one whole version, never a torn file.
class TestAtomicFile : public QObject
{
    Q_OBJECT
private slots:
    void killedMidSaveLeavesAWholeFile()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("Skyvn.ini"));
        const QString list = dir.filePath(QStringLiteral("SiteList.dab"));
        const QByteArray settings[2] = {settingsVersion(0).encode(), settingsVersion(1).encode()};
        const QByteArray sites[2] = {bytes(sitesVersion(0)), bytes(sitesVersion(1))};
        TestFiles::write(ini, settings[0]);
        TestFiles::write(list, sites[0]);
        QRandomGenerator random(20261206);
        int seenNew = 0;
        const int kills = 220;
        for (int k = 0; k < kills; ++k) {
            QProcess p;
            p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--save-loop"), dir.path()});
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

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--save-loop") == 0) {
        saveLoop(QDir(QString::fromLocal8Bit(argv[2])));
    }
    TestAtomicFile test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_AtomicFile.moc"
