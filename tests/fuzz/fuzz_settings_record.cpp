// libFuzzer target: any bytes as the settings file. Decoding never fails, encoding always gives 470
// bytes, and a decoded record survives a save and a load unchanged.
#include "core/LiveSettings.h"
#include "core/SettingsRecord.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const SettingsRecord first = SettingsRecord::decode(bytes);
    const QByteArray encoded = first.encode();
    if (encoded.size() != SettingsRecord::Size) {
        std::abort();
    }
    const QByteArray again = SettingsRecord::decode(encoded).encode();
    if (again != encoded) {
        std::abort(); // what was saved once reads back and saves the same
    }
    const LiveSettings live = LiveSettings::fromRecord(first);
    const QByteArray fromLive =
        live.toRecord(first.MainLeft, first.MainTop, first.MainWidth, first.MainHeight).encode();
    // Only the always-zero Reserved26 and the 0/-1 bold may differ from the first encoding.
    if (std::memcmp(fromLive.constData(), encoded.constData(), 464) != 0) {
        std::abort();
    }
    return 0;
}
