#include "MainWindowFixture.h"
#include "TestFiles.h"
#include "TestMain.h"
#include "app/SessionCloser.h"
#include "app/Startup.h"
#include "core/CommandLine.h"
#include "core/ScreenPower.h"
#include "core/ShippedFiles.h"
#include "core/StartupCorrections.h"
#include "core/WallHours.h"
#include "windows/SiteListEditor.h"
#include "windows/SleepingHours.h"
#include "windows/WallDisplay.h"

#include <QAbstractButton>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyleOptionButton>

namespace {

struct Shown : MainWindowFixture
{
    Shown()
    {
        create().show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
};

QImage iconImage(const QIcon& icon)
{
    return icon.pixmap(QSize(26, 14)).toImage().convertToFormat(QImage::Format_RGB32);
}

// Where a control's caption is cut at its font, a description of it; empty when it reads whole.
QString cutCaption(const QWidget* w)
{
    const QString where = w->window()->objectName() + QLatin1Char('.') + w->objectName();
    if (const auto* b = qobject_cast<const QPushButton*>(w); b && !b->text().isEmpty()) {
        QStyleOptionButton option;
        option.initFrom(b);
        option.text = b->text();
        const QRect room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b);
        const int needed = b->fontMetrics().horizontalAdvance(b->text());
        return needed <= room.width() ? QString()
                                      : where + QStringLiteral(": %1 > %2").arg(needed).arg(room.width());
    }
    if (const auto* b = qobject_cast<const QAbstractButton*>(w); b && !b->text().isEmpty()) {
        return b->sizeHint().width() <= b->width() ? QString() : where;
    }
    if (const auto* l = qobject_cast<const QLabel*>(w); l && !l->text().isEmpty()) {
        const bool fits = l->wordWrap() ? l->heightForWidth(l->width()) <= l->height()
                                        : l->sizeHint().width() <= l->width();
        return fits ? QString() : where + QStringLiteral(" \"%1\"").arg(l->text());
    }
    return {};
}

} // namespace

