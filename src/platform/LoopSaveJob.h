#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>

class QThread;

// Writes the frames of a loop as one animation on a thread of its own, in the format of the file
// name's suffix (an animated WebP unless another writer knows it), so that the window goes on while a
// long loop is made: the kept PNGs are decoded, fitted, given their times and encoded there, and the
// file is put in place whole. It tells how far it is, and can be cancelled.
class LoopSaveJob : public QObject
{
    Q_OBJECT
public:
    // Frame i is held for durationsMs[i]; with stampTimes, times[i] is drawn in its corner.
    LoopSaveJob(QList<QByteArray> pngs, QList<int> durationsMs, QStringList times, bool stampTimes,
                QString path, QObject* parent = nullptr);
    ~LoopSaveJob() override; // cancels, and waits for the thread

    void start();
    void cancel() { m_cancelled = true; }
    // The steps progressed() counts to: each frame decoded, then encoded.
    int steps() const { return int(m_pngs.size()) * 2; }

signals:
    void progressed(int step);
    // Whether the file was written; a cancelled job writes nothing.
    void finished(bool saved, bool cancelled);

private:
    void run();

    QList<QByteArray> m_pngs;
    QList<int> m_durationsMs;
    QStringList m_times; // empty: none drawn
    QString m_path;
    std::atomic_bool m_cancelled{false};
    QThread* m_thread = nullptr;
};
