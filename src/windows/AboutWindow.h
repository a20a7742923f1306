#pragma once

#include "core/Twips.h"

#include <QWidget>

class QFrame;
class QLabel;

// The About window: the m_logo, what the program is for, and the maker's notice. Esc closes it.
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
    QFrame* m_frame = nullptr;        // m_frame around the contents
    QLabel* m_logo = nullptr;         // the m_logo at its own size
    QLabel* m_purposeLabel = nullptr; // what the program is for
    QLabel* m_noticeLabel = nullptr;  // the maker's notice
};
