#pragma once

#include "core/PageNavigator.h"

#include <QImage>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <QtGlobal>

#include <functional>

class UpdateProbe;

// The embedded web browser as the main window drives it: a few operations, and six events that
// report what the browser does.
class BrowserControl : public QWidget, public PageNavigator
{
    Q_OBJECT
public:
    static constexpr qint32 ForwardCommand = 1;
    static constexpr qint32 BackCommand = 2;

    using QWidget::QWidget;

    virtual void goBack() = 0;
    virtual void goForward() = 0;
    // Text size, level 0 (smallest) to 4 (largest). Returns false when the browser refused it.
    virtual bool setTextSize(qint32 level) = 0;
    // Asks the user where to save the displayed page and saves it there.
    virtual void saveAs() = 0;
    // The Internet connection has come back (the indicator turned from red to green).
    virtual void connectionRestored() {}
    // A few words about the picture of the last load, shown after the load's own status text.
    virtual void setPictureNote(const QString& note) { Q_UNUSED(note); }
    // The address of the picture on screen: while a failed load holds its picture, the watched one.
    virtual QString pictureAddress() const { return currentAddress(); }
    // The address of the page's main picture at its last good load; empty: none known.
    virtual QString mainPictureAddress() const { return {}; }
    // What asks the page's site about changes as the page itself would (its cookies, its proxy, the
    // logins given); none: the site cannot be asked.
    virtual UpdateProbe* updateProbe() { return nullptr; }
    // A load Skyvane started by itself is under way.
    virtual bool refreshLoading() const { return false; }
    // A document is loading, whoever started it.
    virtual bool pageLoading() const { return false; }
    // The page's renderer has died again and again lately.
    virtual bool refreshCrashing() const { return false; }
    // With nobody there (the wall display), the page's dialogs are always answered without a box.
    virtual void setUnattended(bool on) { Q_UNUSED(on); }
    // The part of an address's page to show (page pixels at 100% zoom, its scroll included): after
    // each good load of it, under the cover, and at every resize, the view is zoomed and scrolled so
    // that the part fills it. An empty part shows the whole page again.
    virtual void setWatchArea(const QString& address, const QRectF& pageRect)
    {
        Q_UNUSED(address);
        Q_UNUSED(pageRect);
    }
    // A rectangle of the view in page pixels at 100% zoom, its scroll included; done is not called
    // once the browser is gone.
    virtual void pageRectOf(const QRect& viewRect, std::function<void(const QRectF&)> done)
    {
        done(viewRect);
    }

signals:
    void statusTextChanged(const QString& text);
    void progressChanged(qint32 progress, qint32 progressMax);
    void historyStateChanged(qint32 command, bool enable);
    void downloadCompleted();
    void titleChanged(const QString& text);
    void navigationCompleted();
    // The end of a Save As: whether the page was saved, and where.
    void saveFinished(bool saved, const QString& path);
    // The displayed page as it shows on screen after a good load (not while covered or minimized).
    void pictureShown(const QImage& picture, const QString& address);
    // A dialog of the page was answered without a box during a load nobody watches; text says what it said.
    void pageSaid(const QString& text);
    // A load Skyvane started by itself (a refresh, its retry) ended well, or failed and why.
    void refreshJudged(bool ok, const QString& reason);
    // The page's renderer keeps dying, a fresh one too: the program should end for its supervisor to
    // start it afresh; why says so in a line.
    void renderingGaveUp(const QString& why);
};
