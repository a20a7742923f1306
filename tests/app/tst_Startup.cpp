#include "MainWindowFixture.h"
#include "TestMain.h"
#include "app/Startup.h"
#include "core/FileMissing.h"
#include "core/SettingsFile.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QScreen>

#include <sys/stat.h>

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    // A folder, a dangling link or a pipe in place of every file: the window, started the way the program
    // does, lies on the screen at least at its smallest size with a usable font, and nothing is written.
    void somethingElseInPlaceOfTheFiles()
    {
        const QStringList names = {"Skyvn.ini", "SiteList.dab", "SkyvaneHelp.htm", "DefPage.htm",
                                   "Start.wav", "iNetGrn.gif",  "iNetRed.gif",     "iNetGrey.gif"};
        for (const char* kind : {"folder", "dangling link", "pipe"}) {
            QTemporaryDir dir;
            for (const QString& name : names) {
                const QString path = dir.filePath(name);
                QVERIFY(*kind == 'f'   ? QDir(dir.path()).mkdir(name)
                        : *kind == 'p' ? ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0
                                       : QFile::link(dir.filePath(QStringLiteral("nowhere/") + name), path));
            }
            MainWindowFixture f;
            f.state.AppDir = QDir::toNativeSeparators(dir.path());
            f.state.Settings =
                LiveSettings::fromRecord(SettingsFile(dir.filePath(QStringLiteral("Skyvn.ini"))).load());
            StartupCorrections::apply(f.state.Settings, Startup::platformEnvironment(f.state.AppDir));
            MainWindow& form = f.create();
            form.loadWindow();
            form.show();
            QTest::qWait(20); // the frame is known once shown; the window is fitted to it then
            const QSizeF desk = QSizeF(QGuiApplication::primaryScreen()->virtualSize()) * 15.0;
            const TwipRect outer = form.outerTwips();
            QVERIFY(outer.left >= 0 && outer.top >= 0 && outer.width >= 7095 - 15 &&
                    outer.height >= 5445 - 15 && outer.width <= qMax(7095.0, desk.width()) + 15 &&
                    outer.height <= qMax(5445.0, desk.height()) + 15);
            QVERIFY(f.child<QLabel>("intervalLabel")->font().pointSizeF() >= 1);
            form.close();
            for (const QString& name : names) {
                QVERIFY2(FileMissing(dir.filePath(name)) != 0, kind); // still not a file: nothing written
            }
            QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("nowhere"))));
        }
    }
};

SKYVANE_TEST_MAIN(TestStartup)
#include "tst_Startup.moc"
