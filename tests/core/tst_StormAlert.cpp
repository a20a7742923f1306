#include "core/StormAlert.h"

#include <QTest>

#include <cstring>

namespace {

constexpr int kSide = 20; // a 20 x 20 alert box: 400 pixels, 2% is 8 of them
constexpr quint32 kMapGrey = 0xff808080;
constexpr quint32 kRed = 0xfffd0000;

// An echo of colour c drawn at opacity tenths/10 over the map's grey.
quint32 blend(quint32 c, int tenths, int grey = 0x80)
{
    quint32 out = 0xff000000;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int v = (int((c >> shift) & 0xff) * tenths + grey * (10 - tenths)) / 10;
        out |= quint32(v) << shift;
    }
    return out;
}

// A grey box with a 4 x 4 square of colour at column x (none when x < 0) and, with road, a red row.
QByteArray frame(int x, bool road = false, quint32 colour = kRed)
{
    QByteArray pixels(kSide * kSide * 4, Qt::Uninitialized);
    for (int row = 0; row < kSide; ++row) {
        for (int col = 0; col < kSide; ++col) {
            const bool square = x >= 0 && col >= x && col < x + 4 && row >= 8 && row < 12;
            const quint32 v = square ? colour : road && row == 2 ? kRed : kMapGrey;
            std::memcpy(pixels.data() + (row * kSide + col) * 4, &v, 4);
        }
    }
    return pixels;
}

// A grey box crossed by a red road four rows wide, with a 4 x 4 square of colour on it at column x.
QByteArray crossing(int x, quint32 colour)
{
    QByteArray pixels = frame(-1);
    for (int row = 8; row < 12; ++row) {
        for (int col = 0; col < kSide; ++col) {
            const quint32 v = x >= 0 && col >= x && col < x + 4 ? colour : kRed;
            std::memcpy(pixels.data() + (row * kSide + col) * 4, &v, 4);
        }
    }
    return pixels;
}

} // namespace

// The storm colours and the alert over the frames of a box.
class TestStormAlert : public QObject
{
    Q_OBJECT
private slots:
    void colours()
    {
        using L = StormColours::Level;
        for (const auto& [argb, dbz] : std::initializer_list<std::pair<quint32, int>>{
                 {0xff04e9e7, 5},
                 {0xff02fd02, 20},
                 {0xff008e00, 30},
                 {0xffe5bc00, 40},
                 {0xfffd0000, 50},
                 {0xffbc0000, 60},
                 {0xfff800fd, 65},
                 {0xff9854c6, 70},
                 {0xfffdfdfd, 75},
                 {blend(kRed, 7), 50},             // an echo drawn at 70% over the map
                 {blend(0xffe5bc00, 6, 0xc0), 40}, // at 60% over a light map
                 {kMapGrey, 0},
                 {0xffc8c8c8, 0}, // the map's greys, also light ones, are no echo
                 {0xff000000, 0},
                 {0xffa8d08d, 0}, // text; a map's green land
             }) {
            QCOMPARE(StormColours::dbz(argb), dbz);
        }
        QVERIFY(StormColours::counts(0xff02fd02, L::AnyRain) &&
                !StormColours::counts(0xff02fd02, L::HeavyRain));
        QVERIFY(StormColours::counts(0xfffd9500, L::HeavyRain) &&
                !StormColours::counts(0xfffd9500, L::SevereStorms));
        QVERIFY(StormColours::counts(0xffd40000, L::SevereStorms));
    }

