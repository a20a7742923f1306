#include "core/HttpRequestFrame.h"

#include <QByteArray>
#include <QList>

#include <algorithm>

namespace {

using Kind = HttpRequestFrame::Kind;

bool isTokenChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), isTokenChar);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A line of the head without its CR LF (a bare LF is taken too); nothing else below space.
bool isClean(QByteArrayView line)
{
    return std::none_of(line.begin(), line.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u < 0x20 && c != '\t') || u == 0x7f;
    });
}

// "GET /path HTTP/1.1": Whole for 1.0 and 1.1, BadVersion for another HTTP/d.d, else Malformed.
Kind requestLine(QByteArrayView line, bool* http10)
{
    const qsizetype first = line.indexOf(' ');
    const qsizetype last = line.lastIndexOf(' ');
    if (first <= 0 || last <= first + 1 || !isToken(line.first(first))) {
        return Kind::Malformed;
    }
    const QByteArrayView target = line.sliced(first + 1, last - first - 1);
    if (std::any_of(target.begin(), target.end(),
                    [](char c) { return static_cast<unsigned char>(c) <= 0x20; })) {
        return Kind::Malformed;
    }
    const QByteArrayView version = line.sliced(last + 1);
    if (version.size() != 8 || !version.startsWith("HTTP/") || !isDigit(version[5]) || version[6] != '.' ||
        !isDigit(version[7])) {
        return Kind::Malformed;
    }
    if (version != "HTTP/1.1" && version != "HTTP/1.0") {
        return Kind::BadVersion;
    }
    *http10 = version == "HTTP/1.0";
    return Kind::Whole;
}

bool hasListToken(QByteArrayView value, QByteArrayView token)
{
    const QList<QByteArray> items = value.toByteArray().split(',');
    return std::any_of(items.cbegin(), items.cend(), [token](const QByteArray& item) {
        return item.trimmed().compare(token, Qt::CaseInsensitive) == 0;
    });
}

} // namespace

void HttpRequestFrame::append(QByteArrayView bytes)
{
    m_bytes.append(bytes.data(), bytes.size());
}

HttpRequestFrame::Frame HttpRequestFrame::next()
{
    // Empty lines between requests are passed over.
    if (m_fresh) {
        qsizetype blank = 0;
        while (blank < m_bytes.size() && (m_bytes[blank] == '\r' || m_bytes[blank] == '\n')) {
            ++blank;
        }
        m_bytes.remove(0, blank);
        if (m_bytes.isEmpty()) {
            return {};
        }
    }
    // The whole request is read again only when something has changed that can change its frame:
    // its first bytes, the end of its first line or of its head, its body complete, or too much.
    bool again = m_fresh || m_bytes.size() > m_maxBytes;
    if (m_needed > 0) {
        again = again || m_bytes.size() >= m_needed;
    } else {
        if (!m_lineSeen && m_bytes.indexOf('\n', m_searched) >= 0) {
            m_lineSeen = again = true;
        }
        const qsizetype from = qMax<qsizetype>(0, m_searched - 2);
        if (m_bytes.indexOf("\n\n", from) >= 0 || m_bytes.indexOf("\n\r\n", from) >= 0) {
            again = true;
        }
        m_searched = m_bytes.size();
    }
    m_fresh = false;
    if (again) {
        m_last = read(m_bytes, m_maxBytes);
        if (m_last.kind == Kind::Partial && m_last.length > 0) {
            m_needed = m_last.length;
        }
    }
    return m_last.kind == Kind::Partial ? Frame{} : m_last;
}

QByteArray HttpRequestFrame::take(qsizetype length)
{
    const QByteArray request = m_bytes.left(length);
    m_bytes.remove(0, length);
    m_last = {};
    m_searched = m_needed = 0;
    m_lineSeen = false;
    m_fresh = true;
    return request;
}

HttpRequestFrame::Frame HttpRequestFrame::read(QByteArrayView bytes, qint64 maxBytes)
{
    qsizetype start = 0;
    while (start < bytes.size() && (bytes[start] == '\r' || bytes[start] == '\n')) {
        ++start;
    }
    bool http10 = false;
    bool keepAlive = false;
    bool close = false;
    qint64 contentLength = -1;
    qsizetype at = start;
    for (bool firstLine = true;; firstLine = false) {
        const qsizetype end = bytes.indexOf('\n', at);
        const QByteArrayView line = bytes.sliced(at, (end < 0 ? bytes.size() : end) - at);
        if (!isClean(line.endsWith('\r') ? line.chopped(1) : line)) {
            return {Kind::Malformed, 0, true};
        }
        if (end < 0) {
            // The line so far is fine: it may still end well, unless the request is too large already.
            return {bytes.size() > maxBytes ? Kind::TooLarge : Kind::Partial, 0, true};
        }
        const QByteArrayView text = line.endsWith('\r') ? line.chopped(1) : line;
        at = end + 1;
        if (firstLine) {
            if (const Kind kind = requestLine(text, &http10); kind != Kind::Whole) {
                return {kind, 0, true};
            }
            continue;
        }
        if (text.isEmpty()) {
            break;
        }
        const qsizetype colon = text.indexOf(':');
        if (colon <= 0 || !isToken(text.first(colon))) { // folded lines too: no longer taken
            return {Kind::Malformed, 0, true};
        }
        const QByteArray name = text.first(colon).toByteArray().toLower();
        const QByteArrayView value = text.sliced(colon + 1).trimmed();
        if (name == "content-length") {
            if (value.isEmpty() || value.size() > 12 || !std::all_of(value.begin(), value.end(), isDigit)) {
                return {Kind::Malformed, 0, true};
            }
            const qint64 length = value.toLongLong();
            if (contentLength >= 0 && contentLength != length) {
                return {Kind::Malformed, 0, true};
            }
            contentLength = length;
        } else if (name == "transfer-encoding") {
            return {Kind::NoLength, 0, true};
        } else if (name == "upgrade") {
            close = true; // no other protocol is taken up here, and no request after such a one
        } else if (name == "connection") {
            close = close || hasListToken(value, "close");
            keepAlive = keepAlive || hasListToken(value, "keep-alive");
        }
    }
    const qint64 length = at + qMax<qint64>(contentLength, 0);
    if (length > maxBytes) {
        return {Kind::TooLarge, 0, true};
    }
    if (bytes.size() < length) {
        return {Kind::Partial, qsizetype(length), false}; // the head is in: this much is to come
    }
    return {Kind::Whole, qsizetype(length), close || (http10 && !keepAlive)};
}
