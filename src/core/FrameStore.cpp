#include "core/FrameStore.h"

#include "core/AddressRules.h"
#include "core/AtomicFile.h"
#include "core/RegularFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace {

const QString TimeFormat = QStringLiteral("yyyyMMdd'T'HHmmsszzz'Z'");
const QByteArray PngSignature("\x89PNG\r\n\x1a\n", 8);
const QByteArray PngEnd("\0\0\0\0IEND\xae\x42\x60\x82", 12);
// A clock set a little behind another window's is no frame from the future.
constexpr qint64 ClockSlackSecs = 600;

constexpr QFileDevice::Permissions PrivateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions PrivateFolder = PrivateFile | QFileDevice::ExeOwner;

QByteArray readAt(QFile& file, qint64 at, qint64 length)
{
    return file.seek(at) ? file.read(length) : QByteArray();
}

bool privateWrite(const QString& path, const QByteArray& bytes)
{
    return AtomicFile::replace(path, bytes) && QFile::setPermissions(path, PrivateFile);
}

} // namespace

QString FrameStore::keptAddress(const QString& address)
{
    return AddressRules::withoutCredentials(address);
}

bool FrameStore::isWholePng(const QByteArray& head, const QByteArray& tail)
{
    return head.startsWith(PngSignature) && head.mid(12, 4) == "IHDR" && tail == PngEnd;
}

FrameStore::FrameStore(QString framesDir, int perAddress, qint64 totalBytes)
    : m_dir(std::move(framesDir)), m_perAddress(qMax(1, perAddress)), m_totalBytes(totalBytes)
{
}

QString FrameStore::folderName(const QString& address)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(keptAddress(address).toUtf8(), QCryptographicHash::Sha1).toHex().left(12));
}

QString FrameStore::fileNameFor(const QDateTime& takenUtc)
{
    return takenUtc.toUTC().toString(TimeFormat) + QStringLiteral(".png");
}

QString FrameStore::folderFor(const QString& address) const
{
    // The folder named by the address's hash, unless it is not ours to use: a link, no folder, or
    // another address's frames. Then the next name after it that is free or this address's.
    const QString base = QDir(m_dir).filePath(folderName(address));
    const QByteArray kept = keptAddress(address).toUtf8();
    for (int n = 1; n <= 8; ++n) {
        const QString folder = n == 1 ? base : base + QStringLiteral("-%1").arg(n);
        const QFileInfo info(folder);
        if (!info.exists() && !info.isSymLink()) {
            return folder;
        }
        if (info.isSymLink() || !info.isDir()) {
            continue;
        }
        const QString addressFile = QDir(folder).filePath(QString::fromLatin1(AddressFileName));
        if (const std::optional<QByteArray> named = RegularFile::read(addressFile, 64 * 1024)) {
            if (named->trimmed().isEmpty() || named->trimmed() == kept) {
                return folder;
            }
        } else if (!QFileInfo::exists(addressFile) && !QFileInfo(addressFile).isSymLink()) {
            return folder; // made, its Address.txt not yet written
        }
    }
    return base;
}

QList<FrameStore::Frame> FrameStore::framesIn(const QString& folder, const QString& address)
{
    static const QRegularExpression name(QStringLiteral("^\\d{8}T\\d{9}Z\\.png$"));
    QList<Frame> out;
    const std::optional<QByteArray> named =
        RegularFile::read(QDir(folder).filePath(QString::fromLatin1(AddressFileName)), 64 * 1024);
    if (!named || (!address.isEmpty() && named->trimmed() != keptAddress(address).toUtf8())) {
        return out; // another address's folder, or none of ours
    }
    const QDateTime latest = QDateTime::currentDateTimeUtc().addSecs(ClockSlackSecs);
    // Only regular files: a link (to a picture elsewhere, or to a pipe) is no frame of ours.
    const QFileInfoList entries =
        QDir(folder).entryInfoList({QStringLiteral("*.png")}, QDir::Files | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo& info : entries) {
        if (!name.match(info.fileName()).hasMatch()) {
            continue; // not one of ours
        }
        QDateTime taken = QDateTime::fromString(info.completeBaseName(), TimeFormat);
        taken.setTimeSpec(Qt::UTC);
        QFile file;
        if (!taken.isValid() || taken > latest || !RegularFile::open(file, info.filePath()) ||
            !isWholePng(readAt(file, 0, 16), readAt(file, info.size() - PngEnd.size(), PngEnd.size()))) {
            continue; // from the future, or damaged
        }
        out.append({info.filePath(), taken, info.size()});
    }
    return out; // names sort by time
}

QList<FrameStore::Frame> FrameStore::frames(const QString& address) const
{
    return framesIn(folderFor(address), address);
}

QByteArray FrameStore::read(const Frame& frame) const
{
    QByteArray bytes = RegularFile::read(frame.path, 64 * 1024 * 1024).value_or(QByteArray());
    return bytes.startsWith("\x89PNG") ? bytes : QByteArray();
}

bool FrameStore::keep(const QString& address, const QDateTime& takenUtc, const QByteArray& png)
{
    const QString folder = folderFor(address);
    if (QFileInfo(m_dir).isSymLink() || QFileInfo(folder).isSymLink() || !QDir().mkpath(folder) ||
        !QFile::setPermissions(m_dir, PrivateFolder) || !QFile::setPermissions(folder, PrivateFolder)) {
        return false;
    }
    const QString addressFile = QDir(folder).filePath(QString::fromLatin1(AddressFileName));
    const QFileInfo named(addressFile);
    if ((!named.exists() || named.size() == 0) &&
        !privateWrite(addressFile, keptAddress(address).toUtf8() + '\n')) {
        return false;
    }
    if (!privateWrite(QDir(folder).filePath(fileNameFor(takenUtc)), png)) {
        return false;
    }
    prune(folder);
    return true;
}

int FrameStore::clear() const
{
    int deleted = 0;
    if (QFileInfo(m_dir).isSymLink()) {
        return 0; // frames of ours are never elsewhere
    }
    for (const QFileInfo& sub :
         QDir(m_dir).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        for (const Frame& f : framesIn(sub.filePath(), {})) {
            deleted += QFile::remove(f.path) ? 1 : 0;
        }
        QDir folder(sub.filePath());
        if (folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden) ==
            QStringList{QString::fromLatin1(AddressFileName)}) {
            folder.remove(QString::fromLatin1(AddressFileName));
            QDir(m_dir).rmdir(sub.fileName());
        }
    }
    return deleted;
}

void FrameStore::prune(const QString& folder) const
{
    QList<Frame> own = framesIn(folder, {});
    while (own.size() > m_perAddress) {
        QFile::remove(own.takeFirst().path);
    }
    // The cap on all addresses together: the oldest frames anywhere go first.
    QList<Frame> all;
    qint64 total = 0;
    for (const QFileInfo& sub :
         QDir(m_dir).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        for (const Frame& f : framesIn(sub.filePath(), {})) {
            all.append(f);
            total += f.bytes;
        }
    }
    std::sort(all.begin(), all.end(), [](const Frame& a, const Frame& b) { return a.takenUtc < b.takenUtc; });
    for (qsizetype i = 0; total > m_totalBytes && i + 1 < all.size(); ++i) {
        if (QFile::remove(all[i].path)) {
            total -= all[i].bytes;
        }
    }
}
