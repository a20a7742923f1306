#pragma once

#include <QFrame>
#include <QRectF>

// The storm alert's box drawn over the browser: faint while it is only watched, strong red while an
// alert lasts. It keeps its place as fractions of the view, so that every resize, maximize or change
// of screen draws it again where the box is. It is the browser's child beside the page's view, so it
// is never in a picture taken of the page.
class AlertOutline : public QFrame
{
    Q_OBJECT
public:
    explicit AlertOutline(QWidget* browser);

    // box: fractions of the view; empty: none shown.
    void showBox(const QRectF& box, bool alerting);
    bool alerting() const { return m_alerting; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();

    QRectF m_box;
    bool m_alerting = false;
};
