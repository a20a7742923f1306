#include "core/CrashEscalation.h"

#include <QTest>

class TestCrashEscalation : public QObject
{
    Q_OBJECT
private slots:
    void steps()
    {
        using Step = CrashEscalation::Step;
        constexpr qint64 Min = 60 * 1000;
        const struct
        {
            const char* name;
            bool supervised;
            QList<qint64> minutes; // when each crash came
            QList<Step> steps;
        } rows[] = {
            {"four crashes are reloaded",
             true,
             {0, 1, 2, 3},
             {Step::Reload, Step::Reload, Step::Reload, Step::Reload}},
            {"the fifth within half an hour makes the page anew",
             true,
             {0, 1, 2, 3, 29},
             {Step::Reload, Step::Reload, Step::Reload, Step::Reload, Step::FreshPage}},
            {"five spread wider are not counted together",
             true,
             {0, 10, 20, 30, 40, 50},
             {Step::Reload, Step::Reload, Step::Reload, Step::Reload, Step::Reload, Step::Reload}},
            {"the fresh page crashing within half an hour ends a supervised program",
             true,
             {0, 1, 2, 3, 4, 20},
             {Step::Reload, Step::Reload, Step::Reload, Step::Reload, Step::FreshPage, Step::Exit}},
            {"an unsupervised one goes on with the pauses",
             false,
             {0, 1, 2, 3, 4, 20, 25},
             {Step::Reload, Step::Reload, Step::Reload, Step::Reload, Step::FreshPage, Step::Reload,
              Step::Reload}},
            {"a fresh page that ran half an hour starts the count again",
             true,
             {0, 1, 2, 3, 4, 40, 41},
             {Step::Reload, Step::Reload, Step::Reload, Step::Reload, Step::FreshPage, Step::Reload,
              Step::Reload}},
        };
        for (const auto& r : rows) {
            CrashEscalation escalation(r.supervised);
            QList<Step> got;
            for (const qint64 m : r.minutes) {
                got.append(escalation.crashed(m * Min));
            }
            QVERIFY2(got == r.steps, r.name);
        }
    }
};

QTEST_GUILESS_MAIN(TestCrashEscalation)
#include "tst_CrashEscalation.moc"
