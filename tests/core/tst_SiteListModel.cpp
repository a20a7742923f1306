#include "TableRows.h"
#include "core/SiteListModel.h"

#include <functional>

namespace {

using Move = SiteListReorder::Move;

// The list ABCD: a move of the row at a position, the order after it and the moved row's new row.
struct MoveRow
{
    const char* name;
    Move move;
    int position;
    const char* order;
    int row; // -1: the move does not act
};

const MoveRow kMoves[] = {
    {"up", Move::Up, 3, "ACBD", 1},
    {"down", Move::Down, 3, "ABDC", 3},
    {"to top", Move::ToTop, 3, "CABD", 0},
    {"to bottom", Move::ToBottom, 2, "ACDB", 3},
    {"first up", Move::Up, 1, "ABCD", -1},
    {"last down", Move::Down, 4, "ABCD", -1},
    {"first to top", Move::ToTop, 1, "ABCD", -1},
    {"none selected", Move::ToBottom, 0, "ABCD", -1},
};

QList<SiteRecord> sites(const char* names)
{
    QList<SiteRecord> out;
    for (const char* c = names; *c != '\0'; ++c) {
        const QString name = QString(QLatin1Char(*c));
        out.append(SiteRecord{name, QStringLiteral("http://%1/").arg(name.toLower())});
    }
    return out;
}

} // namespace

// The editor's rows: two columns, the name edited in place, and every change told by the flag.
class TestSiteListModel : public QObject
{
    Q_OBJECT
private slots:
    void moves_data() { addTableRows(kMoves); }
    void moves()
    {
        QFETCH(int, row);
        const MoveRow& r = kMoves[row];
        SiteListModel model;
        model.setSites(sites("ABCD"));
        const std::optional<int> moved = model.move(r.move, r.position);
        QCOMPARE(moved.value_or(-1), r.row);
        QCOMPARE(model.sites(), sites(r.order)); // each address stays with its name
        QCOMPARE(model.changed(), r.row >= 0);
    }

    void editsAndTheChangedFlag()
    {
        SiteListModel model;
        model.setSites(sites("AB"));
        QCOMPARE((QList<int>{model.rowCount(), model.columnCount()}), (QList<int>{2, 2}));
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral(" Name"));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("URL"));
        QCOMPARE(model.data(model.index(1, 1)).toString(), QStringLiteral("http://b/"));
        QVERIFY(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsEditable));
        QVERIFY(!model.flags(model.index(0, 1)).testFlag(Qt::ItemIsEditable)); // the address stays
        QVERIFY(!model.setData(model.index(0, 1), QStringLiteral("http://x/")));
        QVERIFY(!model.remove(2) && !model.changed());

        // Each edit sets the flag; a list set afresh clears it.
        const std::function<void(SiteListModel&)> edits[] = {
            [](SiteListModel& m) {
                m.add(SiteRecord{QStringLiteral("C"), QStringLiteral("http://c/")});
            },
            [](SiteListModel& m) { m.remove(0); },
            [](SiteListModel& m) { m.setData(m.index(1, 0), QStringLiteral("B")); }, // the same name too
        };
        for (const auto& edit : edits) {
            model.setSites(sites("AB"));
            edit(model);
            QVERIFY(model.changed());
        }
        QCOMPARE(model.names(), (QStringList{"A", "B"}));
        model.setSites(sites("AB"));
        QVERIFY(!model.changed());
    }
};

QTEST_GUILESS_MAIN(TestSiteListModel)
#include "tst_SiteListModel.moc"
