#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QLabel;
class QToolButton;

// A small up-down control with horizontal arrows. It keeps its buddy label's caption equal to its
// value and raises Change when the user changes the value: with the arrows, the arrow keys, PageUp and
// PageDown (ten at a time), Home and End, or by typing the number. It shows when it has the focus.
class UpDown : public QWidget
{
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    int value() const { return m_value; }
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    void setRange(int minimum, int maximum);
    // Sets the value as the program would; raises no Change.
    void setValue(int value);
    void setBuddy(QLabel* buddy);

    // One step as the user's arrow click does it; raises Change when the value moved.
    void stepUp();
    void stepDown();

signals:
    void Change();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void stepBy(int delta);
    void updateBuddy();

    QToolButton* m_down; // left arrow: one minute less
    QToolButton* m_up;   // right arrow: one minute more
    QLabel* m_buddy = nullptr;
    int m_value = 0;
    int m_min = 0;
    int m_max = 100;
    QString m_typed;         // the digits typed so far
    QElapsedTimer m_typedAt; // a pause starts a new number
};
