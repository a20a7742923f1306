#include "TableRows.h"
#include "TestMain.h"
#include "platform/PageWatcher.h"

#include <QColor>
#include <QSignalSpy>

namespace {

const QString kRadar = QStringLiteral("http://radar.example/loop");

// A view that writes down what the watcher asks of it. The look at a loaded page answers what the
// test says; the element count never changes; bytes arrive only when the test says so.
class RecordingView : public WatchedView
{
public:
    QStringList log;
    QString shown;               // the displayed address
    QVariantList lookAnswer;     // [painted, main picture]
    QColor screen = Qt::darkRed; // what the view shows: a picture unless it is one colour
    qint64 bytes = 0;
    double document = 1; // when the document on screen began
    bool answering = true;
    bool isCovered = false;

    void load(const QString& address) override
    {
        log << QStringLiteral("load");
        shown = address;
    }
    void reload(bool) override { log << QStringLiteral("reload"); }
    void stop() override { log << QStringLiteral("stop"); }
    QString address() const override { return shown; }
    bool onScreen() const override { return true; }
    QImage picture() override
    {
        QImage image(200, 100, QImage::Format_RGB32); // a picture, or one colour: an empty view
        image.fill(screen);
        if (screen != Qt::black) {
            std::fill_n(reinterpret_cast<QRgb*>(image.bits()), 200 * 50, qRgb(255, 255, 255));
        }
        return image;
    }
    void inspect(const QString& script, std::function<void(const QVariant&)> done) override
    {
        if (!answering) {
            return; // a renderer busy for ever
        }
        done(script.contains(QLatin1String("__skyvaneLook")) ? lookAnswer : QVariantList{7, document});
    }
    qint64 bytesReceived() const override { return bytes; }
    void cover(const QImage&) override
    {
        isCovered = true;
        log << QStringLiteral("cover");
    }
    void coverWithCard(const QString& text) override
    {
        isCovered = true;
        log << QStringLiteral("card:") + text.section(QLatin1Char('\n'), 1, 1);
    }
    void uncover() override { isCovered = false; }
    bool covered() const override { return isCovered; }
    void answerPageDialogs(bool on) override
    {
        log << QLatin1String(on ? "dialogs:answered" : "dialogs:asked");
    }
};

struct Watch
{
    qint64 now = 1'000'000;
    RecordingView view;
    PageWatcher watcher{view, [this] { return now; }, [this] { return 1'800'000'000'000 + now; }};
    QSignalSpy judged{&watcher, &PageWatcher::loadJudged};
    QSignalSpy shown{&watcher, &PageWatcher::pictureShown};

