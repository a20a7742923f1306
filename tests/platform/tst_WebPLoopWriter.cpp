#include "TestMain.h"
#include "platform/LoopWriters.h"
#include "platform/WebPLoopWriter.h"

#include <webp/demux.h>

namespace {

QImage filled(const QColor& colour, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

// The loop written as an animated WebP, the writer the list gives for its suffix.
class TestWebPLoopWriter : public QObject
{
    Q_OBJECT
private slots:
    void theListWritesWebPByDefault()
    {
        for (const QString& suffix :
             {QStringLiteral("webp"), QStringLiteral("WEBP"), QStringLiteral("gif")}) {
            const LoopWriter& writer = LoopWriters::forSuffix(suffix);
            QVERIFY(dynamic_cast<const WebPLoopWriter*>(&writer) != nullptr);
            QCOMPARE(writer.filter(), QStringLiteral("Animated WebP (*.webp)"));
        }
    }

    void loopDecodesWithItsFramesAndSize()
    {
        // The newest frame's size (at most 1280 wide): older frames of another size are fitted in.
        const QList<QImage> frames{filled(Qt::red, {471, 296}), filled(Qt::green, {1920, 1080}),
                                   filled(Qt::blue, {1600, 900})};
        const WebPLoopWriter writer;
        const QByteArray webp = writer.encode(frames, {500, 500, 1500}, {});
        QVERIFY(!webp.isEmpty());
        WebPData data{reinterpret_cast<const uint8_t*>(webp.constData()), size_t(webp.size())};
        WebPAnimDecoderOptions options;
        QVERIFY(WebPAnimDecoderOptionsInit(&options));
        WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
        QVERIFY(decoder != nullptr);
        WebPAnimInfo info;
        QVERIFY(WebPAnimDecoderGetInfo(decoder, &info));
        QCOMPARE((QList<uint32_t>{info.canvas_width, info.canvas_height, info.frame_count, info.loop_count}),
                 (QList<uint32_t>{1280, 720, 3, 0}));
        QList<int> times;
        while (WebPAnimDecoderHasMoreFrames(decoder)) {
            uint8_t* rgba = nullptr;
            int timestamp = 0;
            QVERIFY(WebPAnimDecoderGetNext(decoder, &rgba, &timestamp));
            times << timestamp;
        }
        WebPAnimDecoderDelete(decoder);
        QCOMPARE(times, (QList<int>{500, 1000, 2500})); // each frame's end: the newest held longest
        QVERIFY(writer.encode({}, {}, {}).isEmpty());
        QVERIFY(
            writer.encode(frames, {500, 500, 1500}, [](int done) { return done < 2; }).isEmpty()); // stopped
    }
};

SKYVANE_TEST_MAIN(TestWebPLoopWriter)
#include "tst_WebPLoopWriter.moc"
