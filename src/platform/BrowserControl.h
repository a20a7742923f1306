#pragma once

#include "core/PageNavigator.h"

#include <QImage>
#include <QString>
#include <QWidget>
#include <QtGlobal>

// The embedded web browser as the main window drives it: a few operations, and six events that
// report what the browser does.
class BrowserControl : public QWidget, public PageNavigator
{
    Q_OBJECT
public:
    static constexpr qint32 CSC_NAVIGATEFORWARD = 1;
    static constexpr qint32 CSC_NAVIGATEBACK = 2;

    using QWidget::QWidget;

    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    // Text size, level 0 (smallest) to 4 (largest). Returns false when the browser refused it.
    virtual bool ExecWBZoom(qint32 level) = 0;
    // Asks the user where to save the displayed page and saves it there.
    virtual void ExecWBSaveAs() = 0;
    // The Internet connection has come back (the indicator turned from red to green).
    virtual void ConnectionRestored() {}
    // A few words about the picture of the last load, shown after the load's own status text.
    virtual void setPictureNote(const QString& note) { Q_UNUSED(note); }
    // Opens an address with the page on screen kept over the view until the new one has loaded.
    virtual void NavigateCovered(const QString& address) { Navigate(address); }
    // Whether the last refresh of the displayed page failed (its last good picture is shown).
    virtual bool refreshFailed() const { return false; }

signals:
    void StatusTextChange(const QString& text);
    void ProgressChange(qint32 progress, qint32 progressMax);
    void CommandStateChange(qint32 command, bool enable);
    void DownloadComplete();
    void TitleChange(const QString& text);
    void NavigateComplete2();
    // The end of a Save As: whether the page was saved, and where.
    void SaveFinished(bool saved, const QString& path);
    // The displayed page as it shows on screen after a good load (not while covered or minimized).
    void PictureShown(const QImage& picture, const QString& address);
};
