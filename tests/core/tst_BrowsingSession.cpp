#include "PreparedDialogs.h"
#include "PreparedMessageBoxes.h"
#include "RecordingNavigator.h"
#include "RecordingSoundPlayer.h"
#include "ScriptedProbe.h"
#include "TableRows.h"
#include "TestFiles.h"
#include "core/BrowsingSession.h"
#include "core/MenuRules.h"
#include "core/Watch.h"

#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

struct Session
{
    QTemporaryDir dir;
    AppState state;
    QStringList log; // the browser's and the sound player's calls, in order
    RecordingNavigator browser{log};
    RecordingSoundPlayer sound{log};
    ScriptedProbe probe;
    PreparedMessageBoxes messages;
    PreparedDialogs dialogs;
    std::unique_ptr<BrowsingSession> session;
    qint64 now = 1'000'000; // the monotonic clock
    Watch watch{[this] { return now; }};

    Session()
    {
        state.AppDir = dir.path();
        browser.location = QStringLiteral("http://radar/");
        session = std::make_unique<BrowsingSession>(
            state, BrowsingSession::Parts{&browser, &sound, &probe, &messages, &dialogs, &watch});
    }

    void minute() // at interval 1: every minute is due
    {
        watch.setInterval(1);
        now += 60000;
        watch.countMinute();
    }

    void countTo(int minutes) // at interval 10: none is due
    {
        watch.setInterval(10);
        for (int i = 0; i < minutes; ++i) {
            watch.countMinute();
        }
    }
};

} // namespace

// The main window's rules without a window: the automatic refresh, the selector, the caption, the
// menu commands.
class TestBrowsingSession : public QObject
{
    Q_OBJECT
private slots:
    // A due refresh chimes, then reloads; with nothing displayed it only chimes.
    void refreshStep()
    {
        Session s;
        s.minute();
        const QString wav = QDir::toNativeSeparators(s.dir.filePath(QStringLiteral("Start.wav")));
        QCOMPARE(s.log, (QStringList{"Close", "Open:" + wav, "Play", "Refresh"}));
        s.log.clear();
        s.browser.location.clear();
        s.minute();
        QCOMPARE(s.log, (QStringList{"Close", "Open:" + wav, "Play"}));
    }

    void aLostModemIsRedialledByTheRefresh()
    {
        Session s;
        s.probe.current = {true, true};
        s.session->connection().checkConnection();
        s.probe.current = {false, false};
        s.minute();
        QCOMPARE(s.probe.autodials, 1);
        s.state.Settings.INetDisabled = 3; // connection functions off: no redial check
        s.minute();
        QCOMPARE(s.probe.autodials, 1);
    }

    void chimeOnlyForANewPicture()
    {
        Session s;
        s.session->setChimeOnlyForNewPicture(true);
        const QDateTime at(QDate(2026, 12, 6), QTime(12, 30), Qt::LocalTime);
        s.minute();
        QCOMPARE(s.session->pictureCompared(false, at), QStringLiteral("No change since 12:30"));
        QCOMPARE(s.log, QStringList{"Refresh"}); // unchanged: silent
        s.session->refreshNow();
        QCOMPARE(s.session->pictureCompared(true, at), QStringLiteral("New picture at 12:30"));
        QCOMPARE(s.log.count(QStringLiteral("Play")), 1);
        s.session->pictureCompared(true, at); // a load that was no refresh: no chime
        QCOMPARE(s.log.count(QStringLiteral("Play")), 1);
    }

