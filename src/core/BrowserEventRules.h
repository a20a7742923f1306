#pragma once

#include <QString>
#include <QtGlobal>

// How the main window follows the browser's events, apart from the widgets.
class BrowserEventRules
{
public:
    // The window caption for a page title.
    static QString captionFor(const QString& title);
    // The selector text for the displayed address.
    static QString selectorTextFor(const QString& locationUrl);

    struct Progress
    {
        bool visible = false;
        int maximum = 0;
        int value = 0;
    };
    // The progress box for a report; currentMaximum/currentValue are kept when the box is hidden.
    static Progress progressFor(qint32 progress, qint32 progressMax, int currentMaximum, int currentValue);
};
