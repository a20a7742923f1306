#pragma once

#include <QImage>
#include <QLabel>

// What covers the page's view while a load of ours is under way: the last good picture, or a card of
// large text (a wall display's news). Whatever the user does to it, a click, a key or the wheel, says
// the live page is wanted (touched).
class PictureCover : public QLabel
{
    Q_OBJECT
public:
    explicit PictureCover(QWidget* parent);

    // Over the view's place (over), at once.
    void showPicture(const QImage& picture, const QRect& over);
    void showCard(const QString& text, const QRect& over);
    void remove();

signals:
    void touched();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void showOver(const QRect& over);
};
