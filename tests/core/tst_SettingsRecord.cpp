#include "TestFiles.h"
#include "core/LiveSettings.h"
#include "core/SettingsFile.h"
#include "core/SettingsMerge.h"
#include "core/SettingsRecord.h"

#include <QTemporaryDir>
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
        QList<float> floats;
        for (int off : {0, 4, 8, 12, 16, 20, 466}) {
            floats << floatAt(b, off);
        }
        QCOMPARE(floats, (QList<float>{150, -30, 9000.5f, 6000, 7000, 4000, 12.25f}));
        QCOMPARE(qFromLittleEndian<qint16>(b.constData() + 24), qint16(7));
        QCOMPARE(b.mid(26, 4), QByteArray(4, '\0'));
        QCOMPARE(b.mid(30, 300), QByteArray("https://example.org/radar \x80").leftJustified(300, ' '));
        QCOMPARE(b.mid(330, 6), QByteArray("\x01\x02\x03\x04\xfe\xff", 6));
        QCOMPARE(b.mid(336, 128), QByteArray("DejaVu Sans").leftJustified(128, ' '));
        QCOMPARE(b.mid(464, 2), QByteArray("\xff\xff", 2));
        QCOMPARE(SettingsRecord::decode(b).encode(), b);
        QCOMPARE(SettingsRecord::decode(b).StartPage, sample().StartPage);
    }

    void textFields()
    {
        // Stored, read back: padding trimmed, cut at the field's length, the code page's '?'.
        const QString rows[][2] = {
            {"  C:\\Radar\\page.htm  ", "C:\\Radar\\page.htm"},
            {QString(350, QLatin1Char('a')), QString(300, QLatin1Char('a'))},
            {QString(300, QLatin1Char('b')), QString(300, QLatin1Char('b'))},
            {"\tpage\t", "\tpage\t"},
            {QStringLiteral("r\u00e9gion \u4e2d"), QStringLiteral("r\u00e9gion ?")},
            {QStringLiteral("x\U0001F600y"), "x?y"},
        };
        for (const auto& r : rows) {
            SettingsRecord rec;
            rec.StartPage = r[0];
            rec.FontName = r[0];
            const SettingsRecord back = SettingsRecord::decode(rec.encode());
            QCOMPARE(back.StartPage, r[1]);
            QCOMPARE(back.FontName, r[1].left(128));
        }
    }

    void liveSettings()
    {
        // Any bold value but 0 is bold, written back as -1.
        for (const qint16 raw : {qint16(0), qint16(-1), qint16(1), qint16(7)}) {
            QByteArray b(470, '\0');
            qToLittleEndian(raw, b.data() + 464);
            const LiveSettings live = LiveSettings::fromRecord(SettingsRecord::decode(b));
            QCOMPARE(live.FontBold, raw != 0);
            const QByteArray out = live.toRecord(0, 0, 0, 0).encode();
            QCOMPARE(qFromLittleEndian<qint16>(out.constData() + 464), raw != 0 ? qint16(-1) : qint16(0));
        }
        // The reserved bytes go through; the connection switch saved is the one for the next start.
        LiveSettings live = LiveSettings::fromRecord(sample());
        QCOMPARE(live.INetDisabledNext, qint16(7));
        live.INetDisabledNext = 0;
        const SettingsRecord out = live.toRecord(1, 2, 3, 4);
        QCOMPARE(out.INetDisabled, qint16(0));
        QCOMPARE(out.Reserved330, sample().Reserved330);
        QCOMPARE(out.Reserved334, sample().Reserved334);
        QCOMPARE((QList<float>{out.MainLeft, out.MainHeight}), (QList<float>{1, 4}));
    }

    void file()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Skyvn.ini"));
        QCOMPARE(SettingsFile(path).load().MainWidth, 0.0f); // none yet: an empty one is made
        QCOMPARE(QFileInfo(path).size(), 0);
        QCOMPARE(SettingsFile(path).load().MainWidth, 0.0f); // an empty file reads as an empty record
        TestFiles::write(path, QByteArray(500, 'z'));
        QVERIFY(SettingsFile(path).save(sample()));
        QCOMPARE(TestFiles::read(path), sample().encode() + QByteArray(30, 'z')); // bytes after it kept
        // Less room than one record: the old file stays whole, with no temporary left behind.
        QVERIFY(
            !TestFiles::savesUnderFileLimit(300, [&] { return SettingsFile(path).save(SettingsRecord()); }));
        QCOMPARE(TestFiles::read(path), sample().encode() + QByteArray(30, 'z'));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Skyvn.ini"});
    }

    // Each field: this window's value at the end against the value now in the file.
    void merge()
    {
        const QString s = sample().StartPage, a = QStringLiteral("http://a/"),
                      b = QStringLiteral("http://b/");
        for (const auto& [mineStart, diskStart, mineEditor, diskEditor, wantStart, wantEditor] :
             std::initializer_list<std::tuple<QString, QString, float, float, QString, float>>{
                 {s, s, 7000, 7000, s, 7000}, // nobody changed anything
                 {a, s, 8000, 7000, a, 8000}, // changed here
                 {s, b, 7000, 9000, b, 9000}, // changed by the other window
                 {a, b, 8000, 9000, a, 8000}, // changed in both: the last to close
                 {a, s, 7000, 9000, a, 9000}, // each changed another field
             }) {
            SettingsRecord mine = sample(), disk = sample();
            mine.MainLeft = 600; // the window's own geometry always goes in
            disk.MainLeft = 3000;
            mine.StartPage = mineStart;
            disk.StartPage = diskStart;
            mine.EditorWidth = mineEditor;
            disk.EditorWidth = diskEditor;
            const SettingsRecord out = SettingsMerge::merge(sample(), sample(), mine, disk);
            QCOMPARE(out.StartPage, wantStart);
            QCOMPARE(out.EditorWidth, wantEditor);
            QCOMPARE(out.MainLeft, 600.0f);
            QCOMPARE(out.FontName, sample().FontName);
        }
    }

    void startUpCorrectionsAreWrittenWhenNobodyElseChangedTheField()
    {
        SettingsRecord loaded = sample();
        loaded.FontName = QStringLiteral("Arial"); // corrected at start to the family really there
        QCOMPARE(SettingsMerge::merge(loaded, sample(), sample(), loaded).FontName, sample().FontName);
    }
};

QTEST_GUILESS_MAIN(TestSettingsRecord)
#include "tst_SettingsRecord.moc"
