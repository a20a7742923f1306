#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// The frames kept of each address: Frames/<short hash of the address>/, with Address.txt naming the
// address and one PNG per frame named by its UTC time. Only files Skyvane wrote count as frames: a
// name in its own pattern, a time not in the future, a whole PNG (it begins and ends as one), in the
// folder whose Address.txt names the address. Anything else is left alone, never counted and never
// deleted. The folders and files are the user's alone, and an address is kept without its user name
// and password. Pure file work, safe on a worker thread.
class FrameStore
{
public:
    static constexpr int DefaultPerAddress = 36; // six hours at ten minutes
    static constexpr qint64 DefaultTotalBytes = 500LL * 1024 * 1024;
    static constexpr const char* AddressFileName = "Address.txt";

    struct Frame
    {
        QString path;
        QDateTime takenUtc;
        qint64 bytes = 0;
    };

    FrameStore(QString framesDir, int perAddress = DefaultPerAddress, qint64 totalBytes = DefaultTotalBytes);

    // The address as it is kept: without a user name or password.
    static QString keptAddress(const QString& address);
    static QString folderName(const QString& address);
    // Whether bytes are a whole PNG file: its signature, its header first and its end last.
    static bool isWholePng(const QByteArray& head, const QByteArray& tail);
    static QString fileNameFor(const QDateTime& takenUtc);
    QString folderFor(const QString& address) const;

    // The address's frames, oldest first.
    QList<Frame> frames(const QString& address) const;
    // The frame's PNG as it is stored; empty when it cannot be read or is no PNG (any more).
    QByteArray read(const Frame& frame) const;

    // Keeps a PNG of the address, then drops the oldest past the limits. False when it could not be
    // written (the store is then as it was).
    bool keep(const QString& address, const QDateTime& takenUtc, const QByteArray& png);
    // Deletes every frame kept of every address (and the folders left empty); returns how many.
    int clear() const;

private:
    static QList<Frame> framesIn(const QString& folder, const QString& address);
    void prune(const QString& folder) const;

    QString m_dir;
    int m_perAddress;
    qint64 m_totalBytes;
};
