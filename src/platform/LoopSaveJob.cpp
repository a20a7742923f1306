#include "platform/LoopSaveJob.h"

#include "core/AtomicFile.h"
#include "platform/LoopFrames.h"
#include "platform/LoopWriters.h"

#include <QFileInfo>
#include <QThread>

LoopSaveJob::LoopSaveJob(QList<QByteArray> pngs, QList<int> durationsMs, QStringList times, bool stampTimes,
                         QString path, QObject* parent)
    : QObject(parent), m_pngs(std::move(pngs)), m_durationsMs(std::move(durationsMs)),
      m_times(stampTimes ? std::move(times) : QStringList()), m_path(std::move(path))
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
    const QByteArray loop = LoopFrames::encode(LoopWriters::forSuffix(QFileInfo(m_path).suffix()), m_pngs,
                                               m_times, m_durationsMs, [this](int step) {
                                                   emit progressed(step);
                                                   return !m_cancelled.load();
                                               });
    if (m_cancelled) {
        emit finished(false, true);
        return;
    }
    emit finished(!loop.isEmpty() && AtomicFile::replace(m_path, loop), false);
}
