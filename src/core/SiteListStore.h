#pragma once

#include "core/SiteListFile.h"
#include "core/SiteRecord.h"

#include <QList>
#include <QString>

class MessageBoxes;

// SiteList.dab as one editor keeps it: read when the editor opens (the version read is remembered),
// written when it closes. A list changed by another window since then is replaced only when the user
// says so; the write takes the list's lock and replaces the file in one step.
class SiteListStore
{
public:
    // What became of the list handed to save.
    enum class Saved
    {
        Unchanged,  // nothing to write
        Written,    // the file holds the list now
        NotWritten, // the write failed: the old file is whole
        OtherKept,  // another window's list stays
        OtherShown, // another window's list stays, and the editor shows it to look at
    };

    // messages asks before another window's list is replaced (none: it is replaced).
    SiteListStore(QString path, MessageBoxes* messages) : m_file(std::move(path)), m_messages(messages) {}

    // The sites in the file, remembering which version of it they are.
    QList<SiteRecord> load();
    // Writes sites when changed; ending: the program ends, so the editor cannot stay open.
    Saved save(const QList<SiteRecord>& sites, bool changed, bool ending);

private:
    SiteListFile m_file;
    MessageBoxes* m_messages;
    SiteListFile::Stamp m_loadedStamp; // the file the sites were read from
};
