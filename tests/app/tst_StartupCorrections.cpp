#include "core/StartupCorrections.h"

#include <QTest>

#include <limits>

namespace {

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

StartupCorrections::Environment
env(QStringList existing = {QStringLiteral("/prog/SkyvaneHelp.htm"), QStringLiteral("/prog/DefPage.htm")},
    QStringList fonts = {QStringLiteral("C059"), QStringLiteral("DejaVu Sans")})
{
    StartupCorrections::Environment e;
    e.appDir = QStringLiteral("/prog");
    e.screenWidthTwips = 19200;
    e.screenHeightTwips = 14400;
    e.fonts = fonts;
    e.uiFontFamily = QStringLiteral("DejaVu Sans");
    e.fileMissing = [existing](const QString& p) { return existing.contains(p) ? 0 : 53; };
    return e;
}

} // namespace

class TestStartupCorrections : public QObject
{
    Q_OBJECT
private slots:
    void startPage_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("expected");
        const QStringList both = {QStringLiteral("/prog/SkyvaneHelp.htm"),
                                  QStringLiteral("/prog/DefPage.htm")};
        const QStringList blankOnly = {QStringLiteral("/prog/DefPage.htm")};
        QTest::newRow("empty, help present") << QString() << both << QStringLiteral("/prog/SkyvaneHelp.htm");
        QTest::newRow("empty, only blank page")
            << QString() << blankOnly << QStringLiteral("/prog/DefPage.htm");
        QTest::newRow("empty, neither") << QString() << QStringList() << QString();
        QTest::newRow("help page moved") << QStringLiteral("/old/place/SkyvaneHelp.htm") << both
                                         << QStringLiteral("/prog/SkyvaneHelp.htm");
        QTest::newRow("windows help path moved")
            << QStringLiteral("D:\\Old\\SkyvaneHelp.htm") << blankOnly << QStringLiteral("/prog/DefPage.htm");
        QTest::newRow("other letter case kept") << QStringLiteral("D:\\Old\\skyvanehelp.htm") << both
                                                << QStringLiteral("D:\\Old\\skyvanehelp.htm");
        QTest::newRow("bare help name kept")
            << QStringLiteral("SkyvaneHelp.htm") << both << QStringLiteral("SkyvaneHelp.htm");
        QTest::newRow("address kept") << QStringLiteral("https://radar.example/") << QStringList()
                                      << QStringLiteral("https://radar.example/");
    }
    void startPage()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        LiveSettings s;
        s.StartPage = stored;
        StartupCorrections::correctStartPage(s, env(existing));
        QCOMPARE(s.StartPage, expected);
    }

    void geometry_data()
    {
        QTest::addColumn<QList<float>>("stored"); // left, top, width, height, editor width, editor height
        QTest::addColumn<QList<float>>("expected");
        QTest::newRow("first start") << QList<float>{0, 0, 0, 0, 0, 0}
                                     << QList<float>{0, 0, 7095, 5445, 6945, 3525};
        QTest::newRow("kept") << QList<float>{300, 200, 9000, 7000, 8000, 4000}
                              << QList<float>{300, 200, 9000, 7000, 8000, 4000};
        QTest::newRow("left beyond screen") << QList<float>{20000, 900, 7095, 5445, 6945, 3525}
                                            << QList<float>{0, 900, 7095, 5445, 6945, 3525};
        QTest::newRow("left at the limit") << QList<float>{16200, 12900, 7095, 5445, 6945, 3525}
                                           << QList<float>{16200, 12900, 7095, 5445, 6945, 3525};
        QTest::newRow("top beyond screen")
            << QList<float>{10, 12901, 7095, 5445, 6945, 3525} << QList<float>{10, 0, 7095, 5445, 6945, 3525};
        QTest::newRow("minimized") << QList<float>{-48000, -48000, 2400, 600, 100, 100}
                                   << QList<float>{0, 0, 7095, 5445, 6945, 3525};
        QTest::newRow("not a number")
            << QList<float>{NaN, NaN, NaN, NaN, NaN, NaN} << QList<float>{0, 0, 7095, 5445, 6945, 3525};
        QTest::newRow("exact minimums")
            << QList<float>{0, 0, 7095, 5445, 6945, 3525} << QList<float>{0, 0, 7095, 5445, 6945, 3525};
    }
    void geometry()
    {
        QFETCH(QList<float>, stored);
        QFETCH(QList<float>, expected);
        LiveSettings s;
        s.MainLeft = stored[0];
        s.MainTop = stored[1];
        s.MainWidth = stored[2];
        s.MainHeight = stored[3];
        s.EditorWidth = stored[4];
        s.EditorHeight = stored[5];
        StartupCorrections::correctPosition(s, env());
        StartupCorrections::correctSizes(s);
        QCOMPARE(
            (QList<float>{s.MainLeft, s.MainTop, s.MainWidth, s.MainHeight, s.EditorWidth, s.EditorHeight}),
            expected);
    }

    void font()
    {
        const QStringList linux = {QStringLiteral("C059"), QStringLiteral("DejaVu Sans")};
        const QStringList arial = linux + QStringList{QStringLiteral("Arial")};
        const QStringList ms = {QStringLiteral("C059"), QStringLiteral("MS Sans Serif")};
        const QStringList liberation = linux + QStringList{QStringLiteral("Liberation Sans")};
        const QStringList arimo = linux + QStringList{QStringLiteral("Arimo")};
        const QStringList noUi = {QStringLiteral("C059"), QStringLiteral("Z003")};
        // Installed fonts, what fontconfig gives for "Arial", the stored font, the corrected font.
        const struct
        {
            const char* row;
            QStringList fonts;
            const char* arialFamily;
            const char* name;
            bool bold;
            float size;
            const char* expectedName;
            bool expectedBold;
            float expectedSize;
        } rows[] = {
            {"found, kept", linux, "", "DejaVu Sans", true, 11, "DejaVu Sans", true, 11},
            {"found, size 0", linux, "", "C059", true, 0, "C059", true, 8},
            {"found, size 1.5", linux, "", "C059", false, 1.5f, "C059", false, 8},
            {"found, size 2", linux, "", "C059", false, 2, "C059", false, 2},
            {"found, NaN size", linux, "", "C059", false, NaN, "C059", false, 8},
            {"case differs, Arial", arial, "", "arial", true, 14, "Arial", false, 9},
            {"MS Sans Serif", ms, "", "Gone", true, 14, "MS Sans Serif", false, 8},
            {"UI family", linux, "", "Arial", true, 14, "DejaVu Sans", false, 8},
            {"first font", noUi, "", "", true, 14, "C059", false, 8},
            {"no fonts", {}, "", "Gone", true, 1, "Gone", true, 8},
            {"Arial's twin", liberation, "Liberation Sans", "Arial", true, 14, "Liberation Sans", false, 9},
            {"Arimo", arimo, "Arimo", "Gone", false, 8, "Arimo", false, 9},
            {"real Arial first", arial + liberation, "Liberation Sans", "Gone", false, 8, "Arial", false, 9},
            {"twin before MS Sans Serif", ms + liberation, "Liberation Sans", "Gone", false, 8,
             "Liberation Sans", false, 9},
            {"other substitute", linux, "DejaVu Sans", "Arial", false, 8, "DejaVu Sans", false, 8},
            {"twin not installed", linux, "Liberation Sans", "Arial", false, 8, "DejaVu Sans", false, 8},
        };
        for (const auto& r : rows) {
            LiveSettings s;
            s.FontName = QString::fromLatin1(r.name);
            s.FontBold = r.bold;
            s.FontSize = r.size;
            StartupCorrections::Environment e = env({}, r.fonts);
            e.arialFamily = QString::fromLatin1(r.arialFamily);
            StartupCorrections::correctFont(s, e);
            QVERIFY2(
                s.FontName == QLatin1String(r.expectedName) && s.FontBold == r.expectedBold &&
                    s.FontSize == r.expectedSize,
                qPrintable(
                    QStringLiteral("%1: %2 %3 %4").arg(r.row, s.FontName).arg(s.FontBold).arg(s.FontSize)));
        }
    }

    void applyDoesEverything()
    {
        LiveSettings s;
        s.MainLeft = NaN;
        StartupCorrections::apply(s, env());
        QCOMPARE(s.StartPage, QStringLiteral("/prog/SkyvaneHelp.htm"));
        QCOMPARE(s.MainLeft, 0.0f);
        QCOMPARE(s.MainWidth, 7095.0f);
        QCOMPARE(s.FontName, QStringLiteral("DejaVu Sans"));
        QCOMPARE(s.FontSize, 8.0f);
    }
};

QTEST_GUILESS_MAIN(TestStartupCorrections)
#include "tst_StartupCorrections.moc"
