#pragma once

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

// Dims a widget and lets the user drag a rectangle over it, saying so; Esc or a click without a drag
// cancels. The keyboard goes back where it was, the view left as it was. Deletes itself once picked
// or cancelled.
class AreaPicker : public QWidget
{
    Q_OBJECT
public:
    // Over the whole of target, which keeps it as a child.
    explicit AreaPicker(QWidget* target);

signals:
    void picked(const QRect& rect); // in the target's coordinates
    void cancelled();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void finish(const QRect& rect);

    QPointer<QWidget> m_focusBefore; // had the keyboard before the drag
    QPoint m_from;
    QRect m_rect;
    bool m_dragging = false;
    bool m_done = false;
};
