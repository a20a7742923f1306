#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// The browser as the browsing rules drive it: open an address, reload, and say what is shown.
class PageNavigator
{
public:
    static constexpr qint16 RefreshCompletely = 3;

    virtual ~PageNavigator() = default;
    // Shows the address as a user typed it: a URL, a bare host name or an absolute local path.
    virtual void navigate(const QString& address) = 0;
    // Opens an address as a load Skyvane starts by itself (the start page, a command-line address, a
    // rotation's turn): watched like a refresh, over the last good picture.
    virtual void navigateCovered(const QString& address) { navigate(address); }
    // Plain reload; cached sub-resources may be reused.
    virtual void refresh() = 0;
    // Reload at the given level; RefreshCompletely bypasses every cache.
    virtual void refreshAtLevel(qint16 level) = 0;
    // The address of the displayed page; empty while nothing is displayed.
    virtual QString currentAddress() const = 0;
    // When the picture on screen was loaded (invalid: no good load yet) and how old it is (ms, -1: none).
    virtual QDateTime pictureTime() const { return {}; }
    virtual qint64 pictureAgeMs() const { return -1; }
    // Whether the last refresh of the displayed page failed (its last good picture is shown).
    virtual bool refreshFailed() const { return false; }
};
