#include "platform/QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

MessageBoxes::Answer QtMessageBoxes::show(const QString& text, Buttons buttons)
{
    // Over the window the user is in (the site list editor, the start page dialog, the main window), so
    // that a box never opens behind a full-screen window.
    QWidget* over = QApplication::activeWindow() != nullptr ? QApplication::activeWindow() : m_parent;
    QMessageBox box(over);
    box.setWindowTitle(QStringLiteral("Skyvane"));
    box.setIcon(QMessageBox::NoIcon);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}