// The main window's wiring: each control and each browser event reaches the rule behind it, and what
// the rules say reaches the controls.
class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void intervalBoxAndDoubleClicks()
    {
        MainWindowFixture f;
        MainWindow& form = f.create();
        auto* label1 = f.child<QLabel>("intervalLabel");
        auto* label2 = f.child<QLabel>("minuteCountLabel");
        auto* timer1 = f.child<QTimer>("refreshTimer");
        const QColor off = form.palette().color(QPalette::Button), on = form.palette().color(QPalette::Base);
        f.child<UpDown>("intervalBox")->stepUp();
        QCOMPARE(label1->text(), QStringLiteral("11"));
        QCOMPARE(label2->palette().color(QPalette::Window), on);
        tick(timer1);
        QCOMPARE(label2->text(), QStringLiteral("1"));
        QTest::mouseDClick(label2, Qt::LeftButton);
        QCOMPARE(label2->text(), QStringLiteral("0"));
        QVERIFY(timer1->isActive());
        QTest::mouseDClick(label1, Qt::LeftButton);
        QVERIFY(!timer1->isActive());
        QCOMPARE(label1->palette().color(QPalette::Window), off);
        f.child<UpDown>("intervalBox")->setValue(180);
        f.child<UpDown>("intervalBox")->stepUp(); // at the top bound: no change, the timer stays off
        QVERIFY(!timer1->isActive());
    }

    // The interval box from the keyboard: a number typed, ten at a time, the ends.
    void intervalKeys()
    {
        Shown f;
        auto* box = f.child<UpDown>("intervalBox");
        box->setFocus();
        QTest::keyClicks(keyTarget(), QStringLiteral("45"));
        QList<int> seen{box->value()};
        for (const Qt::Key key : {Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Home}) {
            QTest::keyClick(keyTarget(), key);
            seen << box->value();
        }
        QCOMPARE(seen, (QList<int>{45, 55, 45, 180, 1}));
        QCOMPARE(f.child<QLabel>("intervalLabel")->text(), QStringLiteral("1"));
        QVERIFY(
            f.child<QTimer>("refreshTimer")->isActive()); // as the arrows do, a change switches the timer on
    }

    // Go and Refresh give the keyboard to the page (what they do is seen end to end).
    void buttonsGiveTheKeyboardBack()
    {
        Shown f;
        for (const char* button : {"goButton", "refreshButton"}) {
            QTest::mouseClick(f.child<QPushButton>(button), Qt::LeftButton);
            QCOMPARE(keyTarget(), f.child<QWidget>("browser"));
        }
        QVERIFY(f.browser->calls.first().startsWith(QLatin1String("Navigate:")) &&
                f.browser->calls.last().startsWith(QLatin1String("Refresh2:")));
    }

    void browserEvents()
    {
        MainWindowFixture f;
        MainWindow& form = f.create();
        FakeBrowserControl* b = f.browser;
        auto* timer4 = f.child<QTimer>("relayoutTimer");
        emit b->titleChanged(QStringLiteral("Radar Loop")); // the caption is seen end to end
        QVERIFY(timer4->isActive() && timer4->isSingleShot());
        timer4->stop();
        emit b->downloadCompleted();
        QVERIFY(timer4->isActive());
        emit b->statusTextChanged(QStringLiteral("http://127.0.0.1/x"));
        QCOMPARE(f.child<QStatusBar>("statusBar")->currentMessage(), QStringLiteral("http://127.0.0.1/x"));
        auto* box = f.child<QWidget>("progressBox");
        auto* bar = f.child<QProgressBar>("progressBar");
        emit b->progressChanged(150, 100);
        QVERIFY(box->isVisibleTo(&form));
        QCOMPARE(bar->value(), 100);
        emit b->progressChanged(5, 0);
        QCOMPARE(bar->maximum(), 1);
        emit b->progressChanged(-1, 100);
        QVERIFY(!box->isVisibleTo(&form));
        emit b->historyStateChanged(-1, false); // not a button's command: neither changes
        QVERIFY(!f.child<QPushButton>("backButton")->isEnabled() &&
                !f.child<QPushButton>("forwardButton")->isEnabled());
        f.watch.toggleTimer();
        f.watch.countMinute();
        QCOMPARE(f.child<QLabel>("minuteCountLabel")->text(), QStringLiteral("1"));
        b->location = QStringLiteral("HTTP:///");
        emit b->navigationCompleted();
        QCOMPARE(f.child<QComboBox>("siteSelector")->currentText(), QStringLiteral("http://"));
        QCOMPARE(f.child<QLabel>("minuteCountLabel")->text(), QStringLiteral("0"));
    }

    // The indicator shows what the connection monitor says, and a click on it asks the monitor; with the
    // functions off it stays grey and the poll stops.
    void connectionIndicator()
    {
        for (const bool functionsOff : {false, true}) {
            MainWindowFixture f;
            ShippedFiles::unpackIntoBareDirectory(f.dir.path());
            f.state.Settings.INetDisabled = functionsOff;
            MainWindow& form = f.create();
            form.show();
            auto* indicator = f.child<QPushButton>("connectionIndicator");
            const auto picture = [&](const char* name) { return iconImage(QIcon(f.dir.filePath(name))); };
            if (functionsOff) {
                QTRY_COMPARE(iconImage(indicator->icon()), picture("iNetGrey.gif"));
                QVERIFY(!f.child<QTimer>("connectionTimer")->isActive() && f.probe->queries == 0);
                continue;
            }
            QCOMPARE(iconImage(indicator->icon()), picture("iNetGrn.gif"));
            // What assistive technology is told at once, on the status bar: each change of the
            // connection, and a refresh that failed (once, however many loads fail after it).
            auto* bar = f.child<QStatusBar>("statusBar");
            QStringList announced;
            const auto heard = [&] {
                if (announced.value(announced.size() - 1) != bar->accessibleDescription()) {
                    announced << bar->accessibleDescription();
                }
            };
            f.probe->current = {false, false};
            tick(f.child<QTimer>("connectionTimer"));
            heard();
            QCOMPARE(iconImage(indicator->icon()), picture("iNetRed.gif"));
            QCOMPARE(indicator->accessibleName(), QStringLiteral("Internet connection: off line"));
            f.probe->current = {true, false};
            QEvent activated(QEvent::WindowActivate);
            QApplication::sendEvent(&form, &activated);
            heard();
            QCOMPARE(iconImage(indicator->icon()), picture("iNetGrn.gif"));
            f.browser->failed = true;
            emit f.browser->statusTextChanged(QStringLiteral("Refresh failed at 10:42"));
            emit f.browser->downloadCompleted();
            heard();
            bar->setAccessibleDescription(QString());
            emit f.browser->downloadCompleted(); // failing still: nothing more is told
            heard();
            QCOMPARE(announced, (QStringList{"Internet connection: off line", "Internet connection: on line",
                                             "The refresh failed: Refresh failed at 10:42", ""}));
            QTest::mouseClick(indicator, Qt::LeftButton);
            QCOMPARE(f.messages->shown, QStringList{"You Are CONNECTED To The Internet"});
        }
    }

    void firstCheckWaitsForTheStartPage()
    {
        MainWindowFixture f;
        MainWindow& form = f.create();
        form.loadWindow();
        QEvent activated(QEvent::WindowActivate);
        QApplication::sendEvent(&form, &activated);
        QCOMPARE(f.probe->queries, 0); // the start page's load first
        emit f.browser->downloadCompleted();
        QCOMPARE(f.probe->queries, 1);
        QApplication::sendEvent(&form, &activated);
        QCOMPARE(f.probe->queries, 2); // the later ones at once
    }

    void menuCommands()
    {
        MainWindowFixture f;
        MainWindow& form = f.create();
        form.loadWindow();
        f.browser->calls.clear();
        f.browser->zoomAccepted = false; // refused: the check mark still moves
        const QStringList sizes = {"smallestItem", "smallItem", "mediumItem", "largeItem", "largestItem"};
        for (const QString size : {"mediumItem", "largestItem"}) {
            f.child<QAction>(size.toLatin1())->trigger();
            for (const QString& other : sizes) {
                QCOMPARE(f.child<QAction>(other.toLatin1())->isChecked(), other == size);
            }
        }
        QCOMPARE(f.browser->calls, (QStringList{"Zoom:2", "Zoom:4"}));
        f.dialogs->openAnswers = {QStringLiteral("/maps/radar.htm")};
        f.child<QAction>("openItem")->trigger();
        QCOMPARE(f.browser->calls.last(), QStringLiteral("Navigate:/maps/radar.htm"));
        f.child<QAction>("saveAsItem")->trigger();
        QCOMPARE(f.browser->calls.last(), QStringLiteral("SaveAs"));
        f.dialogs->fontAnswer = CommonDialogs::Font{QStringLiteral("DejaVu Serif"), false, 10};
        f.child<QAction>("fontsItem")->trigger();
        QCOMPARE(f.child<QComboBox>("siteSelector")->font().family(), QStringLiteral("DejaVu Serif"));
        f.child<QAction>("helpItem")->trigger();
        QCOMPARE(f.messages->shown, QStringList{"The Skyvane Intro-Help file Is Missing."});
        f.child<QAction>("chimeNewItem")->trigger();
        QVERIFY(f.preferences->load().chimeOnlyForNewPicture);
        f.browser->location = QStringLiteral("https://radar.example/");
        f.child<QAction>("followItem")->trigger(); // kept for the address; its next good load asks the site
        QVERIFY(f.watch.siteSettings(f.browser->location)->follow);
        f.watch.setAlwaysWatched(true);
        emit f.browser->pictureShown(QImage(), f.browser->location);
        QCOMPARE(f.browser->calls.last(), QStringLiteral("Ask:https://radar.example/"));
        f.child<QAction>("replayItem")->trigger(); // this window keeps no frames
        QCOMPARE(f.child<QStatusBar>("statusBar")->currentMessage(),
                 QStringLiteral("No frames are kept in this window."));

        // About and the start page dialog open once each and close with the main window.
        form.show();
        f.child<QAction>("aboutItem")->trigger();
        QWidget* about = form.aboutWindow();
        f.child<QAction>("aboutItem")->trigger();
        QVERIFY(about != nullptr && about->isVisible() && form.aboutWindow() == about);
        f.child<QAction>("startPageItem")->trigger();
        QWidget* dialog = form.startPageDialog();
        f.child<QAction>("startPageItem")->trigger();
        QVERIFY(dialog != nullptr && form.startPageDialog() == dialog);
        about->close();
        QTRY_VERIFY(form.aboutWindow() == nullptr);
        form.close();
        QTRY_VERIFY(form.startPageDialog() == nullptr);
    }

    // The corner label of a wall display (the rotation itself is seen end to end).
    void wallDisplay()
    {
        MainWindowFixture f;
        TestFiles::write(f.state.siteListPath(), TestFiles::sites({"One", "http://1/", "Two", "http://2/"}));
        MainWindow& form = f.create(std::make_unique<FrameRecorder>(FrameStore(f.dir.filePath("Frames"))));
        const CommandLine options = CommandLine::parse({"skyvane", "--kiosk", "--rotate", "5"});
        f.watch.changeSiteSettings(QStringLiteral("http://2/"),
                                   [](Preferences::Area& a) { a.turnMinutes = 2; });
        SiteRotation rotation;
        WallDisplay wall({form, form.browser(), f.watch, form.areaWatch(), form.siteFeed(), form.frames(),
                          f.state.Prefs, rotation, f.state.siteListPath(),
                          [&form](QScreen* screen) { form.showPageOnly(screen); }},
                         options);
        form.loadWindow();
        f.watch.setInterval(options.interval);
        QTRY_COMPARE(f.browser->calls.last(), QStringLiteral("Covered:http://1/")); // the first site at once
        emit f.browser->downloadCompleted();
        auto* corner = form.findChild<QLabel*>(QStringLiteral("cornerLabel"));
        QCOMPARE(corner->text(), QStringLiteral("One")); // no good load yet: no time
        f.browser->shownAt = QDateTime(QDate(2026, 5, 1), QTime(14, 20));
        const struct
        {
            qint64 ageMs;
            bool failed;
            const char *text, *colour;
        } states[] = {{60000, false, "One  \u00b7  14:20", "0,0,0"},
                      {35 * 60000, false, "One  \u00b7  14:20, 35 min old", "230,150,0"},
                      {35 * 60000, true, "One  \u00b7  14:20, refresh failed", "170,0,0"}};
        for (const auto& state : states) {
            f.browser->ageMs = state.ageMs;
            f.browser->failed = state.failed;
            emit f.browser->downloadCompleted();
            QCOMPARE(corner->text(), QString::fromUtf8(state.text));
            QVERIFY(corner->isVisible() && corner->styleSheet().contains(QLatin1String(state.colour)));
        }
        // The site kept its 14:20 picture past three of its usual 6-minute gaps: the corner shows the
        // time it changed, in amber, until a new picture comes.
        FrameRecorder* frames = form.frames();
        f.browser->failed = false;
        f.browser->ageMs = 30000;
        f.browser->shownAt = QDateTime(QDate(2026, 5, 1), QTime(15, 10));
        emit f.browser->downloadCompleted();
        emit frames->pictureCompared(QStringLiteral("http://1/"), false,
                                     QDateTime(QDate(2026, 5, 1), QTime(14, 20)), 6 * 60000);
        QCOMPARE(corner->text(), QStringLiteral("One  \u00b7  14:20, no new picture for 50 min"));
        QVERIFY(corner->styleSheet().contains(QLatin1String("230,150,0")));
        QCOMPARE(
            f.browser->calls.last(),
            QStringLiteral(
                "Note:The site has shown the same picture since 14:20 (it usually changes every 6 min)"));
        f.browser->shownAt = QDateTime(QDate(2026, 5, 1), QTime(15, 12));
        emit frames->pictureCompared(QStringLiteral("http://1/"), true, f.browser->shownAt, 6 * 60000);
        QCOMPARE(corner->text(), QStringLiteral("One  \u00b7  15:12"));
        QCOMPARE(f.browser->calls.last(), QStringLiteral("Note:New picture at 15:12"));
        emit f.browser->pageSaid(QStringLiteral("The page said: hello")); // shown for one load
        QVERIFY(corner->text().endsWith(QLatin1String("hello")));
        emit f.browser->downloadCompleted();
        emit f.browser->downloadCompleted();
        QVERIFY(!corner->text().contains(QLatin1String("hello")));
        // Each site's turn: the rotation's, or the one kept for the site.
        auto* turn = wall.findChild<QTimer*>(QStringLiteral("rotateTimer"));
        QCOMPARE(turn->interval(), 5 * 60000);
        QVERIFY(wall.showNextSite());
        QCOMPARE((QList<QVariant>{f.browser->calls.last(), turn->interval()}),
                 (QList<QVariant>{QStringLiteral("Covered:http://2/"), 2 * 60000}));

        // Outside its hours the turns stop and the screen goes dark; a key wakes it, the page
        // refreshed at once.
        struct Screen : ScreenPower
        {
            QStringList said;
            void switchOff() override { said << QStringLiteral("off"); }
            void switchOn() override { said << QStringLiteral("on"); }
        } screen;
        SleepingHours sleeping(WallHours(
                                   *AwakeHours::parse(QStringLiteral("07:00-23:00")),
                                   [] { return QTime(23, 30); }, [] { return qint64(5); }),
                               f.watch, &screen);
        QVERIFY(f.watch.asleep() && !turn->isActive());
        QCOMPARE(screen.said, QStringList{QStringLiteral("off")});
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Shift);
        QCOMPARE(screen.said, (QStringList{QStringLiteral("off"), QStringLiteral("on")}));
        QVERIFY(!f.watch.asleep() && turn->isActive());
        QCOMPARE(f.browser->calls.last(), QStringLiteral("Refresh2:3"));
    }

    // The end of the desktop session saves what the close box does. (Both, and the end signals, are seen
    // end to end; the session manager's request is not.)
    void sessionEndSavesWhatTheCloseBoxDoes()
    {
        QByteArray saved[2];
        for (const bool sessionEnd : {false, true}) {
            MainWindowFixture f;
            MainWindow& form = f.create();
            SessionCloser closer(&form);
            form.loadWindow();
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            form.moveOuter(300, 450, 9000, 6000);
            QTRY_VERIFY(nearTwips(form.outerTwips().width, 9000));
            sessionEnd ? closer.sessionEnding() : void(form.close());
            QTRY_VERIFY(!form.isVisible());
            saved[sessionEnd] = TestFiles::read(f.dir.filePath(QStringLiteral("Skyvn.ini")));
        }
        QCOMPARE(saved[0].size(), 470);
        QCOMPARE(saved[1], saved[0]);
    }

    // Every caption of every window reads whole with the fonts this system really has.
    void everyCaptionReadsWholeAtTheChosenFont()
    {
        // An empty name: what a fresh start chooses; 12.25 points: the largest the font dialog leaves.
        for (const auto& [fontName, bold, size] :
             {std::tuple{"", false, 0.0f}, {"DejaVu Sans", true, 12.0f}, {"DejaVu Sans", true, 12.25f}}) {
            MainWindowFixture f;
            f.state.Settings.FontName = QLatin1String(fontName);
            f.state.Settings.FontBold = bold;
            f.state.Settings.FontSize = size;
            StartupCorrections::correctFont(f.state.Settings, Startup::platformEnvironment(f.state.AppDir));
            MainWindow& form = f.create();
            form.loadWindow();
            // The count boxes at their widest value.
            f.child<QLabel>("intervalLabel")->setText(QStringLiteral("180"));
            f.child<QLabel>("minuteCountLabel")->setText(QStringLiteral("180"));
            f.child<QAction>("aboutItem")->trigger();
            f.child<QAction>("startPageItem")->trigger();
            SiteListEditor editor(f.state, [] { return QString(); });
            editor.loadWindow();
            QStringList cut;
            for (const QWidget* window : {static_cast<QWidget*>(&form), form.aboutWindow(),
                                          form.startPageDialog(), static_cast<QWidget*>(&editor)}) {
                for (const QWidget* w : window->findChildren<QWidget*>()) {
                    cut << cutCaption(w);
                }
            }
            cut.removeAll(QString());
            QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
        }
    }
};

SKYVANE_TEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
