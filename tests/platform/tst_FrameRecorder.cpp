#include "TestFiles.h"
#include "TestMain.h"
#include "core/StormColours.h"
#include "platform/FrameRecorder.h"

#include <QBuffer>
#include <QPainter>
#include <QSignalSpy>

namespace {

QImage filled(const QColor& colour, QSize size = {400, 300})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A grey map crossed by a red road, a square on it, at the size of a view.
QImage map(QPoint square, const QColor& colour = QColor(0xfd, 0, 0), QSize size = {400, 300})
{
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(QColor(0x88, 0x88, 0x88));
    QPainter painter(&image);
    painter.fillRect(0, 150, 400, 6, QColor(0xfd, 0, 0));
    painter.fillRect(QRect(square, QSize(60, 60)), colour);
    painter.end();
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

} // namespace

// Frames compared and kept on the recorder's thread.
class TestFrameRecorder : public QObject
{
    Q_OBJECT
private slots:
    void keepsOnlyNewPictures()
    {
        QTemporaryDir dir;
        const QString address = QStringLiteral("http://radar/");
        FrameStore store(dir.filePath(QStringLiteral("Frames")));
        // A damaged newest frame on disk, left by a crash of another kind: passed over.
        const QDateTime kept = QDateTime::currentDateTimeUtc().addSecs(-120);
        QVERIFY(store.keep(address, kept, [] {
            QByteArray png;
            QBuffer b(&png);
            b.open(QIODevice::WriteOnly);
            filled(Qt::red).save(&b, "PNG");
            return png;
        }()));
        TestFiles::write(store.folderFor(address) + QLatin1Char('/') +
                             kept.addSecs(3600).toString(QStringLiteral("yyyyMMdd'T'HHmmsszzz'Z.png'")),
                         "\x89PNG damaged");
        FrameRecorder recorder(store);
        QSignalSpy compared(&recorder, &FrameRecorder::pictureCompared);
        for (const Qt::GlobalColor c : {Qt::red, Qt::blue, Qt::blue}) {
            recorder.take(filled(c), address);
            recorder.finish();
        }
        QCOMPARE(compared.size(), 3);
        QCOMPARE((QList<bool>{compared[0][1].toBool(), compared[1][1].toBool(), compared[2][1].toBool()}),
                 (QList<bool>{false, true, false}));
        QCOMPARE(compared[2][2].toDateTime(), compared[1][2].toDateTime()); // unchanged since the blue one
        // The cadence from the frames kept: unknown with one, the gap between the two once there are two.
        QCOMPARE(compared[0][3].toLongLong(), -1);
        QCOMPARE(compared[2][3].toLongLong(), kept.msecsTo(compared[1][2].toDateTime()));
        QCOMPARE(store.frames(address).size(), 2); // the damaged one is not counted
        QCOMPARE(QImage(store.frames(address).at(1).path).pixelColor(5, 5), QColor(Qt::blue));
    }

    // A Frames folder that cannot be written stops the keeping with the reason; once it can be written
    // again, the next new picture is kept.
    void keepingIsTriedAgain()
    {
        QTemporaryDir dir;
        const QString frames = dir.filePath(QStringLiteral("Frames"));
        TestFiles::write(frames, "a file in the way");
        FrameRecorder recorder{FrameStore(frames)};
        QSignalSpy changed(&recorder, &FrameRecorder::keepingChanged);
        for (const Qt::GlobalColor c : {Qt::red, Qt::green}) {
            recorder.take(filled(c), QStringLiteral("http://a/"));
            recorder.finish();
            QFile::remove(frames);
        }
        QCOMPARE(changed.size(), 2);
        QCOMPARE((QStringList{changed[0][0].toString(), changed[1][0].toString()}),
                 (QStringList{"the Frames folder cannot be written", ""}));
        QCOMPARE(recorder.store().frames(QStringLiteral("http://a/")).size(), 1);
    }

    // A box drawn over a page with frames kept is judged from its first new frame, the road in it known
    // as map; a view of another size learns the map again from them, brought to its size.
    void anAlertBoxLearnsTheMapFromTheFramesKept()
    {
        QTemporaryDir dir;
        const QString address = QStringLiteral("http://radar/");
        FrameRecorder recorder{FrameStore(dir.filePath(QStringLiteral("Frames")))};
        QSignalSpy alerts(&recorder, &FrameRecorder::alertChanged);
        const QColor dark(0x44, 0x44, 0x44);
        const QSize large(800, 600);
        for (const QImage& frame :
             {map({300, 10}), map({200, 20}), map({100, 30}),              // kept before the box is drawn
              map({50, 170}),                                              // a storm in the box
              map({300, 10}, dark, large), map({200, 10}, dark, large)}) { // maximized, the storm gone
            if (alerts.isEmpty() && recorder.store().frames(address).size() == 3) {
                recorder.setAlert(address, QRectF(0, 0.4, 0.5, 0.4), int(StormColours::Level::HeavyRain));
            }
            recorder.take(frame, address);
            recorder.finish();
        }
        QTRY_COMPARE(alerts.size(), 2);
        QCOMPARE((QList<bool>{alerts[0][1].toBool(), alerts[1][1].toBool()}), (QList<bool>{true, false}));
    }

    // A picture of another size (a restart on another screen, the kiosk, a resize) is compared once
    // brought to the last one's size, and the alert is judged at every load, new picture or not.
    void aPictureOfAnotherSizeIsComparedAndAnUnchangedSkyJudged()
    {
        QTemporaryDir dir;
        const QString address = QStringLiteral("http://radar/");
        FrameRecorder recorder{FrameStore(dir.filePath(QStringLiteral("Frames")))};
        recorder.setAlert(address, QRectF(0, 0.4, 0.5, 0.4), int(StormColours::Level::HeavyRain));
        QSignalSpy compared(&recorder, &FrameRecorder::pictureCompared);
        QSignalSpy alerts(&recorder, &FrameRecorder::alertChanged);
        QImage wider(600, 300, QImage::Format_RGB32);
        wider.fill(QColor(0x88, 0x88, 0x88));
        QPainter(&wider).drawImage(100, 0, map({300, 10}));
        const QSize large(800, 600);
        const QColor red(0xfd, 0, 0);
        const struct
        {
            QImage picture;
            bool isNew;
            int alerts;
        } loads[] = {
            {map({300, 10}), true, 0},
            {map({200, 20}), true, 0},
            {map({50, 170}), true, 1},              // a storm in the box
            {map({300, 10}), true, 1},              // gone: once under the share
            {map({300, 10}, red, large), false, 2}, // the same sky, maximized: all clear
            {wider, false, 2},                      // the same, fitted in a wider view
            {map({200, 20}, red, large), true, 2},
        };
        for (const auto& load : loads) {
            recorder.take(load.picture, address);
            recorder.finish();
            QCOMPARE(compared.last()[1].toBool(), load.isNew);
            QTRY_COMPARE(alerts.size(), load.alerts);
        }
        QCOMPARE((QList<bool>{alerts[0][1].toBool(), alerts[1][1].toBool()}), (QList<bool>{true, false}));
    }
};

SKYVANE_TEST_MAIN(TestFrameRecorder)
#include "tst_FrameRecorder.moc"
