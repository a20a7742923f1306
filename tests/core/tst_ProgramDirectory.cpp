#include "TestFiles.h"
#include "core/FileMissing.h"
#include "core/ProgramDirectory.h"
#include "core/ShippedFiles.h"

#include <QDir>
#include <QTemporaryDir>

class TestProgramDirectory : public QObject
{
    Q_OBJECT
private slots:
    // Where the shipped files and the record files go, by what is beside the program and whether its
    // folder can be written.
    void locations()
    {
        Q_INIT_RESOURCE(shipped);
        for (const auto& [besideProgram, installed, writable, appDir, dataDir] :
             std::initializer_list<std::tuple<bool, bool, bool, const char*, const char*>>{
                 {true, false, true, "prog", "prog"},   // portable
                 {true, true, true, "prog", "prog"},    // portable beside an installed copy
                 {true, false, false, "prog", "user"},  // portable, read-only folder
                 {false, false, true, "prog", "prog"},  // a bare copy
                 {false, true, true, "share", "user"},  // installed
                 {false, true, false, "share", "user"}, // installed, read-only
             }) {
            QTemporaryDir root;
            const QString prog = root.filePath(QStringLiteral("prog")),
                          share = root.filePath(QStringLiteral("share"));
            QVERIFY(QDir().mkpath(prog) && QDir().mkpath(share));
            if (besideProgram) {
                ShippedFiles::unpackIntoBareDirectory(prog);
            }
            if (installed) {
                ShippedFiles::unpackIntoBareDirectory(share);
            }
            const auto where =
                ProgramDirectory::locate(prog, share, writable, root.filePath(QStringLiteral("user")));
            QCOMPARE(where.appDir, root.filePath(QLatin1String(appDir)));
            QCOMPARE(where.dataDir, root.filePath(QLatin1String(dataDir)));
        }
    }

    void shippedFilesOnlyIntoABareDirectory()
    {
        Q_INIT_RESOURCE(shipped);
        QTemporaryDir bare;
        QCOMPARE(ShippedFiles::unpackIntoBareDirectory(bare.path()), 7);
        for (const QString& name : ShippedFiles::names()) {
            QCOMPARE(FileMissing(bare.filePath(name)), 0);
        }
        QCOMPARE(TestFiles::read(bare.filePath(QStringLiteral("Start.wav"))),
                 TestFiles::read(QStringLiteral(":/shipped/Start.wav")));

        // A user who removed one file keeps it removed.
        QVERIFY(QFile::remove(bare.filePath(QStringLiteral("SkyvaneHelp.htm"))));
        QCOMPARE(ShippedFiles::unpackIntoBareDirectory(bare.path()), 0);
        QVERIFY(FileMissing(bare.filePath(QStringLiteral("SkyvaneHelp.htm"))) != 0);
    }
};

QTEST_GUILESS_MAIN(TestProgramDirectory)
#include "tst_ProgramDirectory.moc"
