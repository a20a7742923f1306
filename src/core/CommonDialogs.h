#pragma once

#include <QString>
#include <QtGlobal>

// The open-file, font and save dialogs.
class CommonDialogs
{
public:
    struct Font
    {
        QString name;
        bool bold = false;
        float size = 0;
        bool operator==(const Font&) const = default;
    };

    virtual ~CommonDialogs() = default;
    // An existing file in an existing folder, full path; empty when the user cancelled.
    // An empty initDir starts in the system's default folder.
    virtual QString askOpenPath(const QString& initDir) = 0;
    // The chosen font; the initial values when the user cancelled.
    virtual Font askFont(const Font& initial) = 0;
    // Where to save the displayed page; empty when the user cancelled.
    virtual QString askSavePath(const QString& suggestedPath) = 0;
    // Where to save a loop of frames, its format told by the suffix; empty when the user cancelled.
    // timeOnFrames: whether each frame's time is drawn on it, as offered and as chosen.
    virtual QString askSaveLoopPath(const QString& suggestedPath, bool* timeOnFrames) = 0;
    // A site asks for a user name and password; false when the user cancelled.
    virtual bool askLogin(const QString& site, const QString& realm, QString* user, QString* password) = 0;
    // Something was saved there: the next save dialog may start in its folder.
    virtual void saved(const QString& path) { Q_UNUSED(path); }
};
