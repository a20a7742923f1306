#include "core/SiteListReorder.h"

#include <QTest>

class TestSiteListReorder : public QObject
{
    Q_OBJECT
private slots:
    // Where the selected row of count rows goes; 0 when the move does nothing.
    void target_data()
    {
        using M = SiteListReorder::Move;
        QTest::addColumn<int>("move");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("target");
        const struct
        {
            const char* name;
            M move;
            int selected, count, target;
        } rows[] = {
            {"3 up", M::Up, 3, 4, 2},           {"3 down", M::Down, 3, 4, 4},
            {"3 top", M::ToTop, 3, 4, 1},       {"3 bottom", M::ToBottom, 3, 4, 4},
            {"1 up", M::Up, 1, 4, 0},           {"1 top", M::ToTop, 1, 4, 0},
            {"1 bottom", M::ToBottom, 1, 4, 4}, {"4 down", M::Down, 4, 4, 0},
            {"4 bottom", M::ToBottom, 4, 4, 0}, {"4 up", M::Up, 4, 4, 3},
            {"a single row", M::Down, 1, 1, 0}, {"none selected", M::Up, 0, 4, 0},
            {"past the end", M::Up, 5, 4, 0},
        };
        for (const auto& r : rows) {
            QTest::newRow(r.name) << int(r.move) << r.selected << r.count << r.target;
        }
    }
    void target()
    {
        QFETCH(int, move);
        QFETCH(int, selected);
        QFETCH(int, count);
        QTEST(SiteListReorder::target(SiteListReorder::Move(move), selected, count).value_or(0), "target");
    }
};

QTEST_GUILESS_MAIN(TestSiteListReorder)
#include "tst_SiteListReorder.moc"
