#include "core/StormColours.h"

#include <array>

namespace {

struct ScaleColour
{
    int dbz;
    int r, g, b;
};

// The common scale, 5 to 75 dBZ.
constexpr std::array<ScaleColour, 15> Scale{{
    {5, 0x04, 0xe9, 0xe7},
    {10, 0x01, 0x9f, 0xf4},
    {15, 0x03, 0x00, 0xf4},
    {20, 0x02, 0xfd, 0x02},
    {25, 0x01, 0xc5, 0x01},
    {30, 0x00, 0x8e, 0x00},
    {35, 0xfd, 0xf8, 0x02},
    {40, 0xe5, 0xbc, 0x00},
    {45, 0xfd, 0x95, 0x00},
    {50, 0xfd, 0x00, 0x00},
    {55, 0xd4, 0x00, 0x00},
    {60, 0xbc, 0x00, 0x00},
    {65, 0xf8, 0x00, 0xfd},
    {70, 0x98, 0x54, 0xc6},
    {75, 0xfd, 0xfd, 0xfd},
}};

} // namespace

int StormColours::dbz(quint32 argb)
{
    const int p[3] = {int((argb >> 16) & 0xff), int((argb >> 8) & 0xff), int(argb & 0xff)};
    int best = 0;
    int bestDistance = Tolerance * Tolerance + 1;
    for (const ScaleColour& c : Scale) {
        // The echo drawn at an opacity of 60% to 100% over a grey of the map: what is left once the
        // echo's part is taken away must be that grey. The scale's white has no blend: a light grey of
        // the map is not a 75 dBZ echo.
        const int lowestOpacity = c.dbz == 75 ? 10 : 6;
        for (int tenths = 10; tenths >= lowestOpacity; --tenths) {
            int rest[3];
            const int colour[3] = {c.r, c.g, c.b};
            for (int k = 0; k < 3; ++k) {
                rest[k] = p[k] - colour[k] * tenths / 10;
            }
            // The grey underneath, as much of it as this opacity lets through.
            const int grey = qBound(0, (rest[0] + rest[1] + rest[2]) / 3, (10 - tenths) * 255 / 10);
            int d = 0;
            for (const int v : rest) {
                d += (v - grey) * (v - grey);
            }
            if (d < bestDistance) {
                bestDistance = d;
                best = c.dbz;
            }
        }
    }
    return best;
}