    // "open" Skyvane opens the radar, "refresh", "user" the user opens a page, "ok" / "fail" / "503"
    // the engine reports the end, "pic" / "broken" / "none" what the page's main picture is at the next
    // look, "blank" the view turns empty, "mute" the page stops answering, "doc" the loading document
    // replaces the one on screen,
    // "bytes" data arrives, "+N" N seconds pass, ticking.
    void play(const QString& script)
    {
        using F = ReloadWatch::Failure;
        for (const QString& w : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const qsizetype judgedBefore = judged.size();
            if (w == QLatin1String("open")) {
                watcher.openWatched(kRadar);
            } else if (w == QLatin1String("refresh")) {
                watcher.refresh(false);
            } else if (w == QLatin1String("user")) {
                watcher.letGo();
                view.load(QStringLiteral("http://elsewhere.example/"));
            } else if (w == QLatin1String("pic") || w == QLatin1String("broken") ||
                       w == QLatin1String("none")) {
                view.lookAnswer = {true, w == QLatin1String("pic")      ? 1
                                         : w == QLatin1String("broken") ? -1
                                                                        : 0};
            } else if (w == QLatin1String("blank")) {
                view.screen = Qt::black;
            } else if (w == QLatin1String("mute")) {
                view.answering = false;
            } else if (w == QLatin1String("doc")) { // the new document has come
                view.document += 1;
            } else if (w == QLatin1String("bytes")) {
                view.bytes += 1000;
            } else if (w.startsWith(QLatin1Char('+'))) {
                for (int k = w.mid(1).toInt(); k > 0; --k) {
                    now += 1000;
                    tick(watcher.findChild<QTimer*>());
                }
            } else {
                watcher.loadStarted(view.shown);
                watcher.loadEnded(w == QLatin1String("ok"), view.shown,
                                  w == QLatin1String("503") ? F::Status : F::None, QStringLiteral("503"));
                QTRY_VERIFY(judged.size() > judgedBefore || !view.answering); // the look takes a few turns
            }
        }
    }
};

const struct Row
{
    const char *name, *script, *log;
    bool failed;
    int pictures; // pictures handed on as shown
} kRows[] = {
    {"a first load that fails shows the card, then the site is tried again a minute on", "open fail +60",
     "dialogs:answered load dialogs:asked card:No connection card:No connection dialogs:answered reload "
     "card:No connection",
     true, 0},
    {"a first load with an error status", "open 503",
     "dialogs:answered load dialogs:asked card:The server answered 503", true, 0},
    {"a good load: the picture once it is painted", "pic open ok", "dialogs:answered load dialogs:asked",
     false, 1},
    {"a refresh keeps the cover until the new picture is judged", "pic open ok refresh ok",
     "dialogs:answered load dialogs:asked cover dialogs:answered reload dialogs:asked", false, 2},
    {"a refresh whose picture is broken keeps the last one", "pic open ok refresh broken ok",
     "dialogs:answered load dialogs:asked cover dialogs:answered reload dialogs:asked", true, 1},
    {"a refresh that comes back without its picture", "pic open ok refresh none ok", nullptr, true, 1},
    {"a refresh that leaves the view empty", "pic open ok refresh blank ok", nullptr, true, 1},
    {"a page that never had a main picture may come without one", "none open ok refresh ok", nullptr, false,
     2},
    {"a picture trickling in for two minutes is let finish",
     "pic open ok refresh doc +50 bytes +50 bytes +50 bytes ok", nullptr, false, 2},
    {"data for the page being left is no progress", "pic open ok refresh +30 bytes +30", nullptr, true, 1},
    {"a page that never answers cannot hold the watch", "pic open ok refresh mute ok +11", nullptr, true, 1},
    {"nothing arriving for a minute: stopped", "pic open ok refresh +60",
     "dialogs:answered load dialogs:asked cover dialogs:answered reload dialogs:asked stop", true, 1},
};

} // namespace

// The rules of a watched load over a view that only writes down what it is asked; the engine's
// part is seen end to end.
class TestPageWatcher : public QObject
{
    Q_OBJECT
private slots:
    void watchedLoads_data() { addTableRows(kRows); }
    void watchedLoads()
    {
        QFETCH(int, row);
        const Row& r = kRows[row];
        Watch w;
        w.play(QString::fromUtf8(r.script));
        if (r.log != nullptr) {
            QCOMPARE(w.view.log.join(QLatin1Char(' ')), QString::fromUtf8(r.log));
        }
        QCOMPARE(w.watcher.failed(), r.failed);
        QCOMPARE(int(w.shown.size()), r.pictures);
        QCOMPARE(w.view.isCovered, r.failed); // a failure keeps the last picture, or the card
    }

    // The status bar and the picture's time never call a failed load good.
    void statusAndPictureTime()
    {
        Watch w;
        w.play(QStringLiteral("pic open ok +30 user fail"));
        QCOMPARE(w.watcher.stateText(),
                 QStringLiteral("Could not open http://elsewhere.example/: No connection"));
        QCOMPARE(w.watcher.pictureAgeMs(), 30000); // the picture is still the good load's
        w.play(QStringLiteral("open ok refresh broken ok"));
        QVERIFY(w.watcher.stateText().contains(QLatin1String("the picture on the page did not load")));
        QCOMPARE(w.watcher.pictureAddress(), kRadar);
    }
};

SKYVANE_TEST_MAIN(TestPageWatcher)
#include "tst_PageWatcher.moc"
