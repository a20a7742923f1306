// libFuzzer target: any bytes as SiteList.dab. The count follows the rounding rule, every record
// decodes, and a decoded record is stable under save and load.
#include "core/SiteListFile.h"
#include "core/SiteRecord.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const qint64 count = SiteListFile::recordCount(bytes.size());
    if (count < 0 || count * SiteRecord::Size > bytes.size() + SiteRecord::Size / 2) {
        std::abort();
    }
    for (qint64 k = 0; k < count; ++k) {
        const qsizetype start = k * SiteRecord::Size;
        const SiteRecord r =
            SiteRecord::decode(bytes.sliced(start, qMin<qsizetype>(SiteRecord::Size, bytes.size() - start)));
        if (r.Name.size() > SiteRecord::NameWidth || r.URL.size() > SiteRecord::URLWidth) {
            std::abort();
        }
        const QByteArray stored = r.encode();
        if (stored.size() != SiteRecord::Size || !(SiteRecord::decode(stored) == r)) {
            std::abort();
        }
    }
    return 0;
}
