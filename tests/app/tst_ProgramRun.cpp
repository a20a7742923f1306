#include "SettingsRecord.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <csignal>

#ifndef SKYVANE_PROGRAM
#error "SKYVANE_PROGRAM must name the built program"
#endif

// Runs the real program from a folder of its own, ends it as the system would, and reads what it saved.
class TestProgramRun : public QObject
{
    Q_OBJECT

    QTemporaryDir runtime;

    QByteArray runAndTerminate(const QString& folder, int sig)
    {
        const QString program = QDir(folder).filePath(QStringLiteral("skyvane"));
        if (!QFile::exists(program) && !QFile::copy(QStringLiteral(SKYVANE_PROGRAM), program)) {
            return {};
        }
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        if (::geteuid() == 0) {
            env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
        }
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(program, {});
        if (!p.waitForStarted(10000)) {
            return {};
        }
        const QString ini = QDir(folder).filePath(QStringLiteral("Skyvn.ini"));
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
    void firstStartThenSignal_data()
    {
        QTest::addColumn<int>("sig");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void firstStartThenSignal()
    {
        QFETCH(int, sig);
        QTemporaryDir folder;
        const QByteArray bytes = runAndTerminate(folder.path(), sig);
        QCOMPARE(bytes.size(), 470);
        const SettingsRecord r = SettingsRecord::decode(bytes);
        QCOMPARE(r.MainLeft, 0.0f);
        QCOMPARE(r.MainTop, 0.0f);
        QVERIFY(qAbs(r.MainWidth - 7095) <= 15 && qAbs(r.MainHeight - 5445) <= 15);
        QCOMPARE(r.EditorWidth, 6945.0f);
        QCOMPARE(r.EditorHeight, 3525.0f);
        QCOMPARE(r.StartPage, QDir::toNativeSeparators(folder.filePath(QStringLiteral("SkyvaneHelp.htm"))));
        QVERIFY(!r.FontName.isEmpty());
        QVERIFY(r.FontSize >= 2);
    }

    void damagedFileIsCorrectedAndItsExtraBytesKept()
    {
        QTemporaryDir folder;
        QByteArray seeded(500, '\0');
        for (int off : {0, 4, 8, 12, 16, 20}) {
            qToLittleEndian<quint32>(0x7fc00000, seeded.data() + off);
        }
        seeded.replace(30, 300, QByteArray(300, 'x'));
        seeded.replace(330, 6, QByteArray("\x11\x22\x33\x44\x55\x66", 6));
        seeded.replace(470, 30, QByteArray(30, 'T'));
        QFile f(folder.filePath(QStringLiteral("Skyvn.ini")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(seeded);
        f.close();

        const QByteArray bytes = runAndTerminate(folder.path(), SIGTERM);
        QCOMPARE(bytes.size(), 500);
        const SettingsRecord r = SettingsRecord::decode(bytes);
        QCOMPARE(r.MainLeft, 0.0f);
        QVERIFY(qAbs(r.MainWidth - 7095) <= 15);
        QCOMPARE(r.EditorWidth, 6945.0f);
        QCOMPARE(r.StartPage, QString(300, QLatin1Char('x')));
        QCOMPARE(bytes.mid(330, 6), QByteArray("\x11\x22\x33\x44\x55\x66", 6));
        QCOMPARE(bytes.mid(470), QByteArray(30, 'T'));
    }
};

QTEST_GUILESS_MAIN(TestProgramRun)
#include "tst_ProgramRun.moc"
