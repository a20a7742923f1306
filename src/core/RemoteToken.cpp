#include "core/RemoteToken.h"

#include "core/AtomicFile.h"
#include "core/RegularFile.h"

#include <QFile>
#include <QRandomGenerator>

bool RemoteToken::isToken(const QByteArray& text)
{
    if (text.size() != 64) {
        return false;
    }
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

namespace {

constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace

QByteArray RemoteToken::loadOrNew(const QString& path, bool* isNew)
{
    *isNew = false;
    if (!RegularFile::isRegularOrAbsent(path)) {
        return {};
    }
    if (const std::optional<QByteArray> text = RegularFile::read(path, 4096)) {
        const QByteArray kept = text->trimmed();
        if (isToken(kept)) {
            QFile file(path);
            if (file.permissions() & ~(OwnerOnly | QFileDevice::ReadUser | QFileDevice::WriteUser)) {
                file.setPermissions(OwnerOnly); // copied in with wider rights: narrowed again
            }
            return kept;
        }
    }
    QByteArray bytes(32, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    *isNew = true;
    return bytes.toHex();
}

bool RemoteToken::keep(const QString& path, const QByteArray& token)
{
    return AtomicFile::replace(path, token + '\n', OwnerOnly);
}
