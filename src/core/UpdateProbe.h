#pragma once

#include "core/UpdateCheck.h"

#include <QString>

#include <functional>

class QObject;

// Asks a site about one address without loading it: the request as the check says, with the
// validators of the last answer. Never blocks.
class UpdateProbe
{
public:
    using Done = std::function<void(const UpdateCheck::Answer&)>;

    virtual ~UpdateProbe() = default;
    // done is called once, on the caller's thread, while context lives (status 0: no answer came).
    virtual void ask(const QString& address, UpdateCheck::Ask how, const UpdateCheck::Answer& last,
                     QObject* context, Done done) = 0;
};
