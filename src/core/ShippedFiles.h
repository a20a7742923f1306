#pragma once

#include <QString>
#include <QStringList>

// The files that ship beside the program. A copy of the program alone in a folder has none of
// them; it then lays out its own copies, so that it starts on its help page like an installed one.
class ShippedFiles
{
public:
    static QStringList names();
    // Writes every shipped file when none of them is in appDir; returns how many were written.
    static int unpackIntoBareDirectory(const QString& appDir);
};
