#pragma once

#include "core/SettingsRecord.h"

// Two windows may run on one folder. When one closes, it writes over what is on disk only the
// settings it changed itself: the rest keep what another window may have saved meanwhile. The
// window geometry is always the closing window's own.
class SettingsMerge
{
public:
    // loaded: the record as read at start-up; atStart: what this window made of it then (corrected),
    // mine: what it has now; onDisk: the record now in the file.
    static SettingsRecord merge(const SettingsRecord& loaded, const SettingsRecord& atStart,
                                const SettingsRecord& mine, const SettingsRecord& onDisk);
};
