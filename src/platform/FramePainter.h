#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

// How a kept frame is shown, in Replay, on the wall display's loop and in a loop saved: fitted into its
// area on black, its time (if any) in a small dark box in the top left corner.
class FramePainter
{
public:
    static void paint(QPainter& p, const QRect& area, const QImage& frame, const QString& time)
    {
        p.fillRect(area, Qt::black);
        if (frame.isNull()) {
            return;
        }
        const QSize fitted = frame.size().scaled(area.size(), Qt::KeepAspectRatio);
        p.drawImage(QRect(area.topLeft() + QPoint((area.width() - fitted.width()) / 2,
                                                  (area.height() - fitted.height()) / 2),
                          fitted),
                    frame);
        if (time.isEmpty()) {
            return;
        }
        const QRect box = p.fontMetrics()
                              .boundingRect(time)
                              .adjusted(-6, -3, 6, 3)
                              .translated(area.left() + 10, area.top() + 10 + p.fontMetrics().ascent());
        p.fillRect(box, QColor(0, 0, 0, 170));
        p.setPen(Qt::white);
        p.drawText(box, Qt::AlignCenter, time);
    }
};
