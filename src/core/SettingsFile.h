#pragma once

#include "core/SettingsRecord.h"

#include <QString>

// Skyvn.ini in the program directory.
class SettingsFile
{
public:
    static constexpr const char* FileName = "Skyvn.ini";

    explicit SettingsFile(QString path) : m_path(std::move(path)) {}

    const QString& path() const { return m_path; }

    // Creates an empty file when there is none. A missing, short or unreadable file reads as
    // zeros where its bytes are missing.
    SettingsRecord load() const;

    // Replaces the first 470 bytes and keeps any bytes after them. Returns false, leaving the file
    // untouched, when it cannot be read back or written.
    bool save(const SettingsRecord& record) const;

private:
    QString m_path;
};
