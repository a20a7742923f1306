#include "platform/FrameRecorder.h"

#include "platform/FrameWorker.h"

#include <QCoreApplication>

FrameRecorder::FrameRecorder(const FrameStore& store, QObject* parent)
    : QObject(parent), m_store(store), m_worker(new FrameWorker(store))
{
    m_thread.setObjectName(QStringLiteral("Frames"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(this, &FrameRecorder::requested, m_worker, &FrameWorker::take);
    connect(m_worker, &FrameWorker::done, this, &FrameRecorder::onDone);
    m_thread.start(QThread::LowPriority);
}

FrameRecorder::~FrameRecorder()
{
    m_thread.quit();
    m_thread.wait();
}

void FrameRecorder::take(const QImage& picture, const QString& address)
{
    if (m_stopped || picture.isNull() || address.isEmpty()) {
        return;
    }
    ++m_pending;
    emit requested(picture, address, QDateTime::currentDateTimeUtc());
}

void FrameRecorder::finish()
{
    while (m_pending > 0) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); // the worker's answer wakes it
    }
}

void FrameRecorder::onDone(const QString& address, bool newPicture, const QDateTime& frameUtc, bool stored)
{
    --m_pending;
    if (!stored) {
        if (!m_stopped) {
            m_stopped = true;
            emit keepingStopped();
        }
        return;
    }
    emit pictureCompared(address, newPicture, frameUtc);
}
