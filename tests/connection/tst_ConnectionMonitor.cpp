#include "PreparedMessageBoxes.h"
#include "ScriptedProbe.h"
#include "core/ConnectionMonitor.h"

#include <QTest>

namespace {

const QString kNotConfigured = QStringLiteral(
    "iNet Functions Are Not Configured\nClick The -Menu- Button And\nThen -INet Functions- To Change.");
const QString kConnected = QStringLiteral("You Are CONNECTED To The Internet");
const QString kOffer =
    QStringLiteral("You Are NOT CONNECTED To The Internet\nDo You Want An iNet Dial-Up Window?");

struct Run
{
    LiveSettings settings;
    ScriptedProbe probe;
    PreparedMessageBoxes messages;
    QString pictures; // G, R, Y (grey) in the order shown
    int pollStops = 0;
    std::unique_ptr<ConnectionMonitor> monitor;

    explicit Run(qint16 disabled)
    {
        settings.INetDisabled = disabled;
        settings.INetDisabledNext = disabled;
        monitor = std::make_unique<ConnectionMonitor>(
            settings, probe, messages,
            ConnectionMonitor::Indicator{
                [this](ConnectionMonitor::Picture p) { pictures += QStringLiteral("GRY").at(int(p)); },
                [this] { ++pollStops; }});
    }

    // Steps: a = activate, p = poll, c = click, r = redial check; each followed by the probe state it
    // sees, N (network link), M (modem link) or - (no connection), when it queries.
    void play(const QString& steps)
    {
        for (const QString& step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (step.size() > 1) {
                const QChar s = step.at(1);
                probe.script.append({s != QLatin1Char('-'), s == QLatin1Char('M')});
            }
            switch (step.at(0).toLatin1()) {
            case 'a':
                monitor->activate();
                break;
            case 'p':
                monitor->CheckConnection();
                break;
            case 'c':
                monitor->click();
                break;
            case 'r':
                monitor->redialCheck();
                break;
            default:
                QFAIL("unknown step");
            }
        }
    }
};

} // namespace

class TestConnectionMonitor : public QObject
{
    Q_OBJECT
private slots:
    void stateMachine_data()
    {
        QTest::addColumn<int>("disabled");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("pictures");
        QTest::addColumn<int>("indicatorDown");
        QTest::addColumn<int>("viaModem");
        QTest::addColumn<int>("autodials");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("queries");
        QTest::addColumn<int>("pollStops");
        const struct
        {
            const char *name, *steps, *pictures;
            int disabled, down, modem, autodials;
            QStringList shown;
            int queries, pollStops;
        } rows[] = {
            {"connected: picture never replaced", "aN pN pN", "", 0, 0, 0, 0, {}, 3, 0},
            {"network lost and back", "aN p- p- pN", "RG", 0, 0, 0, 0, {}, 4, 0},
            {"modem bit remembered after loss", "aM p-", "R", 0, 1, 1, 0, {}, 2, 0},
            {"lost network: click asks, yes dials", "aN p- c-", "R", 0, 1, 0, 1, {kOffer}, 3, 0},
            {"lost network: refresh does not redial", "aN p- r-", "R", 0, 1, 0, 0, {}, 3, 0},
            {"lost modem: click dials at once", "aM p- c-", "R", 0, 1, 1, 1, {}, 3, 0},
            {"lost modem: refresh redials", "aM p- r- r-", "R", 0, 1, 1, 2, {}, 4, 0},
            {"redial check notes the link kind", "aN rM p- r-", "R", 0, 1, 1, 1, {}, 4, 0},
            {"click while connected: message, picture left", "a- cM", "R", 0, 1, 1, 0, {kConnected}, 2, 0},
            {"functions off: grey once, poll stopped, click explains",
             "a a c",
             "Y",
             7,
             1,
             0,
             0,
             {kNotConfigured},
             0,
             1},
        };
        for (const auto& r : rows) {
            QTest::newRow(r.name) << r.disabled << r.steps << r.pictures << r.down << r.modem << r.autodials
                                  << r.shown << r.queries << r.pollStops;
        }
    }
    void stateMachine()
    {
        QFETCH(int, disabled);
        QFETCH(QString, steps);
        Run run{qint16(disabled)};
        run.play(steps);
        QTEST(run.pictures, "pictures");
        QTEST(int(run.monitor->indicatorDown()), "indicatorDown");
        QTEST(int(run.monitor->viaModem()), "viaModem");
        QTEST(run.probe.autodials, "autodials");
        QTEST(run.messages.shown, "shown");
        QTEST(run.probe.queries, "queries");
        QTEST(run.pollStops, "pollStops");
    }

    void offerAnsweredNo()
    {
        Run run(0);
        run.messages.answers = {MessageBoxes::Answer::No};
        run.play("a- c-");
        QCOMPARE(run.probe.autodials, 0);
        QCOMPARE(run.messages.shownButtons, QList<MessageBoxes::Buttons>{MessageBoxes::Buttons::YesNo});
    }

    void nothingToDialIsSaid()
    {
        Run run(0);
        run.probe.canDial = false;
        run.play("a- c-");
        QCOMPARE(run.probe.autodials, 1);
        QCOMPARE(run.messages.shown,
                 (QStringList{kOffer, QStringLiteral("No dial-up or network settings program was found.")}));
    }

    void menuSwitch_data()
    {
        using A = MessageBoxes::Answer;
        QTest::addColumn<int>("disabled");
        QTest::addColumn<QList<MessageBoxes::Answer>>("answers");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("next");
        const QString askOn = QStringLiteral("InternetConnectionState Detection Functions Are\nCurrently "
                                             "Enabled. Do You Want To Disable Them?");
        const QString askOff = QStringLiteral("InternetConnectionState Detection Functions Are\nCurrently "
                                              "Disabled. Do You Want To Enable Them?");
        const QString willDisable =
            QStringLiteral("iNet Functions Will Be Disabled The Next Time\nThat You Start The Skyvane");
        const QString willEnable =
            QStringLiteral("iNet Functions Will Be Enabled The Next Time\nThat You Start The Skyvane");
        QTest::newRow("on, yes") << 0 << QList<A>{A::Yes, A::Ok} << QStringList{askOn, willDisable} << 1;
        QTest::newRow("on, no") << 0 << QList<A>{A::No} << QStringList{askOn} << 0;
        QTest::newRow("on, cancel") << 0 << QList<A>{A::Cancel} << QStringList{askOn} << 0;
        QTest::newRow("off (7), yes") << 7 << QList<A>{A::Yes, A::Ok} << QStringList{askOff, willEnable} << 0;
        QTest::newRow("on, yes twice asks the same")
            << 0 << QList<A>{A::Yes, A::Ok, A::Yes, A::Ok}
            << QStringList{askOn, willDisable, askOn, willDisable} << 1;
    }
    void menuSwitch()
    {
        QFETCH(int, disabled);
        QFETCH(QList<MessageBoxes::Answer>, answers);
        Run run{qint16(disabled)};
        run.messages.answers = answers;
        const int times = answers.size() > 2 ? 2 : 1;
        for (int i = 0; i < times; ++i) {
            run.monitor->switchForNextStart();
        }
        QTEST(run.messages.shown, "shown");
        QTEST(int(run.settings.INetDisabledNext), "next");
        QCOMPARE(int(run.settings.INetDisabled), disabled); // the running program is unchanged
        QCOMPARE(run.messages.shownButtons.first(), MessageBoxes::Buttons::YesNoCancel);
        QVERIFY(run.pictures.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestConnectionMonitor)
#include "tst_ConnectionMonitor.moc"
