#include "SettingsFile.h"

#include "AtomicFile.h"

#include <QFile>

SettingsRecord SettingsFile::load() const
{
    QFile file(m_path);
    if (!file.exists()) {
        // Leave the empty file behind, as a first start always has.
        if (file.open(QIODevice::WriteOnly)) {
            file.close();
        }
        return SettingsRecord::decode({});
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return SettingsRecord::decode({});
    }
    return SettingsRecord::decode(file.read(SettingsRecord::Size));
}

bool SettingsFile::save(const SettingsRecord& record) const
{
    QByteArray bytes;
    QFile existing(m_path);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly)) {
            return false; // writing now would lose the bytes after the record
        }
        bytes = existing.readAll();
        if (existing.error() != QFileDevice::NoError) {
            return false;
        }
        existing.close();
    }
    const QByteArray head = record.encode();
    if (bytes.size() < head.size()) {
        bytes.resize(head.size());
    }
    bytes.replace(0, head.size(), head);
    return AtomicFile::replace(m_path, bytes);
}
