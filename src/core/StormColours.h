#pragma once

#include <QString>
#include <QtGlobal>

// The reflectivity colours radar pages paint echoes in, on the common scale (5 to 75 dBZ in steps of
// 5), and the level a colour stands for. Echoes are often drawn over a grey map at some opacity, so a
// colour counts as the scale colour it is nearest to once blended; greys, text and map colours far
// from the scale stay uncounted.
class StormColours
{
public:
    enum class Level
    {
        AnyRain = 20, // the least dBZ that counts at this level
        HeavyRain = 40,
        SevereStorms = 50,
    };

    static constexpr int Tolerance = 30; // RGB distance left after the blend is taken away

    // The dBZ a colour stands for on the scale, or 0 when it is none of its colours. argb: 0xAARRGGBB,
    // alpha ignored.
    static int dbz(quint32 argb);
    static bool counts(quint32 argb, Level level) { return dbz(argb) >= int(level); }

    // The level as the preferences name it ("any", "heavy", "severe"); Heavy Rain for another name.
    static Level levelNamed(const QString& name)
    {
        return name == QLatin1String("any")      ? Level::AnyRain
               : name == QLatin1String("severe") ? Level::SevereStorms
                                                 : Level::HeavyRain;
    }
    static QString nameOf(Level level)
    {
        return level == Level::AnyRain        ? QStringLiteral("any")
               : level == Level::SevereStorms ? QStringLiteral("severe")
                                              : QStringLiteral("heavy");
    }
};