    // Frames in turn: the square's column (-1 none), a red road along the box, and what the alert says.
    void frames()
    {
        using C = StormAlert::Change;
        struct Step
        {
            int x;
            bool road;
            C change;
        };
        const struct
        {
            const char* name;
            QList<Step> steps;
        } cases[] = {
            {"a moving storm starts it once the map is known, two frames without end it",
             {{-1, false, C::None},
              {-1, false, C::None},
              {-1, false, C::None},
              {0, false, C::Started},
              {4, false, C::None},
              {-1, false, C::None},
              {-1, false, C::Ended}}},
            {"one frame under does not end it",
             {{-1, false, C::None},
              {-1, false, C::None},
              {-1, false, C::None},
              {0, false, C::Started},
              {-1, false, C::None},
              {8, false, C::None},
              {-1, false, C::None},
              {-1, false, C::Ended}}},
            {"a red road that never moves is map",
             {{-1, true, C::None},
              {-1, true, C::None},
              {-1, true, C::None},
              {-1, true, C::None},
              {-1, true, C::None}}},
            {"a storm crossing the road still counts",
             {{-1, true, C::None}, {-1, true, C::None}, {-1, true, C::None}, {0, true, C::Started}}},
            {"the first frame is not judged; the next is, against it",
             {{0, false, C::None}, {4, false, C::Started}}},
            {"a storm that stands still becomes map",
             {{-1, false, C::None},
              {-1, false, C::None},
              {-1, false, C::None},
              {0, false, C::Started},
              {0, false, C::None},
              {0, false, C::None},
              {0, false, C::None},
              {0, false, C::Ended}}},
        };
        for (const auto& c : cases) {
            StormAlert alert;
            qint64 ms = 0;
            for (const Step& s : c.steps) {
                ms += 60000;
                QVERIFY2(alert.measure(frame(s.x, s.road), kSide, ms) == s.change, c.name);
            }
        }
        // A storm leaving the box: the loads after it end the alert at the second under the share,
        // whether the site sent a new picture or the same one again.
        constexpr quint32 kOrange = 0xfffd9500, kGreen = 0xff02fd02;
        struct Load
        {
            int x;
            quint32 colour;
            bool newFrame;
            C change;
        };
        const struct
        {
            const char* name;
            QList<Load> loads;
        } leaving[] = {
            {"into a clear sky that stays the same",
             {{-1, kRed, true, C::None},
              {-1, kRed, true, C::None},
              {-1, kRed, true, C::None},
              {0, kOrange, true, C::Started},
              {-1, kRed, true, C::None},
              {-1, kRed, false, C::Ended}}},
            {"the road it crossed is map again at once",
             {{-1, kRed, true, C::None},
              {-1, kRed, true, C::None},
              {-1, kRed, true, C::None},
              {0, kOrange, true, C::Started},
              {8, kOrange, true, C::None},
              {-1, kRed, true, C::None},
              {-1, kRed, true, C::Ended}}},
            {"light rain after a heavy cell does not hold it",
             {{-1, kRed, true, C::None},
              {-1, kRed, true, C::None},
              {-1, kRed, true, C::None},
              {0, kOrange, true, C::Started},
              {4, kGreen, true, C::None},
              {8, kGreen, true, C::Ended}}},
            {"the same stormy picture again holds it",
             {{-1, kRed, true, C::None},
              {-1, kRed, true, C::None},
              {-1, kRed, true, C::None},
              {0, kOrange, true, C::Started},
              {0, kOrange, false, C::None},
              {0, kOrange, false, C::None},
              {0, kOrange, false, C::None},
              {-1, kRed, true, C::None},
              {-1, kRed, true, C::Ended}}},
        };
        for (const auto& c : leaving) {
            StormAlert alert;
            qint64 ms = 0;
            for (const Load& l : c.loads) {
                ms += 60000;
                QVERIFY2(alert.measure(crossing(l.x, l.colour), kSide, ms, l.newFrame) == l.change, c.name);
            }
        }
        // The frames kept of the page tell the map at once: the box's first frame is judged.
        StormAlert learnt;
        learnt.learnMap({frame(4, true), frame(-1, true), frame(8, true), frame(-1, true)}, kSide);
        QVERIFY(learnt.knowsMapOf(frame(-1), kSide) && !learnt.knowsMapOf(frame(-1).left(kSide * 4), 1));
        QVERIFY(learnt.measure(frame(-1, true), kSide, 1) == C::None); // the road is map
        QVERIFY(learnt.measure(frame(0, true), kSide, 2) == C::Started);
        // Noise of the map's greys, other at every frame, is no storm.
        StormAlert noisy;
        for (int i = 0; i < 8; ++i) {
            QByteArray pixels = frame(-1);
            for (qsizetype p = 0; p < pixels.size(); p += 4) {
                const quint32 grey = 0x70 + quint32((p * 7 + i * 13) % 0x30);
                const quint32 v = 0xff000000 | grey << 16 | grey << 8 | grey;
                std::memcpy(pixels.data() + p, &v, 4);
            }
            QVERIFY(noisy.measure(pixels, kSide, i) == StormAlert::Change::None);
        }
        QCOMPARE(noisy.stormPerMille(), 0);
        // Below the level chosen, or under the share asked for, nothing starts.
        for (const auto& [level, perMille, colour] :
             std::initializer_list<std::tuple<StormColours::Level, int, quint32>>{
                 {StormColours::Level::HeavyRain, 20, 0xff02fd02}, // light rain: green
                 {StormColours::Level::SevereStorms, 20, 0xfffd9500},
                 {StormColours::Level::HeavyRain, 50, kRed}, // 16 of 400 pixels: 4%
             }) {
            StormAlert alert;
            alert.setLevel(level);
            alert.setThresholdPerMille(perMille);
            for (int x : {-1, -1, -1, 0, 4}) {
                QVERIFY(alert.measure(frame(x, false, colour), kSide, 0) == StormAlert::Change::None);
            }
            QVERIFY(!alert.active());
        }
    }
};

QTEST_GUILESS_MAIN(TestStormAlert)
#include "tst_StormAlert.moc"
