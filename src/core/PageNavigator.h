#pragma once

#include <QString>
#include <QtGlobal>

// The browser as the browsing rules drive it: open an address, reload, and say what is shown.
class PageNavigator
{
public:
    static constexpr qint16 REFRESH_COMPLETELY = 3;

    virtual ~PageNavigator() = default;
    // Shows the address as a user typed it: a URL, a bare host name or an absolute local path.
    virtual void Navigate(const QString& address) = 0;
    // Plain reload; cached sub-resources may be reused.
    virtual void Refresh() = 0;
    // Reload at the given level; REFRESH_COMPLETELY bypasses every cache.
    virtual void Refresh2(qint16 level) = 0;
    // The address of the displayed page; empty while nothing is displayed.
    virtual QString LocationURL() const = 0;
};
