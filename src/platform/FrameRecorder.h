#pragma once

#include "core/FrameStore.h"

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QThread>

class FrameWorker;

// Keeps a frame of the displayed page after each good load, when it is a new picture. The window
// hands over the picture; the comparing and writing happen on a thread of the recorder's own.
class FrameRecorder : public QObject
{
    Q_OBJECT
public:
    FrameRecorder(const FrameStore& store, QObject* parent = nullptr);
    ~FrameRecorder() override;

    void take(const QImage& picture, const QString& address);
    const FrameStore& store() const { return m_store; }
    // Waits until every picture handed over has been dealt with (for an orderly end and for tests).
    void finish();
    // How many frames are kept of an address, as last counted on the recorder's thread; -1 until it
    // has been (asked now). Never a scan of the folder here.
    int keptCount(const QString& address);
    // Deletes every frame kept; returns how many.
    int clear();
    // The storm alert's box of an address (fractions of the view; empty: none), its level in dBZ and
    // the percent of the box that starts it.
    void setAlert(const QString& address, const QRectF& box, int levelDbz, int percent = 2);

signals:
    void requested(const QImage& picture, const QString& address, const QDateTime& takenUtc);
    // The picture was compared: new (kept at frameUtc) or unchanged since frameUtc. usualGapMs: how
    // often the address's picture changes, as the frames kept tell (-1: not known yet).
    void pictureCompared(const QString& address, bool newPicture, const QDateTime& frameUtc,
                         qint64 usualGapMs);
    // Frames could not be written, and why ("the disk is full"); or, with no reason, they are kept
    // again. Each new picture tries again.
    void keepingChanged(const QString& notKept);
    // The storm alert of an address started (since: the frame that showed it) or ended.
    void alertChanged(const QString& address, bool active, const QDateTime& since);

private:
    void onDone(const QString& address, bool newPicture, const QDateTime& frameUtc, const QString& notKept,
                qint64 usualGapMs);

    FrameStore m_store;
    QThread m_thread;
    FrameWorker* m_worker;
    int m_pending = 0;
    QString m_notKept;            // why the last new picture was not kept
    QHash<QString, int> m_counts; // frames kept, by address
};
