#include "core/SettingsMerge.h"

#include <QByteArray>

namespace {

struct Field
{
    qsizetype offset;
    qsizetype width;
};

// Every field but the window geometry (0 to 15) and the four unused bytes at 26.
constexpr Field MergedFields[] = {{16, 4},  {20, 4},    {24, 2},  {30, 300}, {330, 4},
                                  {334, 2}, {336, 128}, {464, 2}, {466, 4}};

} // namespace

SettingsRecord SettingsMerge::merge(const SettingsRecord& loaded, const SettingsRecord& atStart,
                                    const SettingsRecord& mine, const SettingsRecord& onDisk)
{
    const QByteArray loadedBytes = loaded.encode();
    const QByteArray startBytes = atStart.encode();
    const QByteArray diskBytes = onDisk.encode();
    QByteArray out = mine.encode();
    for (const Field& f : MergedFields) {
        const bool changedHere = out.mid(f.offset, f.width) != startBytes.mid(f.offset, f.width);
        const bool changedElsewhere = diskBytes.mid(f.offset, f.width) != loadedBytes.mid(f.offset, f.width);
        if (!changedHere && changedElsewhere) {
            out.replace(f.offset, f.width, diskBytes.mid(f.offset, f.width));
        }
    }
    return SettingsRecord::decode(out);
}
