#include "core/SiteFollower.h"
#include "core/UpdateProbe.h"
#include "core/Watch.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QString Page = QStringLiteral("https://radar.example/loop");
const QString Picture = QStringLiteral("https://img.radar.example/latest.png");

// Keeps each question for the test to answer.
struct HeldProbe : UpdateProbe
{
    struct Question
    {
        QString address;
        UpdateCheck::Ask how;
        QByteArray etag;
        Done done;
    };
    QList<Question> asked;

    void ask(const QString& address, UpdateCheck::Ask how, const UpdateCheck::Answer& last, QObject*,
             Done done) override
    {
        asked.append({address, how, last.etag, std::move(done)});
    }
    // Answers every question held, the same way.
    void answerAll(const UpdateCheck::Answer& a)
    {
        for (const Question& q : std::exchange(asked, {})) {
            q.done(a);
        }
    }
};

UpdateCheck::Answer tag(const char* etag)
{
    return {200, etag, {}, -1};
}

UpdateCheck::Answer code(int status)
{
    return {status, {}, {}, -1};
}

} // namespace

class TestSiteFollower : public QObject
{
    Q_OBJECT

    HeldProbe probe;
    Watch watch{[] { return qint64(1); }};
    QString picture = Picture;
    bool busy = false;
    std::unique_ptr<SiteFollower> follower;

private slots:
    void init()
    {
        probe.asked.clear();
        watch.setAlwaysWatched(true);
        picture = Picture;
        busy = false;
        follower = std::make_unique<SiteFollower>(
            SiteFollower::Parts{watch, probe, [] { return Page; }, [this] { return picture; },
                                [this] { return busy; }},
            1); // the period's questions may come one after another here; no event loop runs its timer
    }

    // Asked only while followed, watched and not loading; the first load's question at once, as a HEAD.
    void askedWhenFollowed()
    {
        follower->check();
        QVERIFY(probe.asked.isEmpty()); // not followed
        follower->setFollowed(Page, true);
        QVERIFY(watch.siteSettings(Page)->follow); // kept with the address's settings
        busy = true;
        follower->pageLoaded();
        QVERIFY(probe.asked.isEmpty());
        busy = false;
        follower->pageLoaded();
        QCOMPARE(probe.asked.size(), 2);
        QCOMPARE(probe.asked[0].address, Page);
        QCOMPARE(probe.asked[1].address, Picture);
        QCOMPARE(probe.asked[0].how, UpdateCheck::Ask::Head);
        probe.answerAll(tag("\"v1\""));
        follower->pageLoaded(); // the same page again: what the site said is still the one to compare with
        QVERIFY(probe.asked.isEmpty());
        follower->setFollowed(Page, false);
        QVERIFY(watch.siteSettings(Page) == nullptr); // an address that keeps nothing has no entry
        follower->setFollowAll(true);
        QVERIFY(follower->followed(QStringLiteral("https://any.example/")));

        // Once a minute at most: the period's question does not follow the first load's at once.
        SiteFollower minutely(
            {watch, probe, [] { return Page; }, [] { return QString(); }, [] { return false; }});
        minutely.setFollowAll(true);
        minutely.pageLoaded();
        QCOMPARE(probe.asked.size(), 1);
        probe.answerAll(tag("\"v1\""));
        minutely.check();
        QVERIFY(probe.asked.isEmpty());
    }

    // Rounds in turn: what the site answers, and what the follower makes of it.
    void rounds()
    {
        follower->setFollowed(Page, true);
        QSignalSpy seen(follower.get(), &SiteFollower::changeSeen);
        QSignalSpy said(follower.get(), &SiteFollower::said);
        const struct
        {
            UpdateCheck::Answer page, picture;
            int seen; // changeSeen in all, so far
        } rows[] = {
            {tag("\"p1\""), tag("\"i1\""), 0}, // the first answers: nothing to compare with
            {code(304), code(304), 0},         {code(0), code(0), 0}, // no answer says nothing
            {code(304), tag("\"i2\""), 1},                            // a new picture
            {code(304), code(304), 1},                                // compared with the new one from now on
            {tag("\"p2\""), tag("\"i2\""), 2},
        };
        for (const auto& r : rows) {
            follower->check();
            QCOMPARE(probe.asked.size(), 2);
            QCOMPARE(probe.asked[0].how,
                     probe.asked[0].etag.isEmpty() ? UpdateCheck::Ask::Head : UpdateCheck::Ask::Conditional);
            probe.asked[0].done(r.page);
            probe.asked[1].done(r.picture);
            probe.asked.clear();
            QCOMPARE(seen.size(), r.seen);
        }
        QVERIFY(said.isEmpty());
    }

    // A site that gives nothing to compare is said once; a page that changes by itself, twice
    // without a new picture, is asked no more.
    void cannotBeFollowed()
    {
        follower->setFollowed(Page, true);
        QSignalSpy said(follower.get(), &SiteFollower::said);
        picture.clear();
        for (int round = 0; round < 2; ++round) {
            follower->check();
            probe.answerAll({200, {}, {}, -1});
        }
        QCOMPARE(said.size(), 1);
        QCOMPARE(said[0][0].toString(),
                 QStringLiteral("This site cannot be followed; it is refreshed every 10 minutes"));

        init();
        follower->setFollowed(Page, true);
        QSignalSpy seen(follower.get(), &SiteFollower::changeSeen);
        int serial = 0;
        const auto round = [&] {
            follower->check();
            for (const HeldProbe::Question& q : std::exchange(probe.asked, {})) {
                q.done(q.address == Page ? tag(QByteArray::number(++serial).constData()) : code(304));
            }
        };
        picture.clear();
        round(); // the first answer
        for (int change = 0; change < 2; ++change) {
            round();
            follower->pictureCompared(false); // the refresh found the same picture
        }
        QCOMPARE(seen.size(), 2);
        follower->check();
        QVERIFY(probe.asked.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSiteFollower)
#include "tst_SiteFollower.moc"