    void startPage()
    {
        Session s;
        s.state.Settings.StartPage = QStringLiteral("http://start/");
        s.session->startPage();
        s.state.StartAddress = QStringLiteral("http://given/"); // from the command line
        s.session->startPage();
        s.state.StartPageOpened = true; // asked for before the window was made
        s.session->startPage();
        QCOMPARE(s.log, (QStringList{"Navigate:http://start/", "Navigate:http://given/"}));

        // A wall display that starts asleep asks for its page when it wakes, and only then; once
        // awake, each wake refreshes the page on screen.
        Session sleeping;
        QSignalSpy said(sleeping.session.get(), &BrowsingSession::statusMessage);
        sleeping.state.StartAddress = QStringLiteral("http://given/");
        sleeping.watch.setAsleep(true);
        sleeping.session->startPage();
        QVERIFY(sleeping.log.isEmpty());
        QCOMPARE(said.size(), 2); // falling asleep, and the start page put off
        sleeping.watch.setAsleep(false);
        sleeping.watch.setAsleep(true);
        sleeping.watch.setAsleep(false);
        QCOMPARE(sleeping.log.first(), QStringLiteral("Navigate:http://given/"));
        QCOMPARE(sleeping.log.mid(3), (QStringList{"Play", "Refresh2:3"})); // the chime, then the refresh
    }

    void refreshButtonAndGo()
    {
        Session s;
        s.browser.location.clear();
        s.countTo(4);
        s.session->refreshNow(); // nothing displayed: nothing at all
        QVERIFY(s.log.isEmpty());
        QCOMPARE(s.watch.minuteCount(), 4);
        s.browser.location = QStringLiteral("http://radar/");
        s.session->refreshNow();
        QCOMPARE(s.log.mid(2), (QStringList{"Play", "Refresh2:3"}));
        QCOMPARE(s.watch.minuteCount(), 0);
        s.log.clear();
        s.countTo(3);
        s.session->go(QString()); // unchanged, even empty
        QCOMPARE(s.log, QStringList{"Navigate:"});
        QCOMPARE(s.watch.minuteCount(), 0);
    }

    // The names in the selector from each file. (That readers never write it is the site list's test.)
    void selectorEntries()
    {
        const QByteArray three =
            TestFiles::sites({"  Radar", "  http://r/  ", "Sat", "http://s/", "Ltg", "http://l/"});
        for (const auto& [file, names] : std::initializer_list<std::pair<QByteArray, QStringList>>{
                 {"none", {}}, // no file at all
                 {"", {}},
                 {three, {"Radar", "Sat", "Ltg"}},
                 {TestFiles::sites({"Same", "http://a/", "Same", "http://b/"}), {"Same", "Same"}}}) {
            Session s;
            if (file != "none") {
                TestFiles::write(s.state.siteListPath(), file);
            }
            QCOMPARE(s.session->siteNames(), names);
        }
    }

    // The index chosen, whether another window changed the list meanwhile; the browser's calls, what the
    // selector is told (its text, or its entries refilled from the file and its text) and the count.
    void siteChoice()
    {
        for (const auto& [index, elsewhere, browser, selector, count] :
             {std::tuple{1, false, "Navigate:http://b/", "http://b/", 0}, // a site
              {2, false, "Navigate:", "", 0},                             // an empty address
              {-1, false, "", "typed", 5},                                // no entry: the text stays
              {7, false, "", "typed", 5},                                 // past the end of the file
              {1, true, "", "B|A|typed", 5}}) { // the list changed in another window: refilled
            Session s;
            const QString path = s.state.siteListPath();
            TestFiles::write(path, TestFiles::sites({"A", "http://a/", "B", "http://b/", "Blank", ""}));
            QCOMPARE(s.session->siteNames(), (QStringList{"A", "B", "Blank"}));
            if (elsewhere) {
                TestFiles::write(path, TestFiles::sites({"B", "http://b/", "A", "http://a/"}));
                QFile(path).setFileTime(QDateTime::currentDateTime().addSecs(5),
                                        QFileDevice::FileModificationTime);
            }
            s.countTo(5);
            QStringList told;
            QObject::connect(s.session.get(), &BrowsingSession::selectorTextChanged,
                             [&](auto t) { told = {t}; });
            QObject::connect(
                s.session.get(), &BrowsingSession::selectorEntriesChanged,
                [&](const QStringList& names, const QString& t) { told = names + QStringList{t}; });
            s.session->chooseSite(index, QStringLiteral("typed"));
            QCOMPARE(s.log.join(QString()), QLatin1String(browser));
            QCOMPARE(told.join(QLatin1Char('|')), QLatin1String(selector));
            QCOMPARE(s.watch.minuteCount(), count);
        }
    }

