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
    void startPage()
    {
        const QStringList both = {QStringLiteral("/prog/SkyvaneHelp.htm"),
                                  QStringLiteral("/prog/DefPage.htm")};
        const QStringList blankOnly = {QStringLiteral("/prog/DefPage.htm")};
        for (const auto& [stored, existing, expected] :
             {std::tuple{"", both, "/prog/SkyvaneHelp.htm"},
              {"", blankOnly, "/prog/DefPage.htm"},
              {"", {}, ""},
              {"/old/place/SkyvaneHelp.htm", both, "/prog/SkyvaneHelp.htm"}, // the help page moved
              {"D:\\Old\\SkyvaneHelp.htm", blankOnly, "/prog/DefPage.htm"},
              {"D:\\Old\\skyvanehelp.htm", both, "D:\\Old\\skyvanehelp.htm"}, // another letter case is kept
              {"SkyvaneHelp.htm", both, "SkyvaneHelp.htm"},
              {"https://radar.example/", {}, "https://radar.example/"},
              {"http://ra\x01"
               "dar.example/\x7f\u009f",
               {},
               "http://radar.example/"}}) { // stray bytes dropped
            LiveSettings s;
            s.StartPage = QString::fromUtf8(stored);
            StartupCorrections::correctStartPage(s, env(existing));
            QCOMPARE(s.StartPage, QString::fromLatin1(expected));
        }
    }

    void geometry()
    {
        // Stored and corrected: left, top, width, height, editor width, editor height.
        const QList<float> rows[][2] = {
            {{0, 0, 0, 0, 0, 0}, {0, 0, 7095, 5445, 6945, 3525}},                             // first start
            {{300, 200, 9000, 7000, 8000, 4000}, {300, 200, 9000, 7000, 8000, 4000}},         // kept
            {{20000, 900, 7095, 5445, 6945, 3525}, {0, 900, 7095, 5445, 6945, 3525}},         // left beyond
            {{16200, 12900, 7095, 5445, 6945, 3525}, {16200, 12900, 7095, 5445, 6945, 3525}}, // at the limit
            {{10, 12901, 7095, 5445, 6945, 3525}, {10, 0, 7095, 5445, 6945, 3525}},           // top beyond
            {{-48000, -48000, 2400, 600, 100, 100}, {0, 0, 7095, 5445, 6945, 3525}},          // minimized
            {{NaN, NaN, NaN, NaN, NaN, NaN}, {0, 0, 7095, 5445, 6945, 3525}},
            {{0, 0, 7095, 5445, 1e30f, 14401}, {0, 0, 7095, 5445, 6945, 3525}}, // an editor beyond the screen
        };
        for (const auto& r : rows) {
            LiveSettings s;
            const QList<float>& in = r[0];
            s.MainLeft = in[0];
            s.MainTop = in[1];
            s.MainWidth = in[2];
            s.MainHeight = in[3];
            s.EditorWidth = in[4];
            s.EditorHeight = in[5];
            StartupCorrections::correctPosition(s, env());
            StartupCorrections::correctSizes(s);
            QCOMPARE((QList<float>{s.MainLeft, s.MainTop, s.MainWidth, s.MainHeight, s.EditorWidth,
                                   s.EditorHeight}),
                     r[1]);
        }
    }

    void font()
    {
        const QStringList linux = {QStringLiteral("C059"), QStringLiteral("DejaVu Sans")};
        const QStringList arial = linux + QStringList{QStringLiteral("Arial")};
        const QStringList ms = {QStringLiteral("C059"), QStringLiteral("MS Sans Serif")};
        const QStringList liberation = linux + QStringList{QStringLiteral("Liberation Sans")};
        const QStringList arimo = linux + QStringList{QStringLiteral("Arimo")};
        const QStringList noUi = {QStringLiteral("C059"), QStringLiteral("Z003")};
        const char* lib = "Liberation Sans";
        // Installed fonts, what fontconfig gives for "Arial", the stored font, the corrected font.
        for (const auto& [row, fonts, arialFamily, name, bold, size, expectedName, expectedBold,
                          expectedSize] :
             std::initializer_list<std::tuple<const char*, QStringList, const char*, const char*, bool, float,
                                              const char*, bool, float>>{
                 {"found, kept", linux, "", "DejaVu Sans", true, 11, "DejaVu Sans", true, 11},
                 {"found, size 0", linux, "", "C059", true, 0, "C059", true, 8},
                 {"found, size 1.5", linux, "", "C059", false, 1.5f, "C059", false, 8},
                 {"found, size 2", linux, "", "C059", false, 2, "C059", false, 2},
                 {"found, size 1000", linux, "", "C059", false, 1000, "C059", false, 12.25f},
                 {"found, NaN size", linux, "", "C059", false, NaN, "C059", false, 8},
                 {"case differs, Arial", arial, "", "arial", true, 14, "Arial", false, 9},
                 {"MS Sans Serif", ms, "", "Gone", true, 14, "MS Sans Serif", false, 8},
                 {"UI family", linux, "", "Arial", true, 14, "DejaVu Sans", false, 8},
                 {"first font", noUi, "", "", true, 14, "C059", false, 8},
                 {"no fonts", {}, "", "Gone", true, 1, "Gone", true, 8},
                 {"Arial's twin", liberation, lib, "Arial", true, 14, lib, false, 9},
                 {"Arimo", arimo, "Arimo", "Gone", false, 8, "Arimo", false, 9},
                 {"real Arial first", arial + liberation, lib, "Gone", false, 8, "Arial", false, 9},
                 {"twin before MS Sans Serif", ms + liberation, lib, "Gone", false, 8, lib, false, 9},
                 {"other substitute", linux, "DejaVu Sans", "Arial", false, 8, "DejaVu Sans", false, 8},
                 {"twin not installed", linux, lib, "Arial", false, 8, "DejaVu Sans", false, 8},
             }) {
            LiveSettings s;
            s.FontName = QString::fromLatin1(name);
            s.FontBold = bold;
            s.FontSize = size;
            StartupCorrections::Environment e = env({}, fonts);
            e.arialFamily = QString::fromLatin1(arialFamily);
            StartupCorrections::correctFont(s, e);
            QVERIFY2(s.FontName == QLatin1String(expectedName) && s.FontBold == expectedBold &&
                         s.FontSize == expectedSize,
                     row);
        }
    }
};

QTEST_GUILESS_MAIN(TestStartupCorrections)
#include "tst_StartupCorrections.moc"
