#pragma once

#include "core/StormColours.h"

#include <QByteArray>
#include <QList>

// The storm alert over a box of the view, judged at each good load: the share of the box in storm
// colours of the chosen level, leaving out the map, starts the alert at the threshold and ends it once
// it has stayed under for two loads, new pictures or not. Map is a pixel the same in each of the
// frames before (up to three: a red road, a label, a border), or the colour it last kept through three
// frames: a road a storm crossed is map again as soon as the storm has left it. The frames before may
// be given at once (the frames kept of the page), so that a new box is judged from its first frame.
class StormAlert
{
public:
    static constexpr int MapFrames = 3;      // a pixel unchanged through the frames before, this many at
                                             // most, is map
    static constexpr int EndAfterFrames = 2; // frames under the threshold that end an alert
    static constexpr int SameColour = 8;     // a channel may move this much and still be the same

    enum class Change
    {
        None,
        Started,
        Ended,
    };

    void setLevel(StormColours::Level level) { m_level = level; }
    void setThresholdPerMille(int perMille) { m_thresholdPerMille = perMille; }

    // box: the box's pixels in one load, 32-bit 0xAARRGGBB, row by row, width wide. A box of another
    // size than the frames before starts the history again. frameMs: the load's time. newFrame: the
    // picture was new; an unchanged one is judged as well but tells nothing more of the map.
    Change measure(const QByteArray& box, int width, qint64 frameMs, bool newFrame = true);
    // Whether the frames before are of a box of this size (the map is known for it).
    bool knowsMapOf(const QByteArray& box, int width) const
    {
        return !m_history.isEmpty() && width == m_width && box.size() == m_history.last().size();
    }
    // The frames before, oldest first, of a box width wide (the newest MapFrames are kept); the alert
    // itself goes on as it was.
    void learnMap(const QList<QByteArray>& before, int width);

    bool active() const { return m_active; }
    qint64 since() const { return m_since; }             // the frame that started the alert
    int stormPerMille() const { return m_lastPerMille; } // the last frame's share, -1 unjudged

private:
    int stormPerMille(const QByteArray& box) const;
    void remember(const QByteArray& box);

    StormColours::Level m_level = StormColours::Level::HeavyRain;
    int m_thresholdPerMille = 20;
    QList<QByteArray> m_history; // the frames before, oldest first
    QByteArray m_map;            // each pixel's colour of the map, once known (alpha 0: not yet)
    int m_width = 0;
    bool m_active = false;
    qint64 m_since = 0;
    int m_framesUnder = 0;
    int m_lastPerMille = -1;
};
