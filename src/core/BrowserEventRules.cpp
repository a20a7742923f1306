#include "core/BrowserEventRules.h"

#include "core/ProgramNames.h"

QString BrowserEventRules::captionFor(const QString& title)
{
    const QString base = ProgramNames::Caption;
    if (title == base || title == ProgramNames::HelpPage || title == QLatin1String("SkyvaneHelp")) {
        return base;
    }
    return title + QStringLiteral(" - ") + base;
}

QString BrowserEventRules::selectorTextFor(const QString& locationUrl)
{
    if (locationUrl.toUpper() == QLatin1String("HTTP:///")) {
        return QStringLiteral("http://");
    }
    return locationUrl;
}

BrowserEventRules::Progress BrowserEventRules::progressFor(qint32 progress, qint32 progressMax,
                                                           int currentMaximum, int currentValue)
{
    if (progress <= 0) {
        return {false, currentMaximum, currentValue};
    }
    const int maximum = progressMax > 0 ? progressMax : 1;
    return {true, maximum, progress > maximum ? maximum : progress};
}
