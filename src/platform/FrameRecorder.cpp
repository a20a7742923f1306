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
    connect(m_worker, &FrameWorker::alertChanged, this, &FrameRecorder::alertChanged);
    connect(m_worker, &FrameWorker::counted, this,
            [this](const QString& address, int frames) { m_counts.insert(address, frames); });
    m_thread.start(QThread::LowPriority);
}

FrameRecorder::~FrameRecorder()
{
    m_thread.quit();
    m_thread.wait();
}

void FrameRecorder::take(const QImage& picture, const QString& address)
{
    if (picture.isNull() || address.isEmpty()) {
        return;
    }
    ++m_pending;
    emit requested(picture, address, QDateTime::currentDateTimeUtc());
}

void FrameRecorder::setAlert(const QString& address, const QRectF& box, int levelDbz, int percent)
{
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, address, box, levelDbz, percent] {
        worker->setAlert(address, box, levelDbz, percent);
    });
}

void FrameRecorder::finish()
{
    while (m_pending > 0) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); // the worker's answer wakes it
    }
}

int FrameRecorder::keptCount(const QString& address)
{
    if (const auto it = m_counts.constFind(address); it != m_counts.constEnd()) {
        return *it;
    }
    m_counts.insert(address, -1); // asked once
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, address] { worker->count(address); });
    return -1;
}

int FrameRecorder::clear()
{
    finish();
    QMetaObject::invokeMethod(m_worker, &FrameWorker::forget, Qt::BlockingQueuedConnection);
    m_counts.clear();
    return m_store.clear();
}

void FrameRecorder::onDone(const QString& address, bool newPicture, const QDateTime& frameUtc,
                           const QString& notKept, qint64 usualGapMs)
{
    --m_pending;
    if (newPicture && notKept != m_notKept) {
        m_notKept = notKept;
        emit keepingChanged(notKept);
    }
    if (notKept.isEmpty()) {
        emit pictureCompared(address, newPicture, frameUtc, usualGapMs);
    }
}
