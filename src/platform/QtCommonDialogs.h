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

    QString askOpenPath(const QString& initDir) override;
    Font askFont(const Font& initial) override;
    QString askSavePath(const QString& suggestedPath) override;
    QString askSaveLoopPath(const QString& suggestedPath, bool* timeOnFrames) override;
    bool askLogin(const QString& site, const QString& realm, QString* user, QString* password) override;
    void saved(const QString& path) override;

private:
    QWidget* parent() const; // the window the user is in, else the main window

    QWidget* m_parent;
    QString m_lastSaveFolder; // where the last save succeeded, for this session
};
