#include "TestFiles.h"
#include "core/SiteListFile.h"
#include "core/SiteListReorder.h"

#include <QTemporaryDir>

namespace {

QByteArray record(const QByteArray& name, const QByteArray& url)
{
    return name.leftJustified(140, ' ', true) + url.leftJustified(260, ' ', true);
}

} // namespace

class TestSiteListFile : public QObject
{
    Q_OBJECT
private slots:
    void recordCount()
    {
        // File length to records: a partial record rounds half to even.
        const qint64 rows[][2] = {{0, 0},   {199, 0},  {200, 0},  {201, 1}, {400, 1},
                                  {600, 2}, {1000, 2}, {1200, 3}, {1400, 4}};
        for (const auto& r : rows) {
            QCOMPARE(SiteListFile::recordCount(r[0]), r[1]);
        }
    }

    // The record's layout: the name's 140 bytes, then the address's 260, each cut there. (Padding and the
    // code page are the text fields' rules, tested with the settings record.)
    void codec()
    {
        const QString url260 = QStringLiteral("http://x/") + QString(251, QLatin1Char('u'));
        const SiteRecord longest{QString(141, QLatin1Char('a')), url260 + QLatin1Char('z')};
        QCOMPARE(SiteRecord::decode(longest.encode()), (SiteRecord{QString(140, QLatin1Char('a')), url260}));
        QCOMPARE((SiteRecord{QStringLiteral("Radar"), QStringLiteral("http://r/")}.encode()),
                 record("Radar", "http://r/"));
    }

    void readingFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("SiteList.dab"));
        const SiteListFile file(path);
        QVERIFY(file.readAll().isEmpty());
        QVERIFY(!file.readRecord(1));
        QVERIFY(!QFile::exists(path)); // readers never create it

        TestFiles::write(path, record("  Radar", "http://a/") + record("Same", "http://b/") +
                                   record("Same", "http://c/"));
        QCOMPARE(file.readAll().size(), 3);
        QCOMPARE(file.readAll().first(), (SiteRecord{QStringLiteral("Radar"), QStringLiteral("http://a/")}));
        QCOMPARE(file.readRecord(2)->URL, QStringLiteral("http://b/"));
        QVERIFY(!file.readRecord(4) && !file.readRecord(0));
        // 600 bytes: the partial second record counts (see the record count) and reads padded with spaces.
        TestFiles::write(path, record("One", "http://1/") + QByteArray("Partial").leftJustified(200, ' '));
        QCOMPARE(file.readRecord(2), (SiteRecord{QStringLiteral("Partial"), QString()}));
    }

    void writingReplacesOrDeletes()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("SiteList.dab"));
        const SiteListFile file(path);
        QVERIFY(file.writeAll(
            {{QStringLiteral("A"), QStringLiteral("http://a/")}, {QStringLiteral("B"), QString()}}));
        QCOMPARE(TestFiles::read(path), record("A", "http://a/") + record("B", ""));
        QVERIFY(file.writeAll({}));
        QVERIFY(!QFile::exists(path));
        QVERIFY(file.writeAll({})); // nothing to delete is no failure (a full disk: the settings file's test)
    }

    // Where the selected row of count rows goes; 0 when the move does nothing.
    void reorderTarget()
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

QTEST_GUILESS_MAIN(TestSiteListFile)
#include "tst_SiteListFile.moc"
