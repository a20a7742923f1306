#include "core/SiteListFile.h"

#include "core/AtomicFile.h"
#include "core/FileMissing.h"

#include <QFile>
#include <QFileInfo>

qint64 SiteListFile::recordCount(qint64 fileLength)
{
    const qint64 whole = fileLength / SiteRecord::Size;
    const qint64 rest = fileLength % SiteRecord::Size;
    const qint64 half = SiteRecord::Size / 2;
    if (rest > half || (rest == half && whole % 2 == 1)) {
        return whole + 1;
    }
    return whole;
}

SiteListFile::Stamp SiteListFile::stamp() const
{
    const QFileInfo info(m_path);
    if (!info.exists()) {
        return {};
    }
    return {true, info.size(), info.lastModified().toMSecsSinceEpoch()};
}

QList<SiteRecord> SiteListFile::readAll() const
{
    QList<SiteRecord> records;
    if (FileMissing(m_path) != 0) {
        return records;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        return records;
    }
    const QByteArray bytes = file.readAll();
    const qint64 count = recordCount(bytes.size());
    records.reserve(count);
    for (qint64 k = 0; k < count; ++k) {
        records.append(SiteRecord::decode(
            QByteArrayView(bytes)
                .sliced(k * SiteRecord::Size)
                .first(qMin<qsizetype>(SiteRecord::Size, bytes.size() - k * SiteRecord::Size))));
    }
    return records;
}

std::optional<SiteRecord> SiteListFile::readRecord(qint64 r) const
{
    if (r < 1 || FileMissing(m_path) != 0) {
        return std::nullopt;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly) || r > recordCount(file.size())) {
        return std::nullopt;
    }
    if (!file.seek((r - 1) * SiteRecord::Size)) {
        return std::nullopt;
    }
    return SiteRecord::decode(file.read(SiteRecord::Size));
}

bool SiteListFile::writeAll(const QList<SiteRecord>& records) const
{
    if (records.isEmpty()) {
        return !QFile::exists(m_path) || QFile::remove(m_path);
    }
    QByteArray bytes;
    bytes.reserve(records.size() * SiteRecord::Size);
    for (const SiteRecord& r : records) {
        bytes.append(r.encode());
    }
    return AtomicFile::replace(m_path, bytes);
}
