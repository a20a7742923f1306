#include "Form1Fixture.h"
#include "TestMain.h"
#include "core/ShippedFiles.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace {

QStringList captions(const QMenu* menu)
{
    QStringList out;
    for (const QAction* a : menu->actions()) {
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    }
    return out;
}

QStringList checked(const Form1Fixture& f)
{
    QStringList out;
    for (const char* name : {"mnuLargest", "mnuLarge", "mnuMedium", "mnuSmall", "mnuSmallest"}) {
        if (f.child<QAction>(name)->isChecked()) {
            out << QString::fromLatin1(name);
        }
    }
    return out;
}

} // namespace

class TestForm1Menu : public QObject
{
    Q_OBJECT
private slots:
    void menuTree()
    {
        Form1Fixture f;
        f.create();
        auto* menu = f.child<QMenu>("mnuPop1");
        QCOMPARE(menu->title(), QStringLiteral("Menu1"));
        QCOMPARE(captions(menu),
                 (QStringList{"&Open", "&SaveAs", "-", "&Web Page Text Size", "-", "App &Fonts", "-",
                              "&iNet Functions", "-", "&Help", "Abo&ut", "-", "Default Start &Page"}));
        QCOMPARE(captions(f.child<QMenu>("mnuTextSize")),
                 (QStringList{"La&rgest", "&Large", "&Medium", "Sma&ll", "Sm&allest"}));
        for (const QAction* a : menu->actions()) {
            QVERIFY(a->isEnabled() && a->isVisible() && !a->isChecked() && a->shortcut().isEmpty());
        }
        QVERIFY(checked(f).isEmpty());
        QVERIFY(f.child<QPushButton>("Command8")->toolTip().isEmpty());
    }

    void textSizes()
    {
        Form1Fixture f;
        f.create();
        QVERIFY(f.browser->calls.isEmpty()); // no zoom until the user chooses a size
        f.browser->zoomAccepted = false;     // refused: the check mark still moves
        f.child<QAction>("mnuMedium")->trigger();
        QCOMPARE(checked(f), QStringList{"mnuMedium"});
        f.child<QAction>("mnuLargest")->trigger();
        QCOMPARE(checked(f), QStringList{"mnuLargest"});
        f.child<QAction>("mnuSmallest")->trigger();
        f.child<QAction>("mnuSmall")->trigger();
        f.child<QAction>("mnuLarge")->trigger();
        QCOMPARE(checked(f), QStringList{"mnuLarge"});
        QCOMPARE(f.browser->calls, (QStringList{"Zoom:2", "Zoom:4", "Zoom:0", "Zoom:1", "Zoom:3"}));
    }

    void openRemembersTheFolder()
    {
        Form1Fixture f;
        f.create();
        f.dialogs->openAnswers = {QString(), QStringLiteral("/home/u/maps/radar.htm"),
                                  QStringLiteral("/radar.htm"), QString()};
        f.child<QAction>("mnuOpen")->trigger(); // cancelled
        QVERIFY(f.browser->calls.isEmpty());
        QCOMPARE(f.state.LastOpenFolder, QString());
        f.child<QAction>("mnuOpen")->trigger();
        QCOMPARE(f.state.LastOpenFolder, QStringLiteral("/home/u/maps"));
        QCOMPARE(f.browser->calls, QStringList{"Navigate:/home/u/maps/radar.htm"});
        f.child<QAction>("mnuOpen")->trigger();
        QCOMPARE(f.state.LastOpenFolder, QStringLiteral("/"));
        f.child<QAction>("mnuOpen")->trigger(); // cancelled: the folder stays
        QCOMPARE(f.state.LastOpenFolder, QStringLiteral("/"));
        QCOMPARE(f.dialogs->openedIn, (QStringList{"", "", "/home/u/maps", "/"}));
    }

    void fontRoutine()
    {
        Form1Fixture f;
        f.state.Settings.FontName = QStringLiteral("DejaVu Sans");
        f.state.Settings.FontSize = 14;
        f.state.Settings.FontBold = false;
        Form1& form = f.create();
        form.Form_Load(); // start-up: no dialog, 14 applied as stored
        QVERIFY(f.dialogs->fontOpenedWith.isEmpty());
        QCOMPARE(f.child<QComboBox>("Combo1")->font().pointSizeF(), 14.0);

        f.child<QAction>("mnuFonts")->trigger(); // cancelled: 12.25 stored and applied
        QCOMPARE(f.dialogs->fontOpenedWith.size(), 1);
        QCOMPARE(f.dialogs->fontOpenedWith.first().size, 14.0f);
        QCOMPARE(f.state.Settings.FontSize, 12.25f);
        QCOMPARE(f.child<QWidget>("Combo1")->font().pointSizeF(), 12.25);

        f.dialogs->fontAnswer = CommonDialogs::Font{QStringLiteral("DejaVu Serif"), true, 10};
        f.child<QAction>("mnuFonts")->trigger();
        QCOMPARE(f.state.Settings.FontName, QStringLiteral("DejaVu Serif"));
        QVERIFY(f.state.Settings.FontBold);
        QCOMPARE(f.child<QComboBox>("Combo1")->font().family(), QStringLiteral("DejaVu Serif"));
        QVERIFY(f.child<QLabel>("Label2")->font().bold());
    }

    void help()
    {
        Form1Fixture f;
        f.create();
        f.child<QAction>("mnuHelp")->trigger();
        QCOMPARE(f.messages->shown, QStringList{"The Skyvane Intro-Help file Is Missing."});
        QVERIFY(f.browser->calls.isEmpty());
        ShippedFiles::unpackIntoBareDirectory(f.dir.path());
        f.child<QAction>("mnuHelp")->trigger();
        QCOMPARE(f.browser->calls,
                 QStringList{"Navigate:" + QDir::toNativeSeparators(f.dir.filePath("SkyvaneHelp.htm"))});
        QCOMPARE(f.messages->shown.size(), 1);
    }

    void singleInstances()
    {
        Form1Fixture f;
        Form1& form = f.create();
        form.show();
        f.child<QAction>("mnuAbout")->trigger();
        QWidget* about = form.aboutWindow();
        QVERIFY(about != nullptr && about->isVisible());
        f.child<QAction>("mnuAbout")->trigger();
        QCOMPARE(form.aboutWindow(), about);
        f.child<QAction>("mnuDefStartPage")->trigger();
        QWidget* dialog = form.startPageDialog();
        f.child<QAction>("mnuDefStartPage")->trigger();
        QCOMPARE(form.startPageDialog(), dialog);
        int abouts = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            abouts += w->objectName() == QLatin1String("Form3") && w->isVisible() ? 1 : 0;
        }
        QCOMPARE(abouts, 1);

        about->close();
        QTRY_VERIFY(form.aboutWindow() == nullptr);
        f.child<QAction>("mnuAbout")->trigger();
        // A fresh window (the old one is gone; its address may well be used again).
        QVERIFY(form.aboutWindow() != nullptr && form.aboutWindow()->isVisible());

        // Closing the main window closes both, after the settings are written.
        form.close();
        QTRY_VERIFY(form.aboutWindow() == nullptr && form.startPageDialog() == nullptr);
        QVERIFY(QFile::exists(f.dir.filePath(QStringLiteral("Skyvn.ini"))));
    }
};

SKYVANE_TEST_MAIN(TestForm1Menu)
#include "tst_Form1Menu.moc"
