#pragma once

#include <QString>
#include <QtGlobal>

// 0 when path names an existing file, 9909 for a directory, another nonzero code when the path
// cannot be examined. Callers test only zero against nonzero.
constexpr qint32 FileMissingIsDirectory = 9909;
constexpr qint32 FileMissingNotFound = 53;
constexpr qint32 FileMissingNotAFile = 75; // a pipe, socket or device: nothing to read records from

qint32 FileMissing(const QString& path);
