#pragma once

#include "core/MessageBoxes.h"

class QWidget;

// Message boxes with QMessageBox, over the given window.
class QtMessageBoxes : public MessageBoxes
{
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    Answer show(const QString& text, Buttons buttons) override;

private:
    QWidget* m_parent;
};
