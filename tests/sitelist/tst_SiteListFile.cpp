#include "TestFiles.h"
#include "core/SiteListFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
    void recordCount_data()
    {
        QTest::addColumn<qint64>("length");
        QTest::addColumn<qint64>("count");
        QTest::newRow("0") << qint64(0) << qint64(0);
        QTest::newRow("199") << qint64(199) << qint64(0);
        QTest::newRow("200 half to even 0") << qint64(200) << qint64(0);
        QTest::newRow("201") << qint64(201) << qint64(1);
        QTest::newRow("400") << qint64(400) << qint64(1);
        QTest::newRow("600 half to even 2") << qint64(600) << qint64(2);
        QTest::newRow("1000 half to even 2") << qint64(1000) << qint64(2);
        QTest::newRow("1200") << qint64(1200) << qint64(3);
        QTest::newRow("1400 half to even 4") << qint64(1400) << qint64(4);
    }
    void recordCount()
    {
        QFETCH(qint64, length);
        QFETCH(qint64, count);
        QCOMPARE(SiteListFile::recordCount(length), count);
    }

    void codec_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("nameBack");
        QTest::addColumn<QString>("urlBack");
        const QString url260 = QStringLiteral("http://x/") + QString(251, QLatin1Char('u'));
        QTest::newRow("plain") << "Radar"
                               << "https://radar.example/"
                               << "Radar"
                               << "https://radar.example/";
        QTest::newRow("leading spaces") << "  Radar"
                                        << "  https://r/  "
                                        << "Radar"
                                        << "https://r/";
        QTest::newRow("260 address") << "n" << url260 << "n" << url260;
        QTest::newRow("261 address cut") << "n" << url260 + QLatin1Char('z') << "n" << url260;
        QTest::newRow("141 name cut")
            << QString(141, QLatin1Char('a')) << "" << QString(140, QLatin1Char('a')) << "";
        QTest::newRow("empty") << ""
                               << ""
                               << ""
                               << "";
        QTest::newRow("code page") << QStringLiteral("M\u00e9t\u00e9o \u20ac \u4e2d") << "u"
                                   << QStringLiteral("M\u00e9t\u00e9o \u20ac ?") << "u";
    }
    void codec()
    {
        QFETCH(QString, name);
        QFETCH(QString, url);
        const QByteArray bytes = SiteRecord{name, url}.encode();
        QCOMPARE(bytes.size(), 400);
        const SiteRecord back = SiteRecord::decode(bytes);
        QTEST(back.Name, "nameBack");
        QTEST(back.URL, "urlBack");
    }

    void byteLayout()
    {
        const QByteArray bytes = SiteRecord{QStringLiteral("Radar"), QStringLiteral("http://r/")}.encode();
        QCOMPARE(bytes, record("Radar", "http://r/"));
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
        const QList<SiteRecord> all = file.readAll();
        QCOMPARE(all.size(), 3);
        QCOMPARE(all[0], (SiteRecord{QStringLiteral("Radar"), QStringLiteral("http://a/")}));
        QCOMPARE(all[2].URL, QStringLiteral("http://c/"));
        QCOMPARE(file.readRecord(2)->URL, QStringLiteral("http://b/"));
        QVERIFY(!file.readRecord(4));
        QVERIFY(!file.readRecord(0));

        // 1000 bytes: two whole records and half of a third, which the count drops.
        TestFiles::write(path, TestFiles::read(path).left(1000));
        QCOMPARE(file.readAll().size(), 2);
        QVERIFY(!file.readRecord(3));

        // 600 bytes: the partial second record counts and reads padded with spaces.
        TestFiles::write(path, record("One", "http://1/") + QByteArray("Partial").leftJustified(200, ' '));
        QCOMPARE(file.readAll().size(), 2);
        QCOMPARE(file.readRecord(2)->Name, QStringLiteral("Partial"));
        QCOMPARE(file.readRecord(2)->URL, QString());
    }

    void directoryInPlaceOfTheFile()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("SiteList.dab")));
        const SiteListFile file(dir.filePath(QStringLiteral("SiteList.dab")));
        QVERIFY(file.readAll().isEmpty());
        QVERIFY(!file.readRecord(1));
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
        QVERIFY(file.writeAll({})); // nothing to delete is no failure
    }

    void aFailedSaveLeavesTheOldFileWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("SiteList.dab"));
        const QByteArray old = record("A", "http://a/") + record("B", "http://b/");
        TestFiles::write(path, old);
        const QList<SiteRecord> ten(10, SiteRecord{QStringLiteral("Site"), QStringLiteral("http://s/")});
        QVERIFY(!TestFiles::savesUnderFileLimit(1000, [&] { return SiteListFile(path).writeAll(ten); }));
        QCOMPARE(TestFiles::read(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"SiteList.dab"});
    }
};

QTEST_GUILESS_MAIN(TestSiteListFile)
#include "tst_SiteListFile.moc"
