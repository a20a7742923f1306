#include "core/FrameStore.h"

#include "core/AtomicFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace {

const QString kTimeFormat = QStringLiteral("yyyyMMdd'T'HHmmsszzz'Z'");

} // namespace

FrameStore::FrameStore(QString framesDir, int perAddress, qint64 totalBytes)
    : m_dir(std::move(framesDir)), m_perAddress(qMax(1, perAddress)), m_totalBytes(totalBytes)
{
}

QString FrameStore::folderName(const QString& address)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(address.toUtf8(), QCryptographicHash::Sha1).toHex().left(12));
}

QString FrameStore::fileNameFor(const QDateTime& takenUtc)
{
    return takenUtc.toUTC().toString(kTimeFormat) + QStringLiteral(".png");
}

QString FrameStore::folderFor(const QString& address) const
{
    return QDir(m_dir).filePath(folderName(address));
}

QList<FrameStore::Frame> FrameStore::framesIn(const QString& folder)
{
    static const QRegularExpression name(QStringLiteral("^\\d{8}T\\d{9}Z\\.png$"));
    QList<Frame> out;
    const QFileInfoList entries =
        QDir(folder).entryInfoList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    for (const QFileInfo& info : entries) {
        if (!name.match(info.fileName()).hasMatch()) {
            continue; // not one of ours
        }
        QDateTime taken = QDateTime::fromString(info.completeBaseName(), kTimeFormat);
        if (!taken.isValid()) {
            continue;
        }
        taken.setTimeSpec(Qt::UTC);
        out.append({info.filePath(), taken, info.size()});
    }
    return out; // names sort by time
}

QList<FrameStore::Frame> FrameStore::frames(const QString& address) const
{
    return framesIn(folderFor(address));
}

bool FrameStore::keep(const QString& address, const QDateTime& takenUtc, const QByteArray& png)
{
    const QString folder = folderFor(address);
    if (!QDir().mkpath(folder)) {
        return false;
    }
    const QString addressFile = QDir(folder).filePath(QString::fromLatin1(AddressFileName));
    QFile named(addressFile);
    if ((!named.exists() || named.size() == 0) &&
        !AtomicFile::replace(addressFile, address.toUtf8() + '\n')) {
        return false;
    }
    if (!AtomicFile::replace(QDir(folder).filePath(fileNameFor(takenUtc)), png)) {
        return false;
    }
    prune(folder);
    return true;
}

void FrameStore::prune(const QString& folder) const
{
    QList<Frame> own = framesIn(folder);
    while (own.size() > m_perAddress) {
        QFile::remove(own.takeFirst().path);
    }
    // The cap on all addresses together: the oldest frames anywhere go first.
    QList<Frame> all;
    qint64 total = 0;
    for (const QFileInfo& sub : QDir(m_dir).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        for (const Frame& f : framesIn(sub.filePath())) {
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
