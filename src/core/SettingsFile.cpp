#include "core/SettingsFile.h"

#include "core/AtomicFile.h"
#include "core/FileMissing.h"

#include <QFile>
#include <QFileInfo>

namespace {

// A link that leads nowhere: writing through it would create a file somewhere else.
bool isDanglingLink(const QString& path)
{
    const QFileInfo info(path);
    return info.isSymLink() && !info.exists();
}

} // namespace

SettingsRecord SettingsFile::load() const
{
    if (isDanglingLink(m_path)) {
        return SettingsRecord::decode({});
    }
    QFile file(m_path);
    if (!file.exists()) {
        // Leave the empty file behind, as a first start always has.
        if (file.open(QIODevice::WriteOnly)) {
            file.close();
        }
        return SettingsRecord::decode({});
    }
    if (FileMissing(m_path) != 0 || !file.open(QIODevice::ReadOnly)) {
        return SettingsRecord::decode({}); // a directory, a pipe or an unreadable file: the defaults
    }
    return SettingsRecord::decode(file.read(SettingsRecord::Size));
}

bool SettingsFile::save(const SettingsRecord& record) const
{
    if (isDanglingLink(m_path)) {
        return false;
    }
    QByteArray bytes;
    QFile existing(m_path);
    if (existing.exists()) {
        if (FileMissing(m_path) != 0 || !existing.open(QIODevice::ReadOnly)) {
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
