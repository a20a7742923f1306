#include "TestFiles.h"
#include "core/AtomicFile.h"
#include "core/LiveSettings.h"
#include "core/SettingsFile.h"
#include "core/SettingsRecord.h"
#include "core/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <bit>

namespace {

float floatAt(const QByteArray& b, int offset)
{
    return std::bit_cast<float>(qFromLittleEndian<quint32>(b.constData() + offset));
}

SettingsRecord sample()
{
    SettingsRecord r;
    r.MainLeft = 150;
    r.MainTop = -30;
    r.MainWidth = 9000.5f;
    r.MainHeight = 6000;
    r.EditorWidth = 7000;
    r.EditorHeight = 4000;
    r.INetDisabled = 7;
    r.StartPage = QStringLiteral("https://example.org/radar \u20ac");
    r.Reserved330 = {'\x01', '\x02', '\x03', '\x04'};
    r.Reserved334 = {'\xfe', '\xff'};
    r.FontName = QStringLiteral("DejaVu Sans");
    r.FontBold = -1;
    r.FontSize = 12.25f;
    return r;
}

} // namespace

class TestSettingsRecord : public QObject
{
    Q_OBJECT
private slots:
    void layoutOfEveryField()
    {
        const QByteArray b = sample().encode();
        QCOMPARE(b.size(), 470);
        QCOMPARE(floatAt(b, 0), 150.0f);
        QCOMPARE(floatAt(b, 4), -30.0f);
        QCOMPARE(floatAt(b, 8), 9000.5f);
        QCOMPARE(floatAt(b, 12), 6000.0f);
        QCOMPARE(floatAt(b, 16), 7000.0f);
        QCOMPARE(floatAt(b, 20), 4000.0f);
        QCOMPARE(qFromLittleEndian<qint16>(b.constData() + 24), qint16(7));
        QCOMPARE(b.mid(26, 4), QByteArray(4, '\0'));
        QCOMPARE(b.mid(30, 27), QByteArray("https://example.org/radar \x80"));
        QCOMPARE(b.mid(57, 273), QByteArray(273, ' '));
        QCOMPARE(b.mid(330, 6), QByteArray("\x01\x02\x03\x04\xfe\xff", 6));
        QCOMPARE(b.mid(336, 11), QByteArray("DejaVu Sans"));
        QCOMPARE(b.mid(347, 117), QByteArray(117, ' '));
        QCOMPARE(b.mid(464, 2), QByteArray("\xff\xff", 2));
        QCOMPARE(floatAt(b, 466), 12.25f);
    }

    void roundTrip()
    {
        const SettingsRecord r = SettingsRecord::decode(sample().encode());
        QCOMPARE(r.encode(), sample().encode());
        QCOMPARE(r.StartPage, sample().StartPage);
        QCOMPARE(r.FontName, QStringLiteral("DejaVu Sans"));
        QCOMPARE(r.INetDisabled, qint16(7));
    }

