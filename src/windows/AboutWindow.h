#pragma once

#include "core/Twips.h"

#include <QWidget>

class QFrame;
class QLabel;

// The About window: the logo, what the program is for, and the maker's notice. Esc closes it.
class AboutWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr const char* Notice = "Made by the Skyvane developers. Free to use and share.";

    explicit AboutWindow(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Twips m_twips;
    QFrame* frame = nullptr;        // frame around the contents
    QLabel* logo = nullptr;         // the logo at its own size
    QLabel* purposeLabel = nullptr; // what the program is for
    QLabel* noticeLabel = nullptr;  // the maker's notice
};
