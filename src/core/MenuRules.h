#pragma once

#include "core/CommonDialogs.h"

#include <QString>

// The main menu's small rules, apart from the widgets.
class MenuRules
{
public:
    static constexpr float LargestDialogFontSize = 12.25f;

    // The point size a control is given for a stored font size: a damaged size (not a number, zero,
    // negative or absurdly large) must not take the window down. Returns 0 to keep the current size.
    static double displayPointSize(float stored)
    {
        if (!(stored > 0)) {
            return 0;
        }
        return stored > LargestDisplayFontSize ? LargestDisplayFontSize : double(stored);
    }
    static constexpr double LargestDisplayFontSize = 72;

    // The folder of a file chosen in the Open dialog: the path without its file name and without the
    // separator before it, except that a file in a root keeps the root's separator ("C:\", "/").
    static QString openFolder(const QString& fileName, const QString& fileTitle)
    {
        const qsizetype n = fileName.size();
        qsizetype t = fileTitle.size() + 1;
        if (n - t < 3) {
            t -= 1;
        }
        return fileName.left(n - t);
    }

    // What the font dialog opens on.
    static CommonDialogs::Font dialogStart(const CommonDialogs::Font& current)
    {
        CommonDialogs::Font f = current;
        if (f.size == 0) {
            f.size = 9;
        }
        if (f.name.isEmpty()) {
            f.name = QStringLiteral("Arial");
        }
        return f;
    }

    // What the font dialog leaves behind: its values, with the size capped.
    static CommonDialogs::Font afterDialog(const CommonDialogs::Font& fromDialog)
    {
        CommonDialogs::Font f = fromDialog;
        if (f.size > LargestDialogFontSize) {
            f.size = LargestDialogFontSize;
        }
        return f;
    }
};
