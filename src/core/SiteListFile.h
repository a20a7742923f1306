#pragma once

#include "core/SiteRecord.h"

#include <QList>
#include <QString>

#include <optional>

// SiteList.dab: nothing but 400-byte records, back to back, numbered from 1.
class SiteListFile
{
public:
    static constexpr const char* FileName = "SiteList.dab";

    explicit SiteListFile(QString path) : m_path(std::move(path)) {}

    const QString& path() const { return m_path; }

    // The file length divided by 400, rounded to the nearest whole number, halves to even.
    static qint64 recordCount(qint64 fileLength);

    // Every record in file order; none when the file is missing or cannot be read. Never creates it.
    QList<SiteRecord> readAll() const;
    // Record r (from 1) read by seeking to it; nothing when r is past the count or the file is missing.
    std::optional<SiteRecord> readRecord(qint64 r) const;

    // What identifies one version of the file: whether it is there, its size and when it was written.
    struct Stamp
    {
        bool exists = false;
        qint64 size = 0;
        qint64 modifiedMs = 0;
        bool operator==(const Stamp&) const = default;
    };
    Stamp stamp() const;

    // Replaces the file with these records at once; an empty list deletes the file.
    bool writeAll(const QList<SiteRecord>& records) const;

private:
    QString m_path;
};
