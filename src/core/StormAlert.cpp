#include "core/StormAlert.h"

#include <QHash>

#include <cstring>

namespace {

quint32 pixelAt(const QByteArray& pixels, qsizetype i)
{
    quint32 v = 0;
    std::memcpy(&v, pixels.constData() + i * 4, 4);
    return v;
}

bool sameColour(quint32 a, quint32 b)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        const int d = int((a >> shift) & 0xff) - int((b >> shift) & 0xff);
        if (d > StormAlert::SameColour || d < -StormAlert::SameColour) {
            return false;
        }
    }
    return true;
}

} // namespace

int StormAlert::stormPerMille(const QByteArray& box) const
{
    const qsizetype count = box.size() / 4;
    qsizetype storm = 0;
    QHash<quint32, bool> counted; // a radar picture has few colours: each is judged once
    for (qsizetype i = 0; i < count; ++i) {
        const quint32 p = pixelAt(box, i);
        auto judged = counted.constFind(p);
        if (judged == counted.constEnd()) {
            judged = counted.insert(p, StormColours::counts(p, m_level));
        }
        if (!*judged) {
            continue;
        }
        if (m_map.size() == box.size() && (pixelAt(m_map, i) >> 24) != 0 &&
            sameColour(pixelAt(m_map, i), p)) {
            continue; // the map seen there before a storm crossed it
        }
        bool map = true;
        for (const QByteArray& before : m_history) {
            if (!sameColour(pixelAt(before, i), p)) {
                map = false;
                break;
            }
        }
        storm += map ? 0 : 1;
    }
    return count == 0 ? 0 : int(storm * 1000 / count);
}

void StormAlert::remember(const QByteArray& box)
{
    m_history.append(box);
    if (m_history.size() > MapFrames) {
        m_history.removeFirst();
    }
    if (m_history.size() < MapFrames) {
        return;
    }
    if (m_map.size() != box.size()) {
        m_map = QByteArray(box.size(), '\0');
    }
    // A pixel the same through the last frames is map, and stays known as such while a storm covers it.
    const qsizetype count = box.size() / 4;
    for (qsizetype i = 0; i < count; ++i) {
        const quint32 p = pixelAt(box, i);
        bool same = true;
        for (const QByteArray& before : m_history) {
            if (!sameColour(pixelAt(before, i), p)) {
                same = false;
                break;
            }
        }
        if (same) {
            const quint32 known = p | 0xff000000u;
            std::memcpy(m_map.data() + i * 4, &known, 4);
        }
    }
}

void StormAlert::learnMap(const QList<QByteArray>& before, int width)
{
    m_history.clear();
    m_map.clear();
    m_width = width;
    for (const QByteArray& box : before.mid(qMax(qsizetype(0), before.size() - MapFrames))) {
        if (!box.isEmpty() && box.size() == before.last().size()) {
            remember(box);
        }
    }
}

StormAlert::Change StormAlert::measure(const QByteArray& box, int width, qint64 frameMs, bool newFrame)
{
    if (width != m_width || (!m_history.isEmpty() && box.size() != m_history.last().size())) {
        m_history.clear(); // another box or view: what was map there says nothing here
        m_map.clear();
        m_width = width;
    }
    // The first frame of a box has nothing to tell the map by: it is not judged.
    const bool judged = !m_history.isEmpty();
    m_lastPerMille = judged ? stormPerMille(box) : -1;
    if (newFrame || !judged) {
        remember(box);
    }
    if (!judged) {
        return Change::None;
    }
    if (m_lastPerMille >= m_thresholdPerMille) {
        m_framesUnder = 0;
        if (!m_active) {
            m_active = true;
            m_since = frameMs;
            return Change::Started;
        }
        return Change::None;
    }
    if (m_active && ++m_framesUnder >= EndAfterFrames) {
        m_active = false;
        m_framesUnder = 0;
        return Change::Ended;
    }
    return Change::None;
}
