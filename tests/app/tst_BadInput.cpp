#include "Form1Fixture.h"
#include "TestFiles.h"
#include "TestMain.h"
#include "app/Module1.h"
#include "core/FileMissing.h"
#include "core/SettingsFile.h"
#include "core/SiteListFile.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QScreen>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Starts the main window the way the program does, from whatever is in the folder, then closes it.
struct Start
{
    QTemporaryDir dir;

    QString ini() const { return dir.filePath(QStringLiteral("Skyvn.ini")); }
    QString list() const { return dir.filePath(QStringLiteral("SiteList.dab")); }

    // The window, started from what is in the folder, lies on the screen at least at its smallest size,
    // with a usable font.
    void runSane()
    {
        Form1Fixture f;
        f.state.AppDir = QDir::toNativeSeparators(dir.path());
        f.state.Settings = LiveSettings::fromRecord(SettingsFile(ini()).load());
        StartupCorrections::apply(f.state.Settings, Module1::platformEnvironment(f.state.AppDir));
        Form1& form = f.create();
        form.Form_Load();
        form.show();
        QTest::qWait(20); // the frame is known once shown; the window is fitted to it then
        const QSizeF desk = QSizeF(QGuiApplication::primaryScreen()->virtualSize()) * 15.0;
        QVERIFY(form.Left() >= 0 && form.Top() >= 0 && form.Width() >= 7095 - 15 &&
                form.Height() >= 5445 - 15 && form.Width() <= qMax(7095.0, desk.width()) + 15 &&
                form.Height() <= qMax(5445.0, desk.height()) + 15);
        QVERIFY(f.child<QLabel>("Label1")->font().pointSizeF() >= 1);
        form.close();
    }
};

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT
private slots:
    void somethingElseInPlaceOfTheFiles()
    {
        const QStringList names = {"Skyvn.ini", "SiteList.dab", "SkyvaneHelp.htm", "DefPage.htm",
                                   "Start.wav", "iNetGrn.gif",  "iNetRed.gif",     "iNetGrey.gif"};
        for (const char* kind : {"folder", "dangling link", "pipe"}) {
            Start s;
            for (const QString& name : names) {
                const QString path = s.dir.filePath(name);
                QVERIFY(*kind == 'f' ? QDir(s.dir.path()).mkdir(name)
                        : *kind == 'p'
                            ? ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0
                            : QFile::link(s.dir.filePath(QStringLiteral("nowhere/") + name), path));
            }
            s.runSane();
            for (const QString& name : names) {
                QVERIFY2(FileMissing(s.dir.filePath(name)) != 0, kind); // still not a file: nothing written
            }
            QVERIFY(!QFileInfo::exists(s.dir.filePath(QStringLiteral("nowhere"))));
        }
    }

    void unreadableFilesAndReadOnlyFolder()
    {
        // Permissions bind only ordinary users: as root, check them in a child that gives up root.
        Start s;
        QByteArray record = TornRecord();
        TestFiles::write(s.ini(), record);
        TestFiles::write(s.list(), SiteRecord{QStringLiteral("Radar"), QStringLiteral("http://r/")}.encode());
        if (::geteuid() == 0) {
            for (const QString& p : {s.dir.path(), s.ini(), s.list()}) {
                QCOMPARE(::chown(QFile::encodeName(p).constData(), 65534, 65534), 0);
            }
        }
        const pid_t child = ::fork();
        if (child == 0) {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
                ::_exit(10);
            }
            // Unreadable files: the defaults, and no save over them.
            ::chmod(QFile::encodeName(s.ini()).constData(), 0);
            ::chmod(QFile::encodeName(s.list()).constData(), 0);
            if (SettingsFile(s.ini()).load().MainWidth != 0 ||
                SettingsFile(s.ini()).save(TornRecordDecoded())) {
                ::_exit(11);
            }
            if (!SiteListFile(s.list()).readAll().isEmpty()) {
                ::_exit(12);
            }
            // A read-only folder: a readable file loads, no save and no new files.
            ::chmod(QFile::encodeName(s.ini()).constData(), 0444);
            ::chmod(QFile::encodeName(s.list()).constData(), 0444);
            ::chmod(QFile::encodeName(s.dir.path()).constData(), 0555);
            if (SettingsFile(s.ini()).load().MainWidth != 9000 ||
                SettingsFile(s.ini()).save(SettingsRecord())) {
                ::_exit(13);
            }
            if (SiteListFile(s.list()).readAll().size() != 1 || SiteListFile(s.list()).writeAll({})) {
                ::_exit(14);
            }
            ::_exit(0);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        ::chmod(QFile::encodeName(s.dir.path()).constData(), 0755);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(TestFiles::read(s.ini()), record);
        QCOMPARE(QDir(s.dir.path()).entryList(QDir::Files | QDir::System).size(), 2);
    }

private:
    static SettingsRecord TornRecordDecoded()
    {
        SettingsRecord r;
        r.MainWidth = 9000;
        r.MainHeight = 6000;
        r.FontName = QStringLiteral("DejaVu Sans");
        r.FontSize = 9;
        return r;
    }
    static QByteArray TornRecord() { return TornRecordDecoded().encode(); }
};

SKYVANE_TEST_MAIN(TestBadInput)
#include "tst_BadInput.moc"
