#pragma once

#include <QString>

// The open-file, font and save dialogs.
class CommonDialogs
{
public:
    struct Font
    {
        QString name;
        bool bold = false;
        float size = 0;
        bool operator==(const Font&) const = default;
    };

    virtual ~CommonDialogs() = default;
    // An existing file in an existing folder, full path; empty when the user cancelled.
    // An empty initDir starts in the system's default folder.
    virtual QString ShowOpen(const QString& initDir) = 0;
    // The chosen font; the initial values when the user cancelled.
    virtual Font ShowFont(const Font& initial) = 0;
    // Where to save the displayed page; empty when the user cancelled.
    virtual QString ShowSave(const QString& suggestedPath) = 0;
};
