#pragma once

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "core/Twips.h"

#include <QWidget>

#include <functional>

class QButtonGroup;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The default start page dialog: the help page, the blank page, a typed address or the page shown.
class Form4 : public QWidget
{
    Q_OBJECT
public:
    // selectorText reads the main window's site selector.
    Form4(AppState& state, MessageBoxes& messages, std::function<QString()> selectorText,
          QWidget* parent = nullptr);

    void Form_Load();

private slots:
    void Command2_Click(); // Apply
    void Command1_Click(); // Cancel

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    static constexpr int kTypedMaximum = 260; // characters the address box takes when typed
    void showStartPage();

    AppState& m_state;
    MessageBoxes& m_messages;
    std::function<QString()> m_selectorText;
    Twips m_twips;

    QFrame* Frame1 = nullptr;          // frame over the whole window
    QLabel* Label1 = nullptr;          // "Skyvane - Default Start Page"
    QLineEdit* Text1 = nullptr;        // the start page, or a typed address
    QRadioButton* Option1 = nullptr;   // the help page
    QRadioButton* Option2 = nullptr;   // the blank page
    QRadioButton* Option3 = nullptr;   // the address typed in Text1
    QRadioButton* Option4 = nullptr;   // the page shown in the main window
    QPushButton* Command2 = nullptr;   // "Apply"
    QPushButton* Command1 = nullptr;   // "Cancel"
    QButtonGroup* m_options = nullptr; // keeps at most one option selected
};
