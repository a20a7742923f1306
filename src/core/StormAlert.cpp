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

void StormAlert::learnMap(const QList<QByteArray>& before, int width)
{
    m_history.clear();
    m_width = width;
    for (const QByteArray& box : before.mid(qMax(qsizetype(0), before.size() - MapFrames))) {
        if (!box.isEmpty() && box.size() == before.last().size()) {
            m_history.append(box);
        }
    }
}

StormAlert::Change StormAlert::measure(const QByteArray& box, int width, qint64 frameMs)
{
    if (width != m_width || (!m_history.isEmpty() && box.size() != m_history.last().size())) {
        m_history.clear(); // another box or view: what was map there says nothing here
        m_width = width;
    }
    // The first frame of a box has nothing to tell the map by: it is not judged.
    const bool judged = !m_history.isEmpty();
    m_lastPerMille = judged ? stormPerMille(box) : -1;
    m_history.append(box);
    if (m_history.size() > MapFrames) {
        m_history.removeFirst();
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
