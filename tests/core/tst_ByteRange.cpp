#include "core/ByteRange.h"

#include "TableRows.h"

#include <QTest>

namespace {

using K = ByteRange::Kind;
struct Row
{
    const char* name;
    const char* header;
    qint64 size;
    K kind;
    qint64 first, last;
};

const Row kRows[] = {
    {"no header", "", 1000, K::Whole, 0, -1},
    {"first bytes", "bytes=0-1", 1000, K::Part, 0, 1},
    {"to the end", "bytes=500-", 1000, K::Part, 500, 999},
    {"last bytes", "bytes=-300", 1000, K::Part, 700, 999},
    {"more last bytes than there are", "bytes=-5000", 1000, K::Part, 0, 999},
    {"past the end is cut", "bytes=900-5000", 1000, K::Part, 900, 999},
    {"spaces", " bytes=1-2 ", 1000, K::Part, 1, 2},
    {"starts past the end", "bytes=1000-", 1000, K::Unsatisfiable, 0, -1},
    {"no last bytes", "bytes=-0", 1000, K::Unsatisfiable, 0, -1},
    {"several ranges", "bytes=0-1,5-6", 1000, K::Whole, 0, -1},
    {"another unit", "items=0-1", 1000, K::Whole, 0, -1},
    {"backwards", "bytes=5-1", 1000, K::Whole, 0, -1},
    {"signed", "bytes=+1-2", 1000, K::Whole, 0, -1},
    {"too large to count", "bytes=99999999999999999999-", 1000, K::Whole, 0, -1},
};

} // namespace

// Which part of a loop a player's Range header asks for.
class TestByteRange : public QObject
{
    Q_OBJECT
private slots:
    void of_data() { addTableRows(kRows); }
    void of()
    {
        QFETCH(int, row);
        const Row& r = kRows[row];
        const ByteRange range = ByteRange::of(r.header, r.size);
        QCOMPARE(range.kind, r.kind);
        QCOMPARE((QList<qint64>{range.first, range.last}), (QList<qint64>{r.first, r.last}));
    }
};

QTEST_GUILESS_MAIN(TestByteRange)
#include "tst_ByteRange.moc"
