#include "TestFiles.h"
#include "core/AtomicFile.h"
#include "core/FrameChange.h"
#include "core/FrameStore.h"
#include "core/RegularFile.h"
#include "core/RemoteToken.h"

#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// A width x height picture of 32-bit pixels, every channel v, with `changed` pixels set to 255 - v.
QByteArray picture(int width, int height, int v, int changed = 0, int noise = 0)
{
    QByteArray p(width * height * 4, char(v));
    for (int i = 0; i < p.size(); ++i) {
        p[i] = char(qBound(0, v + (i % 3 == 0 ? noise : -noise), 255));
    }
    for (int i = 0; i < changed; ++i) {
        p.replace(i * 4, 4, QByteArray(4, char(255 - v)));
    }
    return p;
}

const QDateTime kStart(QDate(2026, 12, 6), QTime(12, 0), Qt::UTC);

// A file of `bytes` bytes that begins and ends as a PNG does; cut short, it lacks its end.
QByteArray png(int bytes = 64, bool whole = true)
{
    const QByteArray end("\0\0\0\0IEND\xae\x42\x60\x82", 12);
    const QByteArray head = QByteArray("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    return head + QByteArray(bytes - head.size() - end.size(), 'x') + (whole ? end : QByteArray(12, 'x'));
}

QStringList names(const QList<FrameStore::Frame>& frames)
{
    QStringList out;
    for (const FrameStore::Frame& f : frames) {
        out << f.takenUtc.toString(QStringLiteral("HH:mm"));
    }
    return out;
}

} // namespace

// Which refreshes bring a new picture, and how the kept frames are bounded.
class TestFrameStore : public QObject
{
    Q_OBJECT
private slots:
    // The last frame: 256 x 100 of grey 100; 0.5% of it is 128 pixels.
    void changeRule()
    {
        for (const auto& [next, width, isNew] : std::initializer_list<std::tuple<QByteArray, int, bool>>{
                 {picture(256, 100, 100), 256, false},          // identical
                 {picture(256, 100, 100, 0, 20), 256, false},   // compression noise
                 {picture(256, 100, 100, 127), 256, false},     // 127 pixels changed
                 {picture(256, 100, 100, 128), 256, true},      // 128 pixels changed
                 {picture(256, 100, 100, 5000, 10), 256, true}, // a new sweep
                 {picture(256, 90, 100), 256, true},            // another size
                 {picture(200, 128, 100), 200, true},           // another width, the same bytes
             }) {
            QCOMPARE(FrameChange::isNewPicture(picture(256, 100, 100), 256, next, width), isNew);
            QVERIFY(FrameChange::isNewPicture({}, 0, next, width)); // the first frame of an address
        }
    }

    void framesPerAddressAndTheCap()
    {
        QTemporaryDir dir;
        FrameStore store(dir.filePath(QStringLiteral("Frames")), 3, 1000);
        for (int i = 0; i < 5; ++i) {
            QVERIFY(store.keep(QStringLiteral("http://a/"), kStart.addSecs(60 * i), png(100)));
        }
        QCOMPARE(names(store.frames(QStringLiteral("http://a/"))), (QStringList{"12:02", "12:03", "12:04"}));
        // 300 bytes of a, and now 800 of b: over 1000 in all, the oldest anywhere go first.
        for (int i = 0; i < 2; ++i) {
            QVERIFY(store.keep(QStringLiteral("http://b/"), kStart.addSecs(600 + 60 * i), png(400)));
        }
        QCOMPARE(names(store.frames(QStringLiteral("http://a/"))),
                 (QStringList{"12:03", "12:04"})); // 1000 in all
        QCOMPARE(names(store.frames(QStringLiteral("http://b/"))), (QStringList{"12:10", "12:11"}));
        const QString folder = store.folderFor(QStringLiteral("http://b/"));
        QCOMPARE(QFileInfo(folder).fileName().size(), 12);
        QCOMPARE(TestFiles::read(QDir(folder).filePath(QStringLiteral("Address.txt"))),
                 QByteArray("http://b/\n"));
        // A frame larger than the cap alone is still kept: the newest frame always stays.
        QVERIFY(store.keep(QStringLiteral("http://c/"), kStart.addSecs(3600), png(2000)));
        QCOMPARE(store.frames(QStringLiteral("http://c/")).size(), 1);
    }

