#pragma once

#include <QString>

// The program directory and the names of the files kept in it.
class ProgramDirectory
{
public:
    // The directory in native form with no trailing separator: "C:\" becomes "C:", "/" becomes "".
    static QString appDirFrom(const QString& reportedPath);
    // AppDir + separator + file name.
    static QString file(const QString& appDir, const QString& name);
};
