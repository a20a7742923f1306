#include "TestFiles.h"
#include "core/PreferencesStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Skyvane.conf: the settings beyond the record file, read and saved.
class TestPreferencesStore : public QObject
{
    Q_OBJECT
private slots:
    // A missing, damaged or out-of-range file gives the defaults; what is read saves and reads back.
    void preferences()
    {
        const std::pair<QByteArray, QList<int>> rows[] = {
            {"none", {false, 36, 1, 2, 1500, true, 60}}, // no file
            {"[Refresh]\nChimeOnlyForNewPicture=true\nCrashPause=5\n[Replay]\nFramesPerAddress=72\nSpeed="
             "2\nDwell=2.5\n"
             "TimeOnFrames=false\n[Alert]\nPercent=5\n",
             {true, 72, 2, 5, 2500, false, 5}},
            {"[Refresh]\nCrashPause=0\n[Replay]\nFramesPerAddress=0\nSpeed=9\nDwell=-1\n[Alert]\nPercent=0\n",
             {false, 36, 1, 2, 1500, true, 60}},
            {"[Replay]\nFramesPerAddress=many\nSpeed=\nDwell=31\n", {false, 36, 1, 2, 1500, true, 60}},
            {QByteArray("\x00\xff[[[=\n\x01\x02", 10), {false, 36, 1, 2, 1500, true, 60}},
        };
        for (const auto& [file, expected] : rows) {
            QTemporaryDir dir;
            const PreferencesStore store(dir.filePath(QString::fromLatin1(Preferences::FileName)));
            if (file != "none") {
                TestFiles::write(store.path(), file);
            }
            for (int pass = 0; pass < 2; ++pass) { // as read, then as saved and read back
                const Preferences p = store.load();
                QCOMPARE((QList<int>{p.chimeOnlyForNewPicture, p.framesPerAddress, p.replaySpeed,
                                     p.alertPercent, p.dwellMs, p.timeOnFrames, p.crashPauseSeconds}),
                         expected);
                QVERIFY(store.save(p));
            }
        }
        QTemporaryDir dir; // the remote view's address and the notices', kept through a save
        const PreferencesStore store(dir.filePath(QString::fromLatin1(Preferences::FileName)));
        TestFiles::write(store.path(), "Serve=0.0.0.0:8765\nAwake=07:00-09:00, "
                                       "17:00-23:00\n[Notify]\nNtfy=https://ntfy.sh/a, https://ntfy.sh/b\n"
                                       "Webhook=http://hook/x?a=1\n[Replay]\nSpeed=2\n");
        QVERIFY(store.save(store.load()));
        const Preferences kept = store.load();
        QCOMPARE(kept.serve + QLatin1Char('|') +
                     (kept.notifyNtfy + kept.notifyWebhook).join(QLatin1Char('|')),
                 QStringLiteral("0.0.0.0:8765|https://ntfy.sh/a|https://ntfy.sh/b|http://hook/x?a=1"));
        QCOMPARE(kept.notifyWebhook.size(), 1);
        QCOMPARE(kept.awake, QStringLiteral("07:00-09:00,17:00-23:00"));

        // [Mqtt], kept through a save (a port out of bounds its default), and its password file,
        // which none but its owner may read.
        TestFiles::write(store.path(), "[Mqtt]\nHost=broker\nPort=99999\nUser=ha\nPasswordFile=/p\nTls=true\n"
                                       "BaseTopic=home/radar\n");
        QVERIFY(store.save(store.load()));
        const MqttSettings m = store.load().mqtt;
        QCOMPARE((QStringList{m.host, QString::number(m.port), m.user, m.passwordFile, QString::number(m.tls),
                              m.caFile, m.baseTopic}),
                 QString::fromLatin1("broker 1883 ha /p 1  home/radar").split(QLatin1Char(' ')));
        const QString secret = dir.filePath(QStringLiteral("secret"));
        const QFile::Permissions own = QFile::ReadOwner | QFile::WriteOwner;
        for (const auto& [bytes, permissions, password] :
             std::initializer_list<std::tuple<QByteArray, QFile::Permissions, QByteArray>>{
                 {"s3cret\r\nnext line", own, "s3cret"},
                 {"s3cret", own | QFile::ReadGroup, ""},
                 {"s3cret", own | QFile::ReadOther, ""},
                 {"\n", own, ""},
             }) {
            TestFiles::write(secret, bytes);
            QVERIFY(QFile::setPermissions(secret, permissions));
            QString why;
            QCOMPARE(MqttSettings::readPassword(secret, &why), password);
            QCOMPARE(why.isEmpty(), !password.isEmpty());
        }
    }

