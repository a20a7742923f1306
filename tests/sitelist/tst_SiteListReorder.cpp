#include "core/SiteListReorder.h"

#include <QTest>

class TestSiteListReorder : public QObject
{
    Q_OBJECT
private slots:
    // Where the selected row of count rows goes; 0 when the move does nothing.
    void target()
    {
        using M = SiteListReorder::Move;
        const struct
        {
            M move;
            int selected, count, target;
        } rows[] = {
            {M::Up, 3, 4, 2},       {M::Down, 3, 4, 4},  {M::ToTop, 3, 4, 1},    {M::ToBottom, 3, 4, 4},
            {M::Up, 1, 4, 0},       {M::ToTop, 1, 4, 0}, {M::ToBottom, 1, 4, 4}, {M::Down, 4, 4, 0},
            {M::ToBottom, 4, 4, 0}, {M::Up, 4, 4, 3},    {M::Down, 1, 1, 0}, // a single row
            {M::Up, 0, 4, 0},                                                // none selected
            {M::Up, 5, 4, 0},                                                // past the end
        };
        for (const auto& r : rows) {
            QCOMPARE(SiteListReorder::target(r.move, r.selected, r.count).value_or(0), r.target);
        }
    }
};

QTEST_GUILESS_MAIN(TestSiteListReorder)
#include "tst_SiteListReorder.moc"
