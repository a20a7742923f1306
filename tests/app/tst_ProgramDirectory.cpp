#include "core/FileMissing.h"
#include "core/ProgramDirectory.h"
#include "core/ShippedFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestProgramDirectory : public QObject
{
    Q_OBJECT
private slots:
    void fileMissing()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("a.htm"));
        const QString readOnly = dir.filePath(QStringLiteral("ro.htm"));
        for (const QString& p : {file, readOnly}) {
            QFile f(p);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QVERIFY(QFile::setPermissions(readOnly, QFileDevice::ReadOwner));
        QCOMPARE(FileMissing(file), 0);
        QCOMPARE(FileMissing(readOnly), 0);
        QCOMPARE(FileMissing(dir.filePath(QStringLiteral(".hidden-missing"))) != 0, true);
        QCOMPARE(FileMissing(dir.path()), 9909);
        QVERIFY(FileMissing(dir.filePath(QStringLiteral("none/at/all.htm"))) != 0);
        QVERIFY(FileMissing(QString()) != 0);
    }

    void appDir_data()
    {
        QTest::addColumn<QString>("reported");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << QStringLiteral("/opt/skyvane") << QStringLiteral("/opt/skyvane");
        QTest::newRow("trailing separator")
            << QStringLiteral("/opt/skyvane/") << QStringLiteral("/opt/skyvane");
        QTest::newRow("root") << QStringLiteral("/") << QString();
        QTest::newRow("three letters kept") << QStringLiteral("/ab") << QStringLiteral("/ab");
    }
    void appDir()
    {
        QFETCH(QString, reported);
        QFETCH(QString, expected);
        QCOMPARE(ProgramDirectory::appDirFrom(reported), QDir::toNativeSeparators(expected));
        QCOMPARE(ProgramDirectory::file(ProgramDirectory::appDirFrom(QStringLiteral("/")),
                                        QStringLiteral("Skyvn.ini")),
                 QDir::toNativeSeparators(QStringLiteral("/Skyvn.ini")));
    }

    void locations_data()
    {
        QTest::addColumn<bool>("filesBesideProgram");
        QTest::addColumn<bool>("installedData");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("appDir");
        QTest::addColumn<QString>("dataDir");
        QTest::newRow("portable") << true << false << true << "prog"
                                  << "prog";
        QTest::newRow("portable beside an installed copy") << true << true << true << "prog"
                                                           << "prog";
        QTest::newRow("portable, read-only folder") << true << false << false << "prog"
                                                    << "user";
        QTest::newRow("bare copy") << false << false << true << "prog"
                                   << "prog";
        QTest::newRow("installed") << false << true << true << "share"
                                   << "user";
        QTest::newRow("installed, read-only") << false << true << false << "share"
                                              << "user";
    }
    void locations()
    {
        QFETCH(bool, filesBesideProgram);
        QFETCH(bool, installedData);
        QFETCH(bool, writable);
        QTemporaryDir root;
        const QString prog = root.filePath(QStringLiteral("prog"));
        const QString share = root.filePath(QStringLiteral("share"));
        const QString user = root.filePath(QStringLiteral("user"));
        QVERIFY(QDir().mkpath(prog) && QDir().mkpath(share));
        Q_INIT_RESOURCE(shipped);
        if (filesBesideProgram) {
            ShippedFiles::unpackIntoBareDirectory(prog);
        }
        if (installedData) {
            ShippedFiles::unpackIntoBareDirectory(share);
        }
        const ProgramDirectory::Locations where = ProgramDirectory::locate(prog, share, writable, user);
        QFETCH(QString, appDir);
        QFETCH(QString, dataDir);
        QCOMPARE(where.appDir, root.filePath(appDir));
        QCOMPARE(where.dataDir, root.filePath(dataDir));
    }

    void shippedFilesOnlyIntoABareDirectory()
    {
        Q_INIT_RESOURCE(shipped);
        QTemporaryDir bare;
        QCOMPARE(ShippedFiles::unpackIntoBareDirectory(bare.path()), 6);
        for (const QString& name : ShippedFiles::names()) {
            QCOMPARE(FileMissing(bare.filePath(name)), 0);
        }
        QFile embedded(QStringLiteral(":/shipped/Start.wav"));
        QVERIFY(embedded.open(QIODevice::ReadOnly));
        QFile written(bare.filePath(QStringLiteral("Start.wav")));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), embedded.readAll());

        // A user who removed one file keeps it removed.
        QVERIFY(QFile::remove(bare.filePath(QStringLiteral("SkyvaneHelp.htm"))));
        QCOMPARE(ShippedFiles::unpackIntoBareDirectory(bare.path()), 0);
        QVERIFY(FileMissing(bare.filePath(QStringLiteral("SkyvaneHelp.htm"))) != 0);
    }
};

QTEST_GUILESS_MAIN(TestProgramDirectory)
#include "tst_ProgramDirectory.moc"
