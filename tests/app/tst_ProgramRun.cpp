#include "core/SettingsRecord.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#ifndef SKYVANE_PROGRAM
#error "SKYVANE_PROGRAM must name the built program"
#endif

// Runs the real program from a folder of its own, ends it as the system would, and reads what it saved.
class TestProgramRun : public QObject
{
    Q_OBJECT

    QTemporaryDir runtime;

    // Starts program, waits until its settings file in dataFolder exists, ends it with sig and returns
    // the settings file.
    QByteArray runProgram(const QString& program, const QString& dataFolder, int sig,
                          const QProcessEnvironment& extra)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& key : extra.keys()) {
            env.insert(key, extra.value(key));
        }
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        // As root the program itself must do without the engine's sandbox, or nothing would start.
        env.remove(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"));
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(program, {});
        if (!p.waitForStarted(10000)) {
            return {};
        }
        const QString ini = QDir(dataFolder).filePath(QStringLiteral("Skyvn.ini"));
        // The settings file exists once start-up has loaded it; give the window a moment after that.
        for (int waited = 0; !QFile::exists(ini) && waited < 20000; waited += 50) {
            QTest::qWait(50);
        }
        QTest::qWait(1500);
        ::kill(static_cast<pid_t>(p.processId()), sig);
        if (!p.waitForFinished(20000)) {
            p.kill();
            return {};
        }
        QFile f(ini);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void installedCopyKeepsItsFilesInTheUserDataFolder()
    {
        QTemporaryDir prefix;
        QProcess install;
        install.start(QStringLiteral("cmake"),
                      {QStringLiteral("--install"), QStringLiteral(SKYVANE_BUILD_DIR),
                       QStringLiteral("--prefix"), prefix.path()});
        QVERIFY(install.waitForFinished(60000));
        QCOMPARE(install.exitCode(), 0);
        const QString program = prefix.filePath(QStringLiteral("bin/skyvane"));
        const QString shared = prefix.filePath(QStringLiteral("share/skyvane"));
        QVERIFY(QFile::exists(program));
        QVERIFY(QFile::exists(shared + QStringLiteral("/SkyvaneHelp.htm")));
        QVERIFY(QFile::exists(
            prefix.filePath(QStringLiteral("share/applications/io.github.skyvane.Skyvane.desktop"))));
        QVERIFY(
            QFile::exists(prefix.filePath(QStringLiteral("share/icons/hicolor/scalable/apps/skyvane.svg"))));
        QVERIFY(QFile::exists(prefix.filePath(QStringLiteral("share/icons/hicolor/48x48/apps/skyvane.png"))));
        // The program folder is not to be written: nothing may land there.
        QFile::setPermissions(prefix.filePath(QStringLiteral("bin")),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                  QFileDevice::ExeOther);

        QProcessEnvironment extra;
        extra.insert(QStringLiteral("XDG_DATA_HOME"), prefix.filePath(QStringLiteral("home-data")));
        const QString dataFolder = prefix.filePath(QStringLiteral("home-data/Skyvane"));
        const QByteArray first = runProgram(program, dataFolder, SIGTERM, extra);
        QCOMPARE(first.size(), 470);
        QCOMPARE(SettingsRecord::decode(first).StartPage,
                 QDir::toNativeSeparators(shared + QStringLiteral("/SkyvaneHelp.htm")));

        // The next start reads the file back from there: a marker in the carried bytes survives.
        QByteArray marked = first;
        marked.replace(330, 6, "MARKER");
        QFile seeded(dataFolder + QStringLiteral("/Skyvn.ini"));
        QVERIFY(seeded.open(QIODevice::WriteOnly));
        seeded.write(marked);
        seeded.close();
        const QByteArray second = runProgram(program, dataFolder, SIGTERM, extra);
        QCOMPARE(second.mid(330, 6), QByteArray("MARKER"));
        QCOMPARE(QDir(prefix.filePath(QStringLiteral("bin"))).entryList(QDir::Files), QStringList{"skyvane"});
        QCOMPARE(QDir(shared).entryList(QDir::Files).size(), 6);
    }

    void desktopFilesValidate()
    {
        const QString desktopValidate =
            QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        const QString appstream = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
        if (desktopValidate.isEmpty() || appstream.isEmpty()) {
            QSKIP("desktop-file-utils or appstream is not installed");
        }
        const QString dir = QStringLiteral(SKYVANE_SOURCE_DIR "/resources/desktop/");
        QProcess a;
        a.start(desktopValidate, {dir + QStringLiteral("io.github.skyvane.Skyvane.desktop")});
        QVERIFY(a.waitForFinished(30000));
        QCOMPARE(a.exitCode(), 0);
        QProcess b;
        b.start(appstream, {QStringLiteral("validate"), QStringLiteral("--no-net"),
                            dir + QStringLiteral("io.github.skyvane.Skyvane.metainfo.xml")});
        QVERIFY(b.waitForFinished(30000));
        QVERIFY2(b.exitCode() == 0, b.readAllStandardOutput().constData());
    }
};

QTEST_GUILESS_MAIN(TestProgramRun)
#include "tst_ProgramRun.moc"
