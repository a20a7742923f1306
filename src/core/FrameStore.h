#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// The frames kept of each address: Frames/<short hash of the address>/, with Address.txt naming the
// address and one PNG per frame named by its UTC time. Anything else found there is left alone and
// never counted as a frame. Pure file work, safe on a worker thread.
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

    static QString folderName(const QString& address);
    static QString fileNameFor(const QDateTime& takenUtc);
    QString folderFor(const QString& address) const;

    // The address's frames, oldest first.
    QList<Frame> frames(const QString& address) const;

    // Keeps a PNG of the address, then drops the oldest past the limits. False when it could not be
    // written (the store is then as it was).
    bool keep(const QString& address, const QDateTime& takenUtc, const QByteArray& png);

private:
    static QList<Frame> framesIn(const QString& folder);
    void prune(const QString& folder) const;

    QString m_dir;
    int m_perAddress;
    qint64 m_totalBytes;
};
