#include "core/ByteRange.h"

#include <QByteArray>

#include <algorithm>

namespace {

// Decimal digits only, and few enough to fit; -1 otherwise.
qint64 number(const QByteArray& text)
{
    if (text.isEmpty() || text.size() > 18 ||
        !std::all_of(text.cbegin(), text.cend(), [](char c) { return c >= '0' && c <= '9'; })) {
        return -1;
    }
    return text.toLongLong();
}

} // namespace

ByteRange ByteRange::of(QByteArrayView header, qint64 size)
{
    const QByteArray spec = header.toByteArray().trimmed();
    const qsizetype dash = spec.indexOf('-');
    if (!spec.startsWith("bytes=") || spec.contains(',') || dash < 0) {
        return {};
    }
    const QByteArray from = spec.mid(6, dash - 6).trimmed(), to = spec.mid(dash + 1).trimmed();
    if (from.isEmpty()) { // the last bytes
        const qint64 count = number(to);
        if (count < 0) {
            return {};
        }
        return count == 0 || size == 0 ? ByteRange{Kind::Unsatisfiable}
                                       : ByteRange{Kind::Part, qMax<qint64>(0, size - count), size - 1};
    }
    const qint64 first = number(from), last = to.isEmpty() ? first : number(to);
    if (first < 0 || last < first) {
        return {};
    }
    return first >= size ? ByteRange{Kind::Unsatisfiable}
                         : ByteRange{Kind::Part, first, to.isEmpty() ? size - 1 : qMin(last, size - 1)};
}