    void textFields_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("padded") << QStringLiteral("  C:\\Radar\\page.htm  ")
                                << QStringLiteral("C:\\Radar\\page.htm");
        QTest::newRow("350 chars cut to 300")
            << QString(350, QLatin1Char('a')) << QString(300, QLatin1Char('a'));
        QTest::newRow("exactly 300") << QString(300, QLatin1Char('b')) << QString(300, QLatin1Char('b'));
        QTest::newRow("tab kept") << QStringLiteral("\tpage\t") << QStringLiteral("\tpage\t");
        QTest::newRow("unmappable becomes ?")
            << QStringLiteral("r\u00e9gion \u4e2d") << QStringLiteral("r\u00e9gion ?");
        QTest::newRow("emoji one ?") << QStringLiteral("x\U0001F600y") << QStringLiteral("x?y");
    }
    void textFields()
    {
        QFETCH(QString, stored);
        QFETCH(QString, readBack);
        SettingsRecord r;
        r.StartPage = stored;
        r.FontName = stored;
        const SettingsRecord back = SettingsRecord::decode(r.encode());
        QCOMPARE(back.StartPage, readBack);
        QCOMPARE(back.FontName, readBack.left(128));
    }

    void boldValues_data()
    {
        QTest::addColumn<qint16>("raw");
        QTest::addColumn<bool>("bold");
        QTest::newRow("0") << qint16(0) << false;
        QTest::newRow("-1") << qint16(-1) << true;
        QTest::newRow("1") << qint16(1) << true;
        QTest::newRow("7") << qint16(7) << true;
    }
    void boldValues()
    {
        QFETCH(qint16, raw);
        QFETCH(bool, bold);
        QByteArray b(470, '\0');
        qToLittleEndian(raw, b.data() + 464);
        const LiveSettings live = LiveSettings::fromRecord(SettingsRecord::decode(b));
        QCOMPARE(live.FontBold, bold);
        const QByteArray out = live.toRecord(0, 0, 0, 0).encode();
        QCOMPARE(qFromLittleEndian<qint16>(out.constData() + 464), bold ? qint16(-1) : qint16(0));
    }

    void liveSettingsCarryReservedAndSwitch()
    {
        SettingsRecord stored = sample();
        LiveSettings live = LiveSettings::fromRecord(stored);
        QCOMPARE(live.INetDisabledNext, qint16(7));
        live.INetDisabledNext = 0;
        const SettingsRecord out = live.toRecord(1, 2, 3, 4);
        QCOMPARE(out.INetDisabled, qint16(0));
        QCOMPARE(out.Reserved330, stored.Reserved330);
        QCOMPARE(out.Reserved334, stored.Reserved334);
        QCOMPARE(out.MainLeft, 1.0f);
        QCOMPARE(out.MainHeight, 4.0f);
    }

    void codePageAgreesWithTheSystemConverter()
    {
        QStringDecoder system("windows-1252");
        if (!system.isValid()) {
            QSKIP("this Qt has no windows-1252 converter");
        }
        QByteArray all;
        for (int i = 0; i < 256; ++i) {
            all.append(char(i));
        }
        const QString ours = Windows1252::decode(all);
        const QString theirs = system.decode(all);
        for (int i = 0; i < 256; ++i) {
            if (ours.at(i) != theirs.at(i)) {
                // The five unassigned bytes may decode differently; they must still round-trip.
                QVERIFY2(i == 0x81 || i == 0x8d || i == 0x8f || i == 0x90 || i == 0x9d,
                         qPrintable(QString::number(i)));
            }
        }
        QCOMPARE(Windows1252::encode(ours), all);
    }

    void fileLoadCreatesEmptyFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Skyvn.ini"));
        const SettingsRecord r = SettingsFile(path).load();
        QVERIFY(QFile::exists(path));
        QCOMPARE(QFileInfo(path).size(), 0);
        QCOMPARE(r.MainWidth, 0.0f);
    }

    void fileSaveKeepsTrailingBytesAndWritesWholeRecord()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Skyvn.ini"));
        QByteArray old(500, 'z');
        TestFiles::write(path, old);
        QVERIFY(SettingsFile(path).save(sample()));
        const QByteArray now = TestFiles::read(path);
        QCOMPARE(now.size(), 500);
        QCOMPARE(now.left(470), sample().encode());
        QCOMPARE(now.mid(470), QByteArray(30, 'z'));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no temporary left behind
    }

    void diskFullKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Skyvn.ini"));
        TestFiles::write(path, QByteArray(500, 'z'));
        QVERIFY(!TestFiles::savesUnderFileLimit(300, [&] { return SettingsFile(path).save(sample()); }));
        QCOMPARE(TestFiles::read(path), QByteArray(500, 'z'));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Skyvn.ini"});
    }

    void unwritableDirectoryIsNotFatal()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing-folder/Skyvn.ini"));
        const SettingsRecord r = SettingsFile(path).load();
        QCOMPARE(r.MainWidth, 0.0f);
        QVERIFY(!SettingsFile(path).save(sample()));
        QVERIFY(!QFile::exists(path));
    }

    void directoryInPlaceOfTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Skyvn.ini"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Skyvn.ini")));
        QCOMPARE(SettingsFile(path).load().FontSize, 0.0f);
        QVERIFY(!SettingsFile(path).save(sample()));
        QVERIFY(QFileInfo(path).isDir());
    }
};

QTEST_GUILESS_MAIN(TestSettingsRecord)
#include "tst_SettingsRecord.moc"
