#include "TableRows.h"
#include "TestMain.h"
#include "platform/LoopFrames.h"
#include "platform/LoopWriters.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

#include <webp/demux.h>

namespace {

// What a player finds in a loop.
struct Probed
{
    QString codec;
    int width = 0, height = 0;
    QString pixelFormat;
    int frames = 0;
    int lastMs = 0;    // how long the last frame is held
    bool loops = true; // for ever
};

struct Row
{
    const char* name; // the writer's suffix
    Probed expected;
};

// Frames of three sizes, the newest 1601 x 901: an image is kept at most 1280 wide, a video 1920, even.
const Row kRows[] = {
    {"webp", {"webp", 1280, 720, {}, 3, 1500}},
    {"mp4", {"h264", 1600, 900, "yuv420p", 3, 1500}},
    {"gif", {"gif", 1280, 720, {}, 3, 1500}},
};

QImage filled(const QColor& colour, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// An animated WebP, which the FFmpeg of Debian 12 does not read, through libwebp.
Probed probeWebP(const QByteArray& bytes)
{
    Probed p;
    WebPData data{reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())};
    WebPAnimDecoderOptions options;
    WebPAnimDecoder* decoder =
        WebPAnimDecoderOptionsInit(&options) ? WebPAnimDecoderNew(&data, &options) : nullptr;
    WebPAnimInfo info;
    if (decoder == nullptr || !WebPAnimDecoderGetInfo(decoder, &info)) {
        WebPAnimDecoderDelete(decoder);
        return p;
    }
    p = {QStringLiteral("webp"), int(info.canvas_width), int(info.canvas_height), {}, 0, 0,
         info.loop_count == 0};
    int before = 0, timestamp = 0;
    uint8_t* rgba = nullptr;
    while (WebPAnimDecoderHasMoreFrames(decoder) && WebPAnimDecoderGetNext(decoder, &rgba, &timestamp)) {
        ++p.frames;
        p.lastMs = timestamp - before; // a frame's timestamp is when it ends
        before = timestamp;
    }
    WebPAnimDecoderDelete(decoder);
    return p;
}

Probed probeFile(const QString& ffprobe, const QString& path, const QByteArray& bytes)
{
    QProcess run;
    run.start(ffprobe, {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_frames"),
                        QStringLiteral("-show_streams"), QStringLiteral("-show_frames"),
                        QStringLiteral("-of"), QStringLiteral("json"), path});
    if (!run.waitForFinished(60000) || run.exitCode() != 0) {
        return {};
    }
    const QJsonObject o = QJsonDocument::fromJson(run.readAllStandardOutput()).object();
    const QJsonObject stream = o.value(QLatin1String("streams")).toArray().first().toObject();
    const QJsonArray frames = o.value(QLatin1String("frames")).toArray();
    const QJsonObject last = frames.last().toObject();
    // The last frame's own duration, or, where the container keeps it in the stream's (MP4 with frames
    // reordered), the time from its start to the stream's end.
    const QString held = last.value(QLatin1String("pkt_duration_time")).toString();
    const double lastSeconds = !held.isEmpty()
                                   ? held.toDouble()
                                   : stream.value(QLatin1String("duration")).toString().toDouble() -
                                         last.value(QLatin1String("pts_time")).toString().toDouble();
    return {stream.value(QLatin1String("codec_name")).toString(),
            stream.value(QLatin1String("width")).toInt(), stream.value(QLatin1String("height")).toInt(),
            stream.value(QLatin1String("pix_fmt")).toString(), int(frames.size()),
            int(lastSeconds * 1000 + 0.5),
            // A video is looped by its player; a GIF says so in its application extension.
            stream.value(QLatin1String("codec_type")).toString() == QLatin1String("video") &&
                (!path.endsWith(QLatin1String(".gif")) ||
                 bytes.contains(QByteArray("NETSCAPE2.0\x03\x01\0\0", 16)))};
}

} // namespace

