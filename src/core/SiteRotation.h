#pragma once

#include "core/SiteRecord.h"

#include <QList>

#include <optional>

// The saved sites shown one after the other, in list order, round and round. The list is read
// afresh for every turn, so a site added or removed meanwhile takes part or drops out.
class SiteRotation
{
public:
    // The site whose turn is next; sites without an address are passed over. Nothing when no site
    // has an address.
    std::optional<SiteRecord> next(const QList<SiteRecord>& sites)
    {
        for (qsizetype step = 1; step <= sites.size(); ++step) {
            const qsizetype i = (m_last + step) % sites.size();
            if (!sites[i].URL.trimmed().isEmpty()) {
                m_last = i;
                return sites[i];
            }
        }
        return std::nullopt;
    }

private:
    qsizetype m_last = -1; // the position shown last
};
