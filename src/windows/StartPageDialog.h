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
class StartPageDialog : public QWidget
{
    Q_OBJECT
public:
    // selectorText reads the main window's site selector.
    StartPageDialog(AppState& state, MessageBoxes& messages, std::function<QString()> selectorText,
                    QWidget* parent = nullptr);

    void loadWindow();

private slots:
    void apply();  // Apply
    void cancel(); // Cancel

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    static constexpr int TypedMaximum = 260; // characters the address box takes when typed
    void showStartPage();

    AppState& m_state;
    MessageBoxes& m_messages;
    std::function<QString()> m_selectorText;
    Twips m_twips;

    QFrame* m_frame = nullptr;                    // m_frame over the whole window
    QLabel* m_titleLabel = nullptr;               // "Skyvane - Default Start Page"
    QLineEdit* m_addressBox = nullptr;            // the start page, or a typed address
    QRadioButton* m_helpPageOption = nullptr;     // the help page
    QRadioButton* m_blankPageOption = nullptr;    // the blank page
    QRadioButton* m_typedAddressOption = nullptr; // the address typed in m_addressBox
    QRadioButton* m_shownPageOption = nullptr;    // the page shown in the main window
    QPushButton* m_applyButton = nullptr;         // "Apply"
    QPushButton* m_cancelButton = nullptr;        // "Cancel"
    QButtonGroup* m_options = nullptr;            // keeps at most one option selected
};