    // Watched areas: one entry an address, damaged entries passed over, kept as read.
    void areas()
    {
        QTemporaryDir dir;
        const PreferencesStore store(dir.filePath(QString::fromLatin1(Preferences::FileName)));
        const QString& path = store.path();
        TestFiles::write(path, "[Areas]\n"
                               "1\\address=http://a/\n1\\rect=10 20 300 200.5\n"
                               "2\\address=http://b/\n2\\alertBox=0.25 0.25 0.5 0.5\n2\\alertLevel=severe\n"
                               "3\\address=http://c/\n3\\rect=10 20 -3 200\n"         // no size
                               "4\\address=http://d/\n4\\alertBox=0.5 0.5 0.75 0.1\n" // past the view
                               "5\\address=http://e/\n5\\rect=1 2 3 4\n5\\alertLevel=drizzle\n"
                               "6\\rect=1 2 3 4\n"                       // no address
                               "7\\address=http://a/\n7\\rect=1 2 3 4\n" // a second entry
                               "8\\address=http://f/\n8\\rect=nan 2 3 4\n"
                               "9\\address=http://g/\n9\\follow=true\n" // followed, nothing else
                               "10\\address=http://h/\n10\\turn=3\n"    // a rotation's turn of its own
                               "11\\address=http://i/\n11\\turn=0\n"    // none
                               "size=11\n");
        const QList<Preferences::Area> wanted = {
            {QStringLiteral("http://a/"), QRectF(10, 20, 300, 200.5), {}, QStringLiteral("heavy")},
            {QStringLiteral("http://b/"), {}, QRectF(0.25, 0.25, 0.5, 0.5), QStringLiteral("severe")},
            {QStringLiteral("http://g/"), {}, {}, QStringLiteral("heavy"), true},
            {QStringLiteral("http://h/"), {}, {}, QStringLiteral("heavy"), false, 3},
        };
        for (int pass = 0; pass < 2; ++pass) { // as read, then as saved and read back
            const Preferences p = store.load();
            QCOMPARE(p.areas, wanted);
            QVERIFY(store.save(p));
        }
        Preferences p = store.load();
        p.areaOf(QStringLiteral("http://a/")).rect = QRectF();
        p.dropUnused();
        QCOMPARE(p.areas.size(), 3);
        QVERIFY(p.areaFor(QStringLiteral("http://a/")) == nullptr);

        // Past MaxAreas entries, the rest are passed over and counted.
        QByteArray many = "[Areas]\n";
        for (int i = 1; i <= Preferences::MaxAreas + 5; ++i) {
            many += QByteArray::number(i) + "\\address=http://a/" + QByteArray::number(i) + "\n" +
                    QByteArray::number(i) + "\\rect=1 2 3 4\n";
        }
        TestFiles::write(path, many + "size=" + QByteArray::number(Preferences::MaxAreas + 5) + "\n");
        int passedOver = 0;
        QCOMPARE(store.load(&passedOver).areas.size(), Preferences::MaxAreas);
        QCOMPARE(passedOver, 5);
    }
};

QTEST_GUILESS_MAIN(TestPreferencesStore)
#include "tst_PreferencesStore.moc"
