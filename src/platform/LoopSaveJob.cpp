#include "platform/LoopSaveJob.h"

#include "core/AtomicFile.h"
#include "platform/LoopWriter.h"
#include "platform/LoopWriters.h"

#include <QFileInfo>
#include <QImage>
#include <QThread>

LoopSaveJob::LoopSaveJob(QList<QByteArray> pngs, QString path, double framesPerSecond, QObject* parent)
    : QObject(parent), m_pngs(std::move(pngs)), m_path(std::move(path)), m_framesPerSecond(framesPerSecond)
{
}

LoopSaveJob::~LoopSaveJob()
{
    if (m_thread != nullptr) {
        m_cancelled = true;
        m_thread->wait();
        delete m_thread;
    }
}

void LoopSaveJob::start()
{
    if (m_thread == nullptr) {
        m_thread = QThread::create([this] { run(); });
        m_thread->start(QThread::LowPriority);
    }
}

void LoopSaveJob::run()
{
    QList<QImage> frames;
    for (const QByteArray& png : m_pngs) {
        if (m_cancelled) {
            emit finished(false, true);
            return;
        }
        frames.append(QImage::fromData(png, "PNG"));
        emit progressed(int(frames.size()));
    }
    const int decoded = int(frames.size());
    const LoopWriter& writer = LoopWriters::forSuffix(QFileInfo(m_path).suffix());
    const QByteArray loop = writer.encode(frames, m_framesPerSecond, [this, decoded](int encoded) {
        emit progressed(decoded + encoded);
        return !m_cancelled.load();
    });
    if (m_cancelled) {
        emit finished(false, true);
        return;
    }
    emit finished(!loop.isEmpty() && AtomicFile::replace(m_path, loop), false);
}