    // Only files Skyvane wrote count as frames; anything else is passed over and never deleted.
    void whichFilesAreFrames()
    {
        QTemporaryDir dir;
        FrameStore store(dir.filePath(QStringLiteral("Frames")), 2);
        const QString folder = store.folderFor(QStringLiteral("http://a/"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/20261206T100000000Z.png"))); // a folder, not a frame
        const std::initializer_list<std::pair<const char*, QByteArray>> foreign = {
            {"notes.txt", png()},
            {"radar.png", png()},                         // not named as ours
            {"20261306T120000000Z.png", png()},           // no such month
            {"20261206T110100000Z.png", png(64, false)},  // cut short
            {"20261206T110200000Z.png", "not a picture"}, // a text file
            {"20991206T110000000Z.png", png()},           // from the future
        };
        for (const auto& [name, bytes] : foreign) {
            TestFiles::write(QDir(folder).filePath(QLatin1String(name)), bytes);
        }
        TestFiles::write(QDir(folder).filePath(QStringLiteral("20261206T110000000Z.png")), png());
        TestFiles::write(QDir(folder).filePath(QStringLiteral("Address.txt")), "http://b/\n");
        QVERIFY(store.frames(QStringLiteral("http://a/")).isEmpty()); // the folder names another address
        TestFiles::write(QDir(folder).filePath(QStringLiteral("Address.txt")), "http://a/\n");
        QCOMPARE(names(store.frames(QStringLiteral("http://a/"))), QStringList{"11:00"});
        QCOMPARE(store.read(store.frames(QStringLiteral("http://a/")).first()), png()); // as Replay reads it
        QVERIFY(store.read({QDir(folder).filePath(QStringLiteral("20261206T110200000Z.png")), kStart, 13})
                    .isEmpty());
        for (int i = 0; i < 3; ++i) {
            QVERIFY(store.keep(QStringLiteral("http://a/"), kStart.addSecs(60 * i), png()));
        }
        QCOMPARE(names(store.frames(QStringLiteral("http://a/"))), (QStringList{"12:01", "12:02"}));
        QCOMPARE(store.clear(), 2);
        for (const auto& [name, bytes] : foreign) {
            QVERIFY2(TestFiles::read(QDir(folder).filePath(QLatin1String(name))) == bytes, name);
        }
    }

    // Nothing but a regular file is read or replaced: a link, a pipe, a device or a folder in a file's
    // place is left as it is, and nothing waits on it.
    void otherKindsOfFileAreLeftAlone()
    {
        QTemporaryDir dir;
        const QString outside = dir.filePath(QStringLiteral("notes.png"));
        TestFiles::write(outside, png());
        const auto pipe = [](const QString& path) {
            return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
        };
        const std::initializer_list<std::pair<const char*, std::function<bool(const QString&)>>> kinds = {
            {"link", [&outside](const QString& path) { return QFile::link(outside, path); }},
            {"pipe", pipe},
            {"device", // as root only
             [](const QString& path) {
                 return ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0600, makedev(1, 3)) == 0;
             }},
            {"folder", [](const QString& path) { return QDir().mkpath(path); }},
        };
        for (const auto& [kind, make] : kinds) {
            const QString path = dir.filePath(QLatin1String(kind));
            if (!make(path)) {
                QVERIFY2(qstrcmp(kind, "device") == 0, kind);
                continue;
            }
            QVERIFY2(!RegularFile::isRegularOrAbsent(path) && !RegularFile::read(path, 16), kind);
            QVERIFY2(!AtomicFile::replace(path, "new") && RemoteToken::loadOrMake(path).isEmpty(), kind);
        }
        QCOMPARE(TestFiles::read(outside), png());

        // Under Frames/: a frame-named link to a picture outside and a frame-named pipe are no frames;
        // an Address.txt that is a pipe, or names another address, sends the frames to a folder of their own.
        FrameStore store(dir.filePath(QStringLiteral("Frames")));
        QVERIFY(store.keep(QStringLiteral("http://a/"), kStart, png()));
        const QDir a(store.folderFor(QStringLiteral("http://a/")));
        QVERIFY(QFile::link(outside, a.filePath(QStringLiteral("20261206T120100000Z.png"))));
        QVERIFY(pipe(a.filePath(QStringLiteral("20261206T120200000Z.png"))));
        QCOMPARE(names(store.frames(QStringLiteral("http://a/"))), QStringList{"12:00"});
        for (const char* b : {"http://b/", "http://c/"}) {
            const QDir taken(store.folderFor(QLatin1String(b)));
            QVERIFY(QDir().mkpath(taken.path()));
            if (qstrcmp(b, "http://b/") == 0) {
                QVERIFY(pipe(taken.filePath(QStringLiteral("Address.txt"))));
            } else {
                TestFiles::write(taken.filePath(QStringLiteral("Address.txt")), "http://other/\n");
            }
            QVERIFY(store.keep(QLatin1String(b), kStart, png()));
            QVERIFY(store.folderFor(QLatin1String(b)) != taken.path());
            QCOMPARE(names(store.frames(QLatin1String(b))), QStringList{"12:00"});
        }
        QCOMPARE(store.clear(), 3);
        QVERIFY(QFileInfo(a.filePath(QStringLiteral("20261206T120100000Z.png"))).isSymLink());
        QCOMPARE(TestFiles::read(outside), png());
    }

    // The frames are the user's alone, and no password is kept.
    void privateAndWithoutCredentials()
    {
        QTemporaryDir dir;
        FrameStore store(dir.filePath(QStringLiteral("Frames")));
        QVERIFY(store.keep(QStringLiteral("http://me:secret@a/radar"), kStart, png()));
        const QString folder = store.folderFor(QStringLiteral("http://a/radar"));
        QCOMPARE(TestFiles::read(QDir(folder).filePath(QStringLiteral("Address.txt"))),
                 QByteArray("http://a/radar\n"));
        const QList<FrameStore::Frame> frames = store.frames(QStringLiteral("http://a/radar"));
        QCOMPARE(frames.size(), 1);
        const auto owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
        QCOMPARE(QFile::permissions(frames.first().path) &
                     ~(owner | QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::Permissions());
        QCOMPARE(QFile::permissions(dir.filePath(QStringLiteral("Frames"))) & 0x0077,
                 QFileDevice::Permissions());
    }
};

QTEST_GUILESS_MAIN(TestFrameStore)
#include "tst_FrameStore.moc"