// Each format a loop is written in, read back as a player would.
class TestLoopWriters : public QObject
{
    Q_OBJECT
private slots:
    void readBack_data() { addTableRows(kRows); }
    void readBack()
    {
        QFETCH(int, row);
        const Row& r = kRows[row];
        const LoopWriter& writer = LoopWriters::forSuffix(QLatin1String(r.name));
        QCOMPARE(writer.suffix(), QLatin1String(r.name));
        const QByteArray bytes = writer.encode(
            {filled(Qt::red, {471, 296}), filled(Qt::green, {1920, 1080}), filled(Qt::blue, {1601, 901})},
            {100, 100, 1500}, {});
        QVERIFY(!bytes.isEmpty());
        Probed p;
        if (writer.suffix() == QLatin1String("webp")) {
            p = probeWebP(bytes);
        } else {
            const QString ffprobe = QStandardPaths::findExecutable(QStringLiteral("ffprobe"));
            if (ffprobe.isEmpty()) {
                QSKIP("ffprobe is not installed");
            }
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("loop.") + writer.suffix());
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
            file.close();
            p = probeFile(ffprobe, path, bytes);
        }
        const Probed& e = r.expected;
        QCOMPARE(p.codec, e.codec);
        QCOMPARE(QSize(p.width, p.height), QSize(e.width, e.height));
        QCOMPARE(p.pixelFormat.isEmpty() || e.pixelFormat.isEmpty() ? QString() : p.pixelFormat,
                 e.pixelFormat);
        QCOMPARE(p.frames, e.frames);
        QVERIFY2(qAbs(p.lastMs - e.lastMs) <= 20, qPrintable(QString::number(p.lastMs)));
        QVERIFY(p.loops);
    }

    void oddFrames()
    {
        const QImage dot = filled(Qt::red, {1, 1});
        for (const LoopWriter* writer : LoopWriters::all()) {
            const QByteArray name = writer->suffix().toLatin1();
            QVERIFY2(writer->encode({}, {}, {}).isEmpty(), name.constData());
            QVERIFY2(writer->encode({dot, dot}, {100}, {}).isEmpty(), name.constData()); // a duration short
            QVERIFY2(writer->encode({dot, QImage()}, {100, 100}, {}).isEmpty(),
                     name.constData()); // no newest
            QVERIFY2(
                writer->encode({dot, dot, dot}, {100, 100, 100}, [](int done) { return done < 2; }).isEmpty(),
                name.constData()); // stopped
            QVERIFY2(
                !writer->encode({QImage(), filled(Qt::blue, {3, 700}), dot}, {100, 0, 100}, {}).isEmpty(),
                name.constData());
        }
    }

    void framesFittedAndStamped()
    {
        // A wide frame in a square: black above and below; the time over the picture, in its corner.
        const QImage plain = LoopFrames::fitted(filled(Qt::white, {200, 100}), {100, 100});
        QCOMPARE((QList<QRgb>{plain.pixel(50, 10), plain.pixel(50, 50)}),
                 (QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
        const QImage square = LoopFrames::fitted(filled(Qt::white, {100, 100}), {100, 100});
        const QImage stamped =
            LoopFrames::fitted(filled(Qt::white, {100, 100}), {100, 100}, QStringLiteral("12:34"));
        QVERIFY(stamped != square);
        QCOMPARE(stamped.pixel(90, 90), qRgb(255, 255, 255));
        QCOMPARE(LoopFrames::within({300, 5000}, 1280), QSize(76, 1280)); // a tall one is bounded too
        // PNGs as kept: one that does not decode is black; with none that does, there is no loop.
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && square.save(&buffer, "PNG"));
        const LoopWriter& gif = LoopWriters::forSuffix(QStringLiteral("gif"));
        QVERIFY(!LoopFrames::encode(gif, {"not a PNG", png}, {QStringLiteral("12:00")}, {100, 100}, {})
                     .isEmpty());
        QVERIFY(LoopFrames::encode(gif, {"not a PNG"}, {}, {100}, {}).isEmpty());
    }
};

SKYVANE_TEST_MAIN(TestLoopWriters)
#include "tst_LoopWriters.moc"
