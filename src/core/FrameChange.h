#pragma once

#include <QByteArray>
#include <QRect>

// Whether a refresh brought a new picture: two small copies of the view (32-bit pixels, the same
// width), compared pixel by pixel. Compression noise moves a channel a little; a new radar sweep
// changes many pixels a lot.
class FrameChange
{
public:
    static constexpr int CompareWidth = 256;
    static constexpr int ChannelTolerance = 24; // a channel may differ this much and still match
    static constexpr int ChangedPerMille = 5;   // 0.5% of the pixels differing is a new picture

    // pixels: width x height 32-bit values, row by row. Copies of other sizes are new: a picture of
    // another size is brought to the last one's first (sharedPart, then scaled).
    static bool isNewPicture(const QByteArray& last, int lastWidth, const QByteArray& next, int nextWidth);
    // The part of a picture to compare with a last one of another shape: its middle, in the last one's
    // proportions (a view made wider shows the same page, fitted and centred, with more around it).
    static QRect sharedPart(QSize picture, QSize last);
    // Whether one colour (give or take compression noise) covers more than 99% of the pixels: an empty
    // or dark view, not a picture.
    static bool isOneColour(const QByteArray& pixels);
};
