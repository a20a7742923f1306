#pragma once

#include "core/RemoteReport.h"

#include <QByteArray>
#include <QString>

#include <functional>

// The window as the remote view reads and works it.
class RemoteSource
{
public:
    virtual ~RemoteSource() = default;

    virtual RemoteReport report() const = 0;
    // The latest picture as shown, as PNG; empty before the first one.
    virtual QByteArray picturePng() const = 0;
    // The loop of the displayed address in the format of a file suffix ("webp", "gif", "mp4"), given
    // to done (empty: no frames), at once when it is made already; done is not called once the source
    // is gone.
    virtual void loop(const QString& suffix, std::function<void(const QByteArray&)> done) = 0;

    virtual void refresh() = 0;
    virtual void next() = 0;
    // Opens address as the address box would; empty when it is opened, else why not.
    virtual QString open(const QString& address) = 0;
};
