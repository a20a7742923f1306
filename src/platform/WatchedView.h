#pragma once

#include <QImage>
#include <QString>
#include <QVariant>

#include <functional>

// What the page watcher needs of a web view: to load, reload and stop, to look at the page through a
// script of its own, to take a picture of it, and to lay a cover over it.
class WatchedView
{
public:
    virtual ~WatchedView() = default;

    virtual void load(const QString& address) = 0; // an address as a URL, already made from the typed text
    // Asks again for the document on screen, at the address it was loaded from.
    virtual void reload(bool bypassCache) = 0;
    virtual void stop() = 0;
    // The address the document on screen (or loading) was loaded from, after the server's redirects;
    // not one the page wrote for itself (history.replaceState, pushState, a #part). Empty while nothing
    // is displayed.
    virtual QString address() const = 0;
    virtual bool onScreen() const = 0;
    // The view as it shows on screen; null while it is not on screen.
    virtual QImage picture() = 0;
    // Runs a script apart from the page's own scripts (they cannot see or change it); done gets its
    // result, and is not called once the view is gone.
    virtual void inspect(const QString& script, std::function<void(const QVariant&)> done) = 0;
    // All the bytes received from the network so far, or -1 when that cannot be known here.
    virtual qint64 bytesReceived() const = 0;

    virtual void cover(const QImage& picture) = 0;       // the picture over the view
    virtual void coverWithCard(const QString& text) = 0; // a plain card over the view, a line of text each
    virtual void uncover() = 0;
    virtual bool covered() const = 0;
    // While on, the page's alert, confirm and prompt boxes and its leave-page question are answered at
    // once, without a box.
    virtual void answerPageDialogs(bool on) = 0;
};
