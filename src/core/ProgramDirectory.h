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

    struct Locations
    {
        QString appDir;  // the shipped files
        QString dataDir; // Skyvn.ini and SiteList.dab
    };

    // Where the program finds its files. A program folder that holds the shipped files, or that has no
    // installed data folder beside it, is a portable copy: everything stays beside the program, unless
    // that folder cannot be written, when the settings and the site list go to the user's data folder.
    // An installed copy (the shipped files in ../share/skyvane) keeps them in the user's data folder.
    static Locations locate(const QString& programDir, const QString& installedDataDir,
                            bool programDirWritable, const QString& userDataDir);
};
