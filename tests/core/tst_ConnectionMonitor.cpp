#include "PreparedMessageBoxes.h"
#include "ScriptedProbe.h"
#include "TableRows.h"
#include "core/ConnectionMonitor.h"

namespace {

using A = MessageBoxes::Answer;
const QString kNotConfigured = QStringLiteral(
    "iNet Functions Are Not Configured\nClick The -Menu- Button And\nThen -INet Functions- To Change.");
const QString kConnected = QStringLiteral("You Are CONNECTED To The Internet");
const QString kOffer =
    QStringLiteral("You Are NOT CONNECTED To The Internet\nDo You Want An iNet Dial-Up Window?");
const QString kNoDialer = QStringLiteral("The probe's own words for a refusal");
const QString kAskOn = QStringLiteral(
    "InternetConnectionState Detection Functions Are\nCurrently Enabled. Do You Want To Disable Them?");
const QString kAskOff = QStringLiteral(
    "InternetConnectionState Detection Functions Are\nCurrently Disabled. Do You Want To Enable Them?");
const QString kWillDisable =
    QStringLiteral("iNet Functions Will Be Disabled The Next Time\nThat You Start The Skyvane");
const QString kWillEnable =
    QStringLiteral("iNet Functions Will Be Enabled The Next Time\nThat You Start The Skyvane");

const QStringList kAskTwice = {kAskOn, kWillDisable, kAskOn, kWillDisable};

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

    // Steps: a = activate, p = poll, c = click, r = redial check, s = the menu's switch; each followed
    // by the probe state it sees, N (network link), M (modem link) or - (no connection), when it queries.
    void play(const QString& steps)
    {
        for (const QString& step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (step.size() > 1) {
                probe.script.append({step.at(1) != QLatin1Char('-'), step.at(1) == QLatin1Char('M')});
            }
            const char c = step.at(0).toLatin1();
            c == 'a'   ? monitor->activate()
            : c == 'p' ? monitor->checkConnection()
            : c == 'c' ? monitor->click()
            : c == 'r' ? monitor->redialCheck()
                       : monitor->switchForNextStart();
        }
    }
};

const struct Row
{
    const char *name, *steps, *pictures;
    int disabled, down, modem, autodials, queries, pollStops, next;
    QStringList shown;
    QList<A> answers;
} kRows[] = {
    {"connected: picture never replaced", "aN pN pN", "", 0, 0, 0, 0, 3, 0, 0, {}, {}},
    {"network lost and back", "aN p- p- pN", "RG", 0, 0, 0, 0, 4, 0, 0, {}, {}},
    {"modem bit remembered after loss", "aM p-", "R", 0, 1, 1, 0, 2, 0, 0, {}, {}},
    {"lost network: click asks, yes dials", "aN p- c-", "R", 0, 1, 0, 1, 3, 0, 0, {kOffer}, {}},
    {"lost network: click asks, no", "a- c-", "R", 0, 1, 0, 0, 2, 0, 0, {kOffer}, {A::No}},
    {"nothing to dial is said", "a- c-", "R", 0, 1, 0, 1, 2, 0, 0, {kOffer, kNoDialer}, {A::Yes}},
    {"lost network: refresh does not redial", "aN p- r-", "R", 0, 1, 0, 0, 3, 0, 0, {}, {}},
    {"lost modem: click dials at once", "aM p- c-", "R", 0, 1, 1, 1, 3, 0, 0, {}, {}},
    {"lost modem: refresh redials", "aM p- r- r-", "R", 0, 1, 1, 2, 4, 0, 0, {}, {}},
    {"redial check notes the link kind", "aN rM p- r-", "R", 0, 1, 1, 1, 4, 0, 0, {}, {}},
    {"click while connected: message, picture left", "a- cM", "R", 0, 1, 1, 0, 2, 0, 0, {kConnected}, {}},
    {"functions off: grey once, poll stopped", "a a c", "Y", 7, 1, 0, 0, 0, 1, 7, {kNotConfigured}, {}},
    {"switch on, yes", "s", "", 0, 0, 0, 0, 0, 0, 1, {kAskOn, kWillDisable}, {A::Yes, A::Ok}},
    {"switch on, no", "s", "", 0, 0, 0, 0, 0, 0, 0, {kAskOn}, {A::No}},
    {"switch on, cancel", "s", "", 0, 0, 0, 0, 0, 0, 0, {kAskOn}, {A::Cancel}},
    {"switch off (7), yes", "s", "", 7, 0, 0, 0, 0, 0, 0, {kAskOff, kWillEnable}, {A::Yes, A::Ok}},
    {"switch twice asks the same", "s s", "", 0, 0, 0, 0, 0, 0, 1, kAskTwice, {A::Yes, A::Ok, A::Yes, A::Ok}},
};

} // namespace

class TestConnectionMonitor : public QObject
{
    Q_OBJECT
private slots:
    void stateMachine_data() { addTableRows(kRows); }
    void stateMachine()
    {
        QFETCH(int, row);
        const Row& r = kRows[row];
        Run run{qint16(r.disabled)};
        run.messages.answers = r.answers;
        run.probe.dialFailure = r.shown.size() > 1 && r.shown[1] == kNoDialer ? kNoDialer : QString();
        run.play(QLatin1String(r.steps));
        QCOMPARE(run.pictures, QLatin1String(r.pictures));
        QCOMPARE(int(run.monitor->indicatorDown()), r.down);
        QCOMPARE(int(run.monitor->viaModem()), r.modem);
        QCOMPARE(run.probe.autodials, r.autodials);
        QCOMPARE(run.messages.shown, r.shown);
        QCOMPARE(run.probe.queries, r.queries);
        QCOMPARE(run.pollStops, r.pollStops);
        QCOMPARE(int(run.settings.INetDisabledNext), r.next);
        QCOMPARE(int(run.settings.INetDisabled), r.disabled); // the running program is unchanged
        // The offer to dial asks Yes or No; the switch's question can also be cancelled.
        QVERIFY(!r.shown.startsWith(kOffer) ||
                run.messages.shownButtons.first() == MessageBoxes::Buttons::YesNo);
        QVERIFY(!r.shown.startsWith(kAskOn) ||
                run.messages.shownButtons.first() == MessageBoxes::Buttons::YesNoCancel);
    }
};

QTEST_GUILESS_MAIN(TestConnectionMonitor)
#include "tst_ConnectionMonitor.moc"
