#include "core/SiteListStore.h"

#include "core/FileLock.h"
#include "core/MessageBoxes.h"

QList<SiteRecord> SiteListStore::load()
{
    m_loadedStamp = m_file.stamp();
    return m_file.readAll();
}

SiteListStore::Saved SiteListStore::save(const QList<SiteRecord>& sites, bool changed, bool ending)
{
    if (!changed) {
        return Saved::Unchanged;
    }
    if (m_file.stamp() != m_loadedStamp) {
        // Another window saved the list since this one read it.
        const MessageBoxes::Answer answer =
            m_messages == nullptr
                ? MessageBoxes::Answer::Yes
                : m_messages->show(QStringLiteral("The site list was changed by another Skyvane "
                                                  "window. Replace it with this list?"),
                                   MessageBoxes::Buttons::YesNo);
        if (answer != MessageBoxes::Answer::Yes) {
            return answer == MessageBoxes::Answer::No && !ending ? Saved::OtherShown : Saved::OtherKept;
        }
    }
    // The new list replaces the old file in one step, so a failed write leaves the old list whole.
    const FileLock lock(m_file.path()); // one window writes the list at a time
    return m_file.writeAll(sites) ? Saved::Written : Saved::NotWritten;
}