    void captionAndShownPage()
    {
        Session s;
        QSignalSpy caption(s.session.get(), &BrowsingSession::captionChanged);
        for (const auto& [title, expected] : {std::pair{"One", "One - Skyvane ie5+"},
                                              {"SkyvaneHelp", "Skyvane ie5+"},
                                              {"SkyvaneHelp.htm", "Skyvane ie5+"},
                                              {"Skyvane ie5+", "Skyvane ie5+"},
                                              {"skyvanehelp", "skyvanehelp - Skyvane ie5+"},
                                              {"", " - Skyvane ie5+"}}) {
            s.session->titleChanged(QLatin1String(title));
            QCOMPARE(caption.last().at(0).toString(), QLatin1String(expected));
            QCOMPARE(s.state.PageTitle, QLatin1String(title));
        }
        QSignalSpy text(s.session.get(), &BrowsingSession::selectorTextChanged);
        for (const auto& [location, expected] : {std::pair{"http://r/", "http://r/"},
                                                 {"HTTP:///", "http://"},
                                                 {"hTtP:///", "http://"},
                                                 {"http:///x", "http:///x"},
                                                 {"", ""}}) {
            s.browser.location = QLatin1String(location);
            s.countTo(2);
            s.session->pageShown();
            QCOMPARE(text.last().at(0).toString(), QLatin1String(expected));
            QCOMPARE(s.watch.minuteCount(), 0);
        }
    }

    // Open remembers the folder of the chosen file, a root keeping its separator.
    void openFile()
    {
        Session s;
        s.dialogs.openAnswers = {QString(), QStringLiteral("/home/u/maps/radar.htm"),
                                 QStringLiteral("/radar.htm")};
        QStringList folders;
        for (int i = 0; i < 4; ++i) {
            s.session->openFile();
            folders << s.state.LastOpenFolder;
        }
        QCOMPARE(folders, (QStringList{"", "/home/u/maps", "/", "/"}));
        QCOMPARE(s.dialogs.openedIn, (QStringList{"", "", "/home/u/maps", "/"}));
        QCOMPARE(s.log, (QStringList{"Navigate:/home/u/maps/radar.htm", "Navigate:/radar.htm"}));
        QCOMPARE(MenuRules::openFolder(QStringLiteral("C:\\radar.htm"), QStringLiteral("radar.htm")),
                 QStringLiteral("C:\\"));
        QCOMPARE(MenuRules::openFolder(QStringLiteral("C:\\Docs\\radar.htm"), QStringLiteral("radar.htm")),
                 QStringLiteral("C:\\Docs"));
    }

    void fontChoice()
    {
        Session s;
        LiveSettings& f = s.state.Settings;
        f.FontName = QStringLiteral("DejaVu Sans");
        f.FontSize = 14;
        QSignalSpy changed(s.session.get(), &BrowsingSession::fontChanged);
        s.session->chooseFont(false); // at load: the stored font, no dialog
        QVERIFY(s.dialogs.fontOpenedWith.isEmpty());
        QCOMPARE(f.FontSize, 14.0f);
        s.session->chooseFont(true); // cancelled: the dialog's size is capped all the same
        QCOMPARE(s.dialogs.fontOpenedWith.first().size, 14.0f);
        QCOMPARE(f.FontSize, 12.25f);
        s.dialogs.fontAnswer = CommonDialogs::Font{QStringLiteral("DejaVu Serif"), true, 10};
        s.session->chooseFont(true);
        QCOMPARE((QList<QVariant>{f.FontName, f.FontBold, f.FontSize}),
                 (QList<QVariant>{"DejaVu Serif", true, 10.0f}));
        QCOMPARE(changed.size(), 3);
        f.FontName.clear();
        f.FontSize = 0;
        s.session->chooseFont(true);
        QCOMPARE(s.dialogs.fontOpenedWith.last().name, QStringLiteral("Arial")); // an empty record
        QCOMPARE(s.dialogs.fontOpenedWith.last().size, 9.0f);
    }
};

QTEST_GUILESS_MAIN(TestBrowsingSession)
#include "tst_BrowsingSession.moc"
