#include "platform/GifPalette.h"

#include <algorithm>
#include <climits>

namespace {

using Pixel = std::array<uchar, 3>;

// Samples [begin, end) and the channel they spread the most along.
struct Box
{
    qsizetype begin;
    qsizetype end;
    int channel = 0;
    int range = 0;
};

Box measured(const std::vector<Pixel>& samples, qsizetype begin, qsizetype end)
{
    Box box{begin, end};
    for (int c = 0; c < 3; ++c) {
        const auto [low, high] =
            std::minmax_element(samples.begin() + begin, samples.begin() + end,
                                [c](const Pixel& a, const Pixel& b) { return a[c] < b[c]; });
        if (int range = (*high)[c] - (*low)[c]; range > box.range) {
            box.range = range;
            box.channel = c;
        }
    }
    return box;
}

} // namespace

GifPalette::GifPalette(const QList<QImage>& frames)
{
    // About a quarter of a million pixels, one every `step` through all the frames.
    qint64 pixels = 0;
    for (const QImage& frame : frames) {
        pixels += qint64(frame.width()) * frame.height();
    }
    const qint64 step = qMax<qint64>(1, pixels / (1 << 18));
    std::vector<Pixel> samples;
    samples.reserve(size_t(qMin<qint64>(pixels, (1 << 18) + frames.size())));
    qint64 next = 0; // within the frame, the next pixel sampled
    for (const QImage& frame : frames) {
        const qint64 count = qint64(frame.width()) * frame.height();
        if (frame.format() != QImage::Format_RGBX8888) {
            continue;
        }
        for (; next < count; next += step) {
            const uchar* p = frame.constScanLine(int(next / frame.width())) + next % frame.width() * 4;
            samples.push_back({p[0], p[1], p[2]});
        }
        next -= count;
    }
    // Median cut: the box with the most to gain, its spread times its samples, is split at its median
    // along the channel it spreads the most along, until there are as many boxes as colours.
    std::vector<Box> boxes;
    if (!samples.empty()) {
        boxes.push_back(measured(samples, 0, qsizetype(samples.size())));
    }
    while (!boxes.empty() && boxes.size() < size_t(Colours)) {
        const auto widest = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
            return qint64(a.range) * (a.end - a.begin) < qint64(b.range) * (b.end - b.begin);
        });
        if (widest->range == 0) {
            break; // every box is one colour
        }
        const Box box = *widest;
        const qsizetype middle = box.begin + (box.end - box.begin) / 2;
        std::nth_element(samples.begin() + box.begin, samples.begin() + middle, samples.begin() + box.end,
                         [c = box.channel](const Pixel& a, const Pixel& b) { return a[c] < b[c]; });
        *widest = measured(samples, box.begin, middle);
        boxes.push_back(measured(samples, middle, box.end));
    }
    m_colours.fill(qRgb(0, 0, 0));
    for (size_t i = 0; i < boxes.size(); ++i) {
        qint64 sum[3] = {};
        for (qsizetype s = boxes[i].begin; s < boxes[i].end; ++s) {
            for (int c = 0; c < 3; ++c) {
                sum[c] += samples[size_t(s)][c];
            }
        }
        const qint64 n = boxes[i].end - boxes[i].begin;
        m_colours[i] = qRgb(int((sum[0] + n / 2) / n), int((sum[1] + n / 2) / n), int((sum[2] + n / 2) / n));
    }
    // The nearest colour to the middle of each cell, once, for every pixel of every frame after.
    const int used = qMax(1, int(boxes.size()));
    m_nearest.resize(size_t(1) << (3 * CellBits));
    constexpr int width = 1 << (8 - CellBits);
    for (int r = 0; r < 256; r += width) {
        for (int g = 0; g < 256; g += width) {
            for (int b = 0; b < 256; b += width) {
                const int mr = r + width / 2, mg = g + width / 2, mb = b + width / 2;
                int best = 0, bestDistance = INT_MAX;
                for (int i = 0; i < used && bestDistance > 0; ++i) {
                    const int dr = qRed(m_colours[size_t(i)]) - mr, dg = qGreen(m_colours[size_t(i)]) - mg,
                              db = qBlue(m_colours[size_t(i)]) - mb;
                    if (const int d = dr * dr + dg * dg + db * db; d < bestDistance) {
                        bestDistance = d;
                        best = i;
                    }
                }
                m_nearest[size_t(cell(r, g, b))] = uchar(best);
            }
        }
    }
}

void GifPalette::dither(const QImage& frame, uchar* out, qsizetype stride) const
{
    if (frame.format() != QImage::Format_RGBX8888) {
        return;
    }
    const int w = frame.width();
    // The error carried to this row and to the next, in sixteenths, per channel, a pixel of margin at
    // either end.
    std::vector<int> here(size_t(w + 2) * 3), below(size_t(w + 2) * 3);
    for (int y = 0; y < frame.height(); ++y) {
        const uchar* in = frame.constScanLine(y);
        uchar* indexes = out + y * stride;
        std::fill(below.begin(), below.end(), 0);
        for (int x = 0; x < w; ++x) {
            int* carried = &here[size_t(x + 1) * 3];
            int v[3];
            for (int c = 0; c < 3; ++c) {
                v[c] = qBound(0, in[x * 4 + c] + carried[c] / 16, 255);
            }
            const uchar index = m_nearest[size_t(cell(v[0], v[1], v[2]))];
            indexes[x] = index;
            const QRgb chosen = m_colours[index];
            const int error[3] = {v[0] - qRed(chosen), v[1] - qGreen(chosen), v[2] - qBlue(chosen)};
            int* next = &below[size_t(x) * 3];
            for (int c = 0; c < 3; ++c) {
                carried[3 + c] += error[c] * 7;
                next[c] += error[c] * 3;
                next[3 + c] += error[c] * 5;
                next[6 + c] += error[c];
            }
        }
        std::swap(here, below);
    }
}
