// The loop written in each format from 36 full-HD radar-like frames (a still map under noisy coloured
// echoes that move a little from frame to frame, each frame's time in its corner): its size and the
// time it takes, the frames fitted and stamped as Save Loop As does, then encoded.
//
//   build-release/bench-bin/loop_bench [frames=36]
// Prints a line per format, then each goal's PASS or FAIL; exits 1 when one fails.

#include "TestMain.h"
#include "core/LoopTiming.h"
#include "platform/LoopFrames.h"
#include "platform/LoopWriters.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cstdio>

namespace {

constexpr int Width = 1920, Height = 1080, Drift = 2; // the echoes move Drift pixels right a frame

// Each pixel's colour moved by up to spread either way, as a radar picture's speckle.
void speckle(QImage& image, QRandomGenerator& random, int spread)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            if (qAlpha(c) == 0) {
                continue;
            }
            const int d = random.bounded(2 * spread + 1) - spread;
            const auto moved = [&](int v) { return qBound(0, v + d * qAlpha(c) / 255, qAlpha(c)); };
            line[x] = qRgba(moved(qRed(c)), moved(qGreen(c)), moved(qBlue(c)), qAlpha(c));
        }
    }
}

QList<QImage> radarFrames(int count)
{
    QRandomGenerator random(20261208);
    // The map: dark land, a lighter sea, borders and roads.
    QImage map(Width, Height, QImage::Format_ARGB32_Premultiplied);
    map.fill(QColor(34, 44, 38));
    {
        QPainter p(&map);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(28, 38, 58));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPoint(1700, 900), 600, 420);
        p.setPen(QPen(QColor(120, 120, 110), 1.5));
        for (int i = 0; i < 40; ++i) {
            p.drawLine(random.bounded(Width), random.bounded(Height), random.bounded(Width),
                       random.bounded(Height));
        }
    }
    speckle(map, random, 4);
    // The echoes: blobs shading from light green through yellow to red at their cores.
    QImage echoes(Width + Drift * count, Height, QImage::Format_ARGB32_Premultiplied);
    echoes.fill(Qt::transparent);
    {
        QPainter p(&echoes);
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 70; ++i) {
            const QPointF centre(random.bounded(echoes.width()), random.bounded(Height));
            const qreal radius = 20 + random.bounded(180);
            QRadialGradient g(centre, radius);
            g.setColorAt(0, QColor(220, 30, 40));
            g.setColorAt(0.2, QColor(250, 150, 20));
            g.setColorAt(0.45, QColor(240, 230, 40));
            g.setColorAt(0.7, QColor(40, 180, 60, 230));
            g.setColorAt(1, QColor(120, 220, 120, 0));
            p.setBrush(g);
            p.drawEllipse(centre, radius * (0.6 + random.bounded(0.8)), radius);
        }
    }
    speckle(echoes, random, 30);
    QList<QImage> frames;
    for (int i = 0; i < count; ++i) {
        QImage frame = map.copy();
        QPainter p(&frame);
        p.drawImage(-Drift * (count - i), 0, echoes);
        p.end();
        frames.append(frame.convertToFormat(QImage::Format_RGB32));
    }
    return frames;
}

bool verdict(const char* what, double value, double most, const char* unit)
{
    const bool met = value <= most;
    std::printf("%s: %.3f%s (goal <= %.3g%s) %s\n", what, value, unit, most, unit, met ? "PASS" : "FAIL");
    return met;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir runtimeDir;
    prepareHeadlessEnvironment(runtimeDir);
    QGuiApplication app(argc, argv);
    const int count = argc > 1 ? qMax(2, QByteArray(argv[1]).toInt()) : 36;
    const QList<QImage> frames = radarFrames(count);
    QStringList times;
    for (int i = 0; i < count; ++i) {
        times.append(QStringLiteral("%1:%2").arg(12 + i / 12).arg(i % 12 * 5, 2, 10, QLatin1Char('0')));
    }
    const QList<int> durations = LoopTiming::durations(count, 2, LoopTiming::DefaultDwellMs);
    QHash<QString, qint64> sizes;
    bool met = true;
    for (const LoopWriter* writer : LoopWriters::all()) {
        QElapsedTimer t;
        t.start();
        QList<QImage> prepared;
        const QSize size = writer->frameSize(frames.last().size());
        for (int i = 0; i < count; ++i) {
            prepared.append(LoopFrames::fitted(frames[i], size, times[i]));
        }
        const QByteArray loop = writer->encode(prepared, durations, {});
        const double seconds = double(t.nsecsElapsed()) / 1e9;
        sizes.insert(writer->suffix(), loop.size());
        std::printf("%s: %d x %d, %d frames, %.2f MiB in %.2f s\n", qPrintable(writer->suffix()),
                    size.width(), size.height(), count, double(loop.size()) / (1 << 20), seconds);
        met = !loop.isEmpty() && met;
        met = verdict(qPrintable(writer->suffix() + QStringLiteral(" time")), seconds, 10, " s") && met;
    }
    const qint64 gif = sizes.value(QStringLiteral("gif"));
    met = verdict("mp4 size / gif size",
                  gif > 0 ? double(sizes.value(QStringLiteral("mp4"))) / double(gif) : 1, 0.1, "") &&
          met;
    return met ? 0 : 1;
}
