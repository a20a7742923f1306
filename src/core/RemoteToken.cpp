#include "core/RemoteToken.h"

#include "core/AtomicFile.h"

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

QByteArray RemoteToken::loadOrMake(const QString& path)
{
    constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray kept = file.read(4096).trimmed();
        file.close();
        if (isToken(kept)) {
            if (file.permissions() & ~(ownerOnly | QFileDevice::ReadUser | QFileDevice::WriteUser)) {
                file.setPermissions(ownerOnly); // copied in with wider rights: narrowed again
            }
            return kept;
        }
    }
    QByteArray bytes(32, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    const QByteArray token = bytes.toHex();
    return AtomicFile::replace(path, token + '\n', ownerOnly) ? token : QByteArray();
}
