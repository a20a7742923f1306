#include "Form1Fixture.h"
#include "TestMain.h"
#include "app/Module1.h"
#include "core/FileMissing.h"
#include "core/SettingsFile.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QScreen>

#include <sys/stat.h>

namespace {

// Starts the main window the way the program does, from whatever is in the folder, then closes it.
struct Start
{
    QTemporaryDir dir;

    QString ini() const { return dir.filePath(QStringLiteral("Skyvn.ini")); }

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
};

SKYVANE_TEST_MAIN(TestBadInput)
#include "tst_BadInput.moc"
