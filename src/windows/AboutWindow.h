#pragma once

#include "core/Twips.h"

#include <QWidget>

class QFrame;
class QLabel;

// The About window: the logo, what the program is for, and the maker's notice. Esc closes it.
class Form3 : public QWidget
{
    Q_OBJECT
public:
    static constexpr const char* Notice = "Made by the Skyvane developers. Free to use and share.";

    explicit Form3(QWidget* parent = nullptr);

    void Form_KeyPress(int keyAscii);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Twips m_twips;
    QFrame* Frame1 = nullptr; // frame around the contents
    QLabel* Image1 = nullptr; // the logo at its own size
    QLabel* Label1 = nullptr; // what the program is for
    QLabel* Label3 = nullptr; // the maker's notice
};
