#pragma once

#include <QString>

#include <functional>
#include <optional>

// What Apply in the default start page dialog does for a choice code: 0 no option, 1 the help page,
// 2 the blank page, 3 the typed address, 4 the page the main window shows.
class StartPageChoice
{
public:
    struct Outcome
    {
        QString notice;                   // shown first, when not empty
        std::optional<QString> startPage; // the new start page, when it changes
        bool showStartPage = false;       // the text box then shows the start page
        bool confirm = false;             // and the confirmation follows
    };

    // The code of the selected option; a later selected option wins.
    static int code(bool option1, bool option2, bool option3, bool option4);

    static const QString& confirmation();

    static Outcome apply(int code, const QString& appDir, const QString& typed, const QString& selectorText,
                         const std::function<qint32(const QString&)>& fileMissing);
};
