#pragma once

#include <QImage>
#include <QList>
#include <QRgb>

#include <array>
#include <vector>

// One palette for a whole loop, so that a colour stays the same from frame to frame: a median cut of
// pixels sampled evenly from every frame. Frames are dithered to it by error diffusion.
class GifPalette
{
public:
    static constexpr int Colours = 256;

    // frames: RGBX8888, as LoopFrames fits them.
    explicit GifPalette(const QList<QImage>& frames);

    // Colours entries, opaque; those not needed are black.
    const std::array<QRgb, Colours>& colours() const { return m_colours; }
    // The RGBX8888 frame as indexes into colours(), Floyd-Steinberg; rows of stride bytes from out.
    void dither(const QImage& frame, uchar* out, qsizetype stride) const;

private:
    static constexpr int CellBits = 6; // per channel, of the table of nearest colours
    static int cell(int r, int g, int b)
    {
        constexpr int drop = 8 - CellBits;
        return (r >> drop) << (2 * CellBits) | (g >> drop) << CellBits | b >> drop;
    }

    std::array<QRgb, Colours> m_colours{};
    std::vector<uchar> m_nearest; // for each cell of RGB space, the colour nearest its middle
};
