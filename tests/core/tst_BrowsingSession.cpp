#include "PreparedMessageBoxes.h"
#include "RecordingNavigator.h"
#include "RecordingSoundPlayer.h"
#include "ScriptedProbe.h"
#include "core/BrowsingSession.h"
#include "core/SiteRecord.h"

#include <QFile>
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

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct Session
{
    QTemporaryDir dir;
    AppState state;
    QStringList log;
    RecordingNavigator browser{log};
    RecordingSoundPlayer sound{log};
    ScriptedProbe probe;
    PreparedMessageBoxes messages;
    std::unique_ptr<BrowsingSession> session;

    Session()
    {
        state.AppDir = dir.path();
        session = std::make_unique<BrowsingSession>(
            state, BrowsingSession::Parts{&browser, &sound, &probe, &messages, nullptr});
    }
};

} // namespace

// The browsing rules without a window: site choice, Go, Refresh and the browser's reports.
class TestBrowsingSession : public QObject
{
    Q_OBJECT
private slots:
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
        write(path, sites({"A", "http://a/", "B", "http://b/", "Blank", ""}));
        QCOMPARE(s.session->siteNames(), (QStringList{"A", "B", "Blank"}));
        if (listChangedElsewhere) {
            write(path, sites({"B", "http://b/", "A", "http://a/"}));
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

    void goAndRefresh()
    {
        Session s;
        s.state.MinuteCount = 4;
        s.session->refreshNow(); // nothing displayed: nothing at all
        QVERIFY(s.log.isEmpty());
        QCOMPARE(s.state.MinuteCount, qint16(4));
        s.browser.location = QStringLiteral("http://radar/");
        s.session->refreshNow();
        const QString wav = QDir::toNativeSeparators(s.dir.filePath(QStringLiteral("Start.wav")));
        QCOMPARE(s.log, (QStringList{"Close", "Open:" + wav, "Play", "Refresh2:3"}));
        QCOMPARE(s.state.MinuteCount, qint16(0));
        s.log.clear();
        s.state.MinuteCount = 3;
        s.session->go(QString()); // unchanged, even empty
        QCOMPARE(s.log, QStringList{"Navigate:"});
        QCOMPARE(s.state.MinuteCount, qint16(0));
    }

    void caption_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("caption");
        QTest::newRow("a page") << "One"
                                << "One - Skyvane ie5+";
        QTest::newRow("the help page's title") << "SkyvaneHelp"
                                               << "Skyvane ie5+";
        QTest::newRow("its file name") << "SkyvaneHelp.htm"
                                       << "Skyvane ie5+";
        QTest::newRow("the program's own caption") << "Skyvane ie5+"
                                                   << "Skyvane ie5+";
        QTest::newRow("another letter case") << "skyvanehelp"
                                             << "skyvanehelp - Skyvane ie5+";
        QTest::newRow("no title") << ""
                                  << " - Skyvane ie5+";
    }
    void caption()
    {
        QFETCH(QString, title);
        Session s;
        QSignalSpy caption(s.session.get(), &BrowsingSession::captionChanged);
        s.session->titleChanged(title);
        QTEST(caption.last().at(0).toString(), "caption");
    }

    void browserReports()
    {
        Session s;
        QSignalSpy caption(s.session.get(), &BrowsingSession::captionChanged);
        QSignalSpy text(s.session.get(), &BrowsingSession::selectorTextChanged);
        s.session->titleChanged(QStringLiteral("Radar"));
        QCOMPARE(caption.last().at(0).toString(), QStringLiteral("Radar - Skyvane ie5+"));
        QCOMPARE(s.state.PageTitle, QStringLiteral("Radar"));
        s.browser.location = QStringLiteral("http:///");
        s.state.MinuteCount = 2;
        s.session->pageShown();
        QCOMPARE(text.last().at(0).toString(), QStringLiteral("http://"));
        QCOMPARE(s.state.MinuteCount, qint16(0));
    }
};

QTEST_GUILESS_MAIN(TestBrowsingSession)
#include "tst_BrowsingSession.moc"
