#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// One saved site: a 400-byte record of two space-padded fields, Name (140) and URL (260).
struct SiteRecord
{
    static constexpr qsizetype Size = 400;
    static constexpr qsizetype NameWidth = 140;
    static constexpr qsizetype URLWidth = 260;

    QString Name;
    QString URL;

    // Trims both fields; a short (partial) record reads as if padded with spaces.
    static SiteRecord decode(QByteArrayView bytes);
    // Cuts or pads each field to its width.
    QByteArray encode() const;
    bool operator==(const SiteRecord&) const = default;
};
