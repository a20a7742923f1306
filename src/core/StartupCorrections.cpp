#include "core/StartupCorrections.h"

#include "core/ProgramDirectory.h"
#include "core/ProgramNames.h"

namespace {

const QString HelpPage = ProgramNames::HelpPage;
const QString BlankPage = ProgramNames::BlankPage;

void raiseTo(float& value, float minimum)
{
    if (!(value >= minimum)) {
        value = minimum;
    }
}

void useFallbackFont(LiveSettings& s, const QString& name, float size)
{
    s.FontName = name;
    s.FontSize = size;
    s.FontBold = false;
}

} // namespace

QString StartupCorrections::defaultStartPage(const Environment& env)
{
    QString page = ProgramDirectory::file(env.appDir, HelpPage);
    if (env.fileMissing(page) != 0) {
        page = ProgramDirectory::file(env.appDir, BlankPage);
        if (env.fileMissing(page) != 0) {
            page.clear();
        }
    }
    return page;
}

void StartupCorrections::correctStartPage(LiveSettings& s, const Environment& env)
{
    s.StartPage = withoutControlCharacters(s.StartPage); // stray bytes would show in the caption
    if (s.StartPage.isEmpty()) {
        s.StartPage = defaultStartPage(env);
    }
    // A help page stored with another directory: the program has moved, use ours.
    if (s.StartPage.size() > HelpPage.size() && s.StartPage.endsWith(HelpPage, Qt::CaseSensitive)) {
        s.StartPage = defaultStartPage(env);
    }
}

void StartupCorrections::correctPosition(LiveSettings& s, const Environment& env)
{
    if (!(s.MainLeft >= 0)) {
        s.MainLeft = 0;
    }
    if (!(s.MainTop >= 0)) {
        s.MainTop = 0;
    }
    if (!(s.MainLeft <= env.screenWidthTwips - HorizontalMargin)) {
        s.MainLeft = 0;
    }
    if (!(s.MainTop <= env.screenHeightTwips - VerticalMargin)) {
        s.MainTop = 0;
    }
    // The editor opens centred on the screen: one larger than the screen would put its buttons off it.
    if (env.screenWidthTwips > 0 && !(s.EditorWidth <= env.screenWidthTwips)) {
        s.EditorWidth = EditorMinWidth;
    }
    if (env.screenHeightTwips > 0 && !(s.EditorHeight <= env.screenHeightTwips)) {
        s.EditorHeight = EditorMinHeight;
    }
}

void StartupCorrections::correctSizes(LiveSettings& s)
{
    raiseTo(s.MainWidth, MainMinWidth);
    raiseTo(s.MainHeight, MainMinHeight);
    raiseTo(s.EditorWidth, EditorMinWidth);
    raiseTo(s.EditorHeight, EditorMinHeight);
}

void StartupCorrections::correctFont(LiveSettings& s, const Environment& env)
{
    s.FontName = withoutControlCharacters(s.FontName);
    const auto keepStoredFont = [&s] {
        if (!(s.FontSize >= SmallestFontSize)) {
            s.FontSize = 8;
        } else if (s.FontSize > LargestFontSize) {
            s.FontSize = LargestFontSize; // giant text would not fit the strip
        }
    };
    if (env.fonts.contains(s.FontName, Qt::CaseSensitive)) {
        keepStoredFont();
    } else if (env.fonts.contains(QStringLiteral("Arial"), Qt::CaseSensitive)) {
        useFallbackFont(s, QStringLiteral("Arial"), 9);
    } else if (isArialMetricCompatible(env.arialFamily) &&
               env.fonts.contains(env.arialFamily, Qt::CaseSensitive)) {
        useFallbackFont(s, env.arialFamily, 9); // Arial in all but name: stored by its real name
    } else if (env.fonts.contains(QStringLiteral("MS Sans Serif"), Qt::CaseSensitive)) {
        useFallbackFont(s, QStringLiteral("MS Sans Serif"), 8);
    } else if (!env.uiFontFamily.isEmpty() && env.fonts.contains(env.uiFontFamily, Qt::CaseSensitive)) {
        useFallbackFont(s, env.uiFontFamily, 8);
    } else if (!env.fonts.isEmpty()) {
        useFallbackFont(s, env.fonts.first(), 8);
    } else {
        keepStoredFont();
    }
}

QString StartupCorrections::withoutControlCharacters(QString text)
{
    text.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    return text;
}

bool StartupCorrections::isArialMetricCompatible(const QString& family)
{
    return family == QLatin1String("Liberation Sans") || family == QLatin1String("Arimo");
}

void StartupCorrections::apply(LiveSettings& s, const Environment& env)
{
    correctStartPage(s, env);
    correctPosition(s, env);
    correctSizes(s);
    correctFont(s, env);
}
