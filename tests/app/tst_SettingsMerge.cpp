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
    void merge_data()
    {
        QTest::addColumn<QString>("mineStart"); // this window's start page at the end
        QTest::addColumn<QString>("diskStart"); // the start page now in the file
        QTest::addColumn<float>("mineEditor");  // this window's editor width at the end
        QTest::addColumn<float>("diskEditor");  // the editor width now in the file
        QTest::addColumn<QString>("wantStart");
        QTest::addColumn<float>("wantEditor");
        const QString s = QStringLiteral("http://start/"), a = QStringLiteral("http://a/"),
                      b = QStringLiteral("http://b/");
        QTest::newRow("nobody changed anything") << s << s << 6945.0f << 6945.0f << s << 6945.0f;
        QTest::newRow("changed here") << a << s << 8000.0f << 6945.0f << a << 8000.0f;
        QTest::newRow("changed by the other window") << s << b << 6945.0f << 9000.0f << b << 9000.0f;
        QTest::newRow("changed in both: the last to close") << a << b << 8000.0f << 9000.0f << a << 8000.0f;
        QTest::newRow("each changed another field") << a << s << 6945.0f << 9000.0f << a << 9000.0f;
    }
    void merge()
    {
        QFETCH(QString, mineStart);
        QFETCH(QString, diskStart);
        QFETCH(float, mineEditor);
        QFETCH(float, diskEditor);
        const SettingsRecord loaded = base();
        SettingsRecord mine = base();
        mine.MainLeft = 600; // the window's own geometry always goes in
        mine.StartPage = mineStart;
        mine.EditorWidth = mineEditor;
        SettingsRecord disk = base();
        disk.MainLeft = 3000;
        disk.StartPage = diskStart;
        disk.EditorWidth = diskEditor;
        const SettingsRecord out = SettingsMerge::merge(loaded, base(), mine, disk);
        QTEST(out.StartPage, "wantStart");
        QTEST(out.EditorWidth, "wantEditor");
        QCOMPARE(out.MainLeft, 600.0f);
        QCOMPARE(out.FontName, QStringLiteral("Liberation Sans"));
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
