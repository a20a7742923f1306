#pragma once

#include "core/FrameStore.h"
#include "core/StormAlert.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QRectF>

// Compares and keeps frames on its own thread, so that encoding and writing never hold up the window.
class FrameWorker : public QObject
{
    Q_OBJECT
public:
    explicit FrameWorker(const FrameStore& store);

    // A small copy of a picture for the change rule: 32-bit pixels at the compare width.
    struct Thumb
    {
        QByteArray pixels;
        int width = 0;
        QDateTime takenUtc;
    };
    static Thumb thumbOf(const QImage& picture);
    // The picture's copy to compare with last: of last's size, from the shared part when the picture
    // is of another shape.
    static Thumb thumbLike(const QImage& picture, const Thumb& last);

public slots:
    void take(const QImage& picture, const QString& address, const QDateTime& takenUtc);
    // Tells how many frames are kept of an address (counted), and learns from them how often its
    // picture changes.
    void count(const QString& address);
    // Every frame was deleted: the next picture of each address is a new one.
    void forget()
    {
        m_last.clear();
        m_gaps.clear();
    }
    // The storm alert's box of an address (fractions of the picture; empty: no alert) and its level
    // (the least dBZ that counts), measured at each new picture of that address; percent of the box
    // in storm colours starts an alert.
    void setAlert(const QString& address, const QRectF& box, int levelDbz, int percent);

signals:
    // newPicture: kept as a frame at takenUtc; else unchanged since the last kept frame's time.
    // notKept says why a new picture could not be written (empty: it was, or none had to be);
    // usualGapMs is how often the address's picture changes, as its frames tell (-1: not known yet).
    void done(const QString& address, bool newPicture, const QDateTime& frameUtc, const QString& notKept,
              qint64 usualGapMs);
    void counted(const QString& address, int frames);
    // The storm alert of an address started (since: the frame's time) or ended.
    void alertChanged(const QString& address, bool active, const QDateTime& since);

private:
    Thumb lastKept(const QString& address);
    void measureAlert(const QImage& picture, const QString& address, const QDateTime& takenUtc,
                      bool newPicture);

    struct Alert
    {
        QRectF box;
        StormAlert rule;
    };
    QHash<QString, Alert> m_alerts; // by address

    FrameStore m_store;
    QHash<QString, Thumb> m_last;  // the last kept frame of each address, small
    QHash<QString, qint64> m_gaps; // the usual gap between the frames of each address; -1: unknown
};
