#include "core/RegularFile.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

bool RegularFile::isRegularOrAbsent(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat st
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) {
        return errno == ENOENT;
    }
    return S_ISREG(st.st_mode);
#else
    const QFileInfo info(path);
    return !info.exists() && !info.isSymLink() ? true : isRegular(path);
#endif
}

bool RegularFile::isRegular(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
#else
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink() && !info.isShortcut() && !info.isJunction();
#endif
}

bool RegularFile::open(QFile& file, const QString& path)
{
#ifdef Q_OS_UNIX
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#else
    file.setFileName(path);
    return isRegular(path) && file.open(QIODevice::ReadOnly);
#endif
}

std::optional<QByteArray> RegularFile::read(const QString& path, qint64 maxBytes)
{
    QFile file;
    if (!open(file, path)) {
        return std::nullopt;
    }
    QByteArray bytes = file.read(maxBytes);
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return bytes;
}
