#pragma once

#include <QTest>

#include <cstddef>

// One QtTest row for each entry of a table of cases, named by the entry's `name` and carrying its
// index in the column "row": the test reads the entry back with QFETCH(int, row).
template <typename Row, std::size_t N> void addTableRows(const Row (&rows)[N])
{
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < N; ++i) {
        QTest::newRow(rows[i].name) << int(i);
    }
}
