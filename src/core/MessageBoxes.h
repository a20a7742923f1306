#pragma once

#include <QString>

// The program's message boxes: caption "Skyvane", no icon, the first button the default.
class MessageBoxes
{
public:
    enum class Buttons
    {
        Ok,
        YesNo,
        YesNoCancel
    };
    enum class Answer
    {
        Ok,
        Yes,
        No,
        Cancel
    };

    virtual ~MessageBoxes() = default;
    // Lines of text are joined by a single line feed.
    virtual Answer show(const QString& text, Buttons buttons) = 0;
};
