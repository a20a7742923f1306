#pragma once

#include "core/FrameStore.h"

#include <QHash>
#include <QImage>
#include <QWidget>

class BrowserControl;
class FrameRecorder;
class QTimer;
class Preferences;

// The wall display's loop: the last frames kept of the page on screen, played over the browser
// oldest first, each with its time, the newest held for the dwell. The refreshes go on underneath;
// a new frame joins at the end, and until there are two the live page shows.
class WallLoop : public QWidget
{
    Q_OBJECT
public:
    struct Parts
    {
        BrowserControl* browser;        // laid over it
        FrameRecorder* frames;          // the frames kept, and word of each new one
        const Preferences& preferences; // the speed and the dwell
    };

    WallLoop(Parts parts, int frameCount);

    int frameCount() const { return int(m_frames.size()); }
    int current() const { return m_index; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void reload();
    void step();

    Parts m_parts;
    int m_most;
    QString m_address;
    QList<FrameStore::Frame> m_frames;
    QHash<QString, QByteArray> m_png; // the frames as stored, by path, read once
    QImage m_shown;
    int m_index = -1;
    QTimer* m_timer;
};
