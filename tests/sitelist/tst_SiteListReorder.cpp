#include "core/SiteListReorder.h"

#include <QStringList>
#include <QTest>

namespace {

// Applies a move to rows the way the editor does: take the row out, insert it at the target.
QString apply(SiteListReorder::Move move, const QString& rows, int selected, int* newSelected)
{
    QStringList list = rows.split(QLatin1Char(','), Qt::SkipEmptyParts);
    const std::optional<int> t = SiteListReorder::target(move, selected, int(list.size()));
    *newSelected = selected;
    if (t) {
        const QString row = list.takeAt(selected - 1);
        list.insert(*t - 1, row);
        *newSelected = *t;
    }
    return list.join(QLatin1Char(','));
}

} // namespace

class TestSiteListReorder : public QObject
{
    Q_OBJECT
private slots:
    void moves_data()
    {
        using M = SiteListReorder::Move;
        QTest::addColumn<int>("move");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("newSelected");
        const QString abcd = QStringLiteral("A,B,C,D");
        QTest::newRow("C up") << int(M::Up) << abcd << 3 << "A,C,B,D" << 2;
        QTest::newRow("C down") << int(M::Down) << abcd << 3 << "A,B,D,C" << 4;
        QTest::newRow("C top") << int(M::ToTop) << abcd << 3 << "C,A,B,D" << 1;
        QTest::newRow("C bottom") << int(M::ToBottom) << abcd << 3 << "A,B,D,C" << 4;
        QTest::newRow("A up: nothing") << int(M::Up) << abcd << 1 << "A,B,C,D" << 1;
        QTest::newRow("A top: nothing") << int(M::ToTop) << abcd << 1 << "A,B,C,D" << 1;
        QTest::newRow("A down") << int(M::Down) << abcd << 1 << "B,A,C,D" << 2;
        QTest::newRow("A bottom") << int(M::ToBottom) << abcd << 1 << "B,C,D,A" << 4;
        QTest::newRow("D down: nothing") << int(M::Down) << abcd << 4 << "A,B,C,D" << 4;
        QTest::newRow("D bottom: nothing") << int(M::ToBottom) << abcd << 4 << "A,B,C,D" << 4;
        QTest::newRow("D up") << int(M::Up) << abcd << 4 << "A,B,D,C" << 3;
        QTest::newRow("D top") << int(M::ToTop) << abcd << 4 << "D,A,B,C" << 1;
        QTest::newRow("single row") << int(M::Down) << "A" << 1 << "A" << 1;
        QTest::newRow("single row top") << int(M::ToTop) << "A" << 1 << "A" << 1;
        QTest::newRow("none selected") << int(M::Up) << abcd << 0 << "A,B,C,D" << 0;
    }
    void moves()
    {
        QFETCH(int, move);
        QFETCH(QString, rows);
        QFETCH(int, selected);
        int newSelected = -1;
        QTEST(apply(SiteListReorder::Move(move), rows, selected, &newSelected), "result");
        QTEST(newSelected, "newSelected");
    }
};

QTEST_GUILESS_MAIN(TestSiteListReorder)
#include "tst_SiteListReorder.moc"
