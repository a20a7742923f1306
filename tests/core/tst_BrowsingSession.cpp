#include "PreparedDialogs.h"
#include "PreparedMessageBoxes.h"
#include "RecordingNavigator.h"
#include "RecordingSoundPlayer.h"
#include "ScriptedProbe.h"
#include "TestFiles.h"
#include "core/BrowsingSession.h"
#include "core/MenuRules.h"
#include "core/SiteRecord.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray sites(const QStringList& nameUrlPairs)
{
    QByteArray out;
    for (qsizetype i = 0; i + 1 < nameUrlPairs.size(); i += 2) {
        out += SiteRecord{nameUrlPairs[i], nameUrlPairs[i + 1]}.encode();
    }
    return out;
}

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

    Session()
    {
        state.AppDir = dir.path();
        browser.location = QStringLiteral("http://radar/");
        session = std::make_unique<BrowsingSession>(
            state, BrowsingSession::Parts{&browser, &sound, &probe, &messages, &dialogs});
    }

    // Steps, space-separated: "change" (the interval box changed), "toggle" and "reset" (the two
    // double-clicks), "tick" (a minute at interval), "interval=N", "count=N", "url=X" (displayed).
    void play(const QString& script, int& interval)
    {
        for (const QString& step : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString value = step.section(QLatin1Char('='), 1);
            if (step == QLatin1String("change")) {
                session->intervalChanged();
            } else if (step == QLatin1String("toggle")) {
                session->toggleTimer();
            } else if (step == QLatin1String("reset")) {
                session->resetMinuteCount();
            } else if (step == QLatin1String("tick")) {
                session->minuteTick(interval);
            } else if (step.startsWith(QLatin1String("interval="))) {
                interval = value.toInt();
            } else if (step.startsWith(QLatin1String("count="))) {
                state.MinuteCount = qint16(value.toInt());
            } else if (step.startsWith(QLatin1String("url="))) {
                browser.location = value;
            } else {
                QFAIL(qPrintable(step));
            }
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
    void automaticRefresh_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("timerOn");
        QTest::addColumn<int>("reloads");
        QTest::addColumn<int>("sounds");
        const struct
        {
            const char* name;
            const char* script;
            int count;
            bool on;
            int reloads, sounds;
        } rows[] = {
            {"off at start", "", 0, false, 0, 0},
            {"a change switches it on", "change", 0, true, 0, 0},
            {"a second change keeps it on", "change change", 0, true, 0, 0},
            {"counting", "change tick tick tick", 3, true, 0, 0},
            {"interval 1: every tick", "interval=1 tick tick tick", 0, false, 3, 3},
            {"interval 3 reached", "interval=3 tick tick tick", 0, false, 1, 1},
            {"one short of interval 3", "interval=3 tick tick", 2, false, 0, 0},
            {"interval lowered below the count", "count=7 interval=5 tick", 0, false, 1, 1},
            {"nothing displayed: the sound, no reload", "url= interval=1 tick", 0, false, 0, 1},
            {"toggle off resets", "change tick tick toggle", 0, false, 0, 0},
            {"toggle twice from on", "change tick tick toggle toggle", 0, true, 0, 0},
            {"toggle on keeps the count", "count=4 toggle", 4, true, 0, 0},
            {"reset keeps the timer", "change tick tick reset", 0, true, 0, 0},
        };
        for (const auto& r : rows) {
            QTest::newRow(r.name) << r.script << r.count << r.on << r.reloads << r.sounds;
        }
    }
    void automaticRefresh()
    {
        QFETCH(QString, script);
        Session s;
        QSignalSpy shown(s.session.get(), &BrowsingSession::minuteCountChanged);
        int interval = 10;
        s.play(script, interval);
        QTEST(int(s.state.MinuteCount), "count");
        if (!shown.isEmpty()) {
            QCOMPARE(shown.last().at(0).toInt(), int(s.state.MinuteCount)); // Label2 follows
        }
        QTEST(s.session->timerOn(), "timerOn");
        QTEST(int(s.log.count(QStringLiteral("Refresh"))), "reloads");
        QTEST(int(s.log.count(QStringLiteral("Play"))), "sounds");
    }

    void refreshStepOrder()
    {
        Session s;
        s.session->setRedialCheck([&] { s.log << QStringLiteral("Redial"); });
        s.session->minuteTick(1);
        const QString wav = QDir::toNativeSeparators(s.dir.filePath(QStringLiteral("Start.wav")));
        QCOMPARE(s.log, (QStringList{"Redial", "Close", "Open:" + wav, "Play", "Refresh"}));
        s.state.Settings.INetDisabled = 3; // connection functions off: no redial check
        s.log.clear();
        s.session->minuteTick(1);
        QCOMPARE(s.log.first(), QStringLiteral("Close"));
    }

    void aLostModemIsRedialledByTheRefresh()
    {
        Session s;
        s.probe.current = {true, true};
        s.session->connection().CheckConnection();
        s.probe.current = {false, false};
        s.session->minuteTick(1);
        QCOMPARE(s.probe.autodials, 1);
    }

    void chimeOnlyForANewPicture()
    {
        Session s;
        s.session->setChimeOnlyForNewPicture(true);
        const QDateTime at(QDate(2026, 12, 6), QTime(12, 30), Qt::LocalTime);
        s.session->minuteTick(1);
        QCOMPARE(s.session->pictureCompared(false, at), QStringLiteral("No change since 12:30"));
        QCOMPARE(s.log, QStringList{"Refresh"}); // unchanged: silent
        s.session->refreshNow();
        QCOMPARE(s.session->pictureCompared(true, at), QStringLiteral("New picture at 12:30"));
        QCOMPARE(s.log.count(QStringLiteral("Play")), 1);
        s.session->pictureCompared(true, at); // a load that was no refresh: no chime
        QCOMPARE(s.log.count(QStringLiteral("Play")), 1);
    }

    void refreshButtonAndGo()
    {
        Session s;
        s.browser.location.clear();
        s.state.MinuteCount = 4;
        s.session->refreshNow(); // nothing displayed: nothing at all
        QVERIFY(s.log.isEmpty());
        QCOMPARE(s.state.MinuteCount, qint16(4));
        s.browser.location = QStringLiteral("http://radar/");
        s.session->refreshNow();
        QCOMPARE(s.log.mid(2), (QStringList{"Play", "Refresh2:3"}));
        QCOMPARE(s.state.MinuteCount, qint16(0));
        s.log.clear();
        s.state.MinuteCount = 3;
        s.session->go(QString()); // unchanged, even empty
        QCOMPARE(s.log, QStringList{"Navigate:"});
        QCOMPARE(s.state.MinuteCount, qint16(0));
    }

    void selectorEntries_data()
    {
        QTest::addColumn<QByteArray>("file"); // "none": no file at all
        QTest::addColumn<QStringList>("names");
        const QByteArray three = sites({"  Radar", "  http://r/  ", "Sat", "http://s/", "Ltg", "http://l/"});
        QTest::newRow("no file") << QByteArray("none") << QStringList();
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("three sites") << three << QStringList{"Radar", "Sat", "Ltg"};
        QTest::newRow("1000 bytes: the half record dropped")
            << three.left(1000) << QStringList{"Radar", "Sat"};
        QTest::newRow("duplicates stay")
            << sites({"Same", "http://a/", "Same", "http://b/"}) << QStringList{"Same", "Same"};
    }
    void selectorEntries()
    {
        QFETCH(QByteArray, file);
        Session s;
        const QString path = s.state.siteListPath();
        if (file != "none") {
            TestFiles::write(path, file);
        }
        QTEST(s.session->siteNames(), "names");
        QCOMPARE(QFile::exists(path), file != "none");
        if (file != "none") {
            QCOMPARE(TestFiles::read(path), file); // read, never written
        }
    }

    void siteChoice_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("listChangedElsewhere");
        QTest::addColumn<QStringList>("browser");
        QTest::addColumn<QString>("selectorText");
        QTest::addColumn<int>("count");
        QTest::newRow("a site") << 1 << false << QStringList{"Navigate:http://b/"} << "http://b/" << 0;
        QTest::newRow("an empty address") << 2 << false << QStringList{"Navigate:"} << "" << 0;
        QTest::newRow("no entry: the text stays") << -1 << false << QStringList() << "typed" << 5;
        QTest::newRow("past the end of the file") << 7 << false << QStringList() << "typed" << 5;
        QTest::newRow("the list changed in another window") << 1 << true << QStringList() << "typed" << 5;
    }
    void siteChoice()
    {
        QFETCH(int, index);
        QFETCH(bool, listChangedElsewhere);
        Session s;
        const QString path = s.state.siteListPath();
        TestFiles::write(path, sites({"A", "http://a/", "B", "http://b/", "Blank", ""}));
        QCOMPARE(s.session->siteNames(), (QStringList{"A", "B", "Blank"}));
        if (listChangedElsewhere) {
            TestFiles::write(path, sites({"B", "http://b/", "A", "http://a/"}));
            QFile(path).setFileTime(QDateTime::currentDateTime().addSecs(5),
                                    QFileDevice::FileModificationTime);
        }
        s.state.MinuteCount = 5;
        QSignalSpy text(s.session.get(), &BrowsingSession::selectorTextChanged);
        QSignalSpy entries(s.session.get(), &BrowsingSession::selectorEntriesChanged);
        s.session->chooseSite(index, QStringLiteral("typed"));
        QTEST(s.log, "browser");
        QString shown = text.isEmpty() ? QString() : text.last().at(0).toString();
        if (!entries.isEmpty()) {
            QCOMPARE(entries.last().at(0).toStringList(), (QStringList{"B", "A"})); // refilled from the file
            shown = entries.last().at(1).toString();
        }
        QTEST(shown, "selectorText");
        QTEST(int(s.state.MinuteCount), "count");
    }

    void caption_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("caption");
        const char* rows[][2] = {{"One", "One - Skyvane ie5+"},
                                 {"SkyvaneHelp", "Skyvane ie5+"},
                                 {"SkyvaneHelp.htm", "Skyvane ie5+"},
                                 {"Skyvane ie5+", "Skyvane ie5+"},
                                 {"skyvanehelp", "skyvanehelp - Skyvane ie5+"},
                                 {"", " - Skyvane ie5+"}};
        for (const auto& r : rows) {
            QTest::newRow(r[0]) << QString::fromLatin1(r[0]) << QString::fromLatin1(r[1]);
        }
    }
    void caption()
    {
        QFETCH(QString, title);
        Session s;
        QSignalSpy caption(s.session.get(), &BrowsingSession::captionChanged);
        s.session->titleChanged(title);
        QTEST(caption.last().at(0).toString(), "caption");
        QCOMPARE(s.state.PageTitle, title);
    }

    void pageShown_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("selectorText");
        const char* rows[][2] = {{"http://r/", "http://r/"},
                                 {"HTTP:///", "http://"},
                                 {"hTtP:///", "http://"},
                                 {"http:///x", "http:///x"},
                                 {"", ""}};
        for (const auto& r : rows) {
            QTest::newRow(r[0]) << QString::fromLatin1(r[0]) << QString::fromLatin1(r[1]);
        }
    }
    void pageShown()
    {
        Session s;
        QFETCH(QString, location);
        s.browser.location = location;
        s.state.MinuteCount = 2;
        QSignalSpy text(s.session.get(), &BrowsingSession::selectorTextChanged);
        s.session->pageShown();
        QTEST(text.last().at(0).toString(), "selectorText");
        QCOMPARE(s.state.MinuteCount, qint16(0));
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

    void help()
    {
        Session s;
        s.session->showHelp();
        QCOMPARE(s.messages.shown, QStringList{"The Skyvane Intro-Help file Is Missing."});
        QVERIFY(s.log.isEmpty());
        const QString help = QDir::toNativeSeparators(s.dir.filePath(QStringLiteral("SkyvaneHelp.htm")));
        TestFiles::write(help, "<html></html>");
        s.session->showHelp();
        QCOMPARE(s.log, QStringList{"Navigate:" + help});
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
