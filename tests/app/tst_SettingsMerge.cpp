#include "core/SettingsMerge.h"

#include <QTest>

namespace {

SettingsRecord base()
{
    SettingsRecord r;
    r.MainWidth = 7095;
    r.MainHeight = 5445;
    r.EditorWidth = 6945;
    r.EditorHeight = 3525;
    r.StartPage = QStringLiteral("http://start/");
    r.FontName = QStringLiteral("Liberation Sans");
    r.FontSize = 9;
    return r;
}

} // namespace

// What a closing window writes when another window on the same folder may have saved meanwhile.
class TestSettingsMerge : public QObject
{
    Q_OBJECT
private slots:
    // Each field: this window's value at the end against the value now in the file.
    void merge()
    {
        const QString s = QStringLiteral("http://start/"), a = QStringLiteral("http://a/"),
                      b = QStringLiteral("http://b/");
        const struct
        {
            QString mineStart, diskStart;
            float mineEditor, diskEditor;
            QString wantStart;
            float wantEditor;
        } rows[] = {
            {s, s, 6945, 6945, s, 6945}, // nobody changed anything
            {a, s, 8000, 6945, a, 8000}, // changed here
            {s, b, 6945, 9000, b, 9000}, // changed by the other window
            {a, b, 8000, 9000, a, 8000}, // changed in both: the last to close
            {a, s, 6945, 9000, a, 9000}, // each changed another field
        };
        for (const auto& r : rows) {
            SettingsRecord mine = base(), disk = base();
            mine.MainLeft = 600; // the window's own geometry always goes in
            disk.MainLeft = 3000;
            mine.StartPage = r.mineStart;
            disk.StartPage = r.diskStart;
            mine.EditorWidth = r.mineEditor;
            disk.EditorWidth = r.diskEditor;
            const SettingsRecord out = SettingsMerge::merge(base(), base(), mine, disk);
            QCOMPARE(out.StartPage, r.wantStart);
            QCOMPARE(out.EditorWidth, r.wantEditor);
            QCOMPARE(out.MainLeft, 600.0f);
            QCOMPARE(out.FontName, QStringLiteral("Liberation Sans"));
        }
    }

    void startUpCorrectionsAreWrittenWhenNobodyElseChangedTheField()
    {
        SettingsRecord loaded = base();
        loaded.FontName = QStringLiteral("Arial"); // corrected at start to the family really there
        const SettingsRecord out = SettingsMerge::merge(loaded, base(), base(), loaded);
        QCOMPARE(out.FontName, QStringLiteral("Liberation Sans"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsMerge)
#include "tst_SettingsMerge.moc"
