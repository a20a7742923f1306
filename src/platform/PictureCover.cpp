#include "platform/PictureCover.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

PictureCover::PictureCover(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("LastGoodPicture"));
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFocusPolicy(Qt::StrongFocus);
    hide();
}

void PictureCover::showPicture(const QImage& picture, const QRect& over)
{
    setStyleSheet(QString());
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setPixmap(QPixmap::fromImage(picture));
    showOver(over);
}

void PictureCover::showCard(const QString& text, const QRect& over)
{
    // Large enough to be read across the room on a wall display.
    const int pixels = qMax(20, over.height() / 24);
    setStyleSheet(
        QStringLiteral("QLabel { background: #f4f4f4; color: #333; font-size: %1px; }").arg(pixels));
    setAlignment(Qt::AlignCenter);
    setText(text);
    showOver(over);
}

void PictureCover::showOver(const QRect& over)
{
    setGeometry(over);
    show();
    raise();
}

void PictureCover::remove()
{
    hide();
    clear();
}

void PictureCover::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit touched(); // the user wants the live page, whatever state it is in
}

void PictureCover::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    emit touched();
}

void PictureCover::wheelEvent(QWheelEvent* event)
{
    event->accept();
    emit touched();
}
