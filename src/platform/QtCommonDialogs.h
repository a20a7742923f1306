#pragma once

#include "core/CommonDialogs.h"

class QWidget;

// The common dialogs with QFileDialog and QFontDialog.
class QtCommonDialogs : public CommonDialogs
{
public:
    static constexpr float SmallestSize = 6;
    static constexpr float LargestSize = 12.25f;

    explicit QtCommonDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    QString ShowOpen(const QString& initDir) override;
    Font ShowFont(const Font& initial) override;
    QString ShowSave(const QString& suggestedPath) override;
    QString ShowSaveLoop(const QString& suggestedPath) override;
    bool ShowLogin(const QString& site, const QString& realm, QString* user, QString* password) override;
    void saved(const QString& path) override;

private:
    QWidget* parent() const; // the window the user is in, else the main window

    QWidget* m_parent;
    QString m_lastSaveFolder; // where the last save succeeded, for this session
};
