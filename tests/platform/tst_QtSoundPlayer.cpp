#include "TestFiles.h"
#include "TestMain.h"
#include "core/RefreshSound.h"
#include "platform/QtSoundPlayer.h"

#include <QSoundEffect>

class TestQtSoundPlayer : public QObject
{
    Q_OBJECT
private slots:
    // The shipped sound loads, a play during a play starts again, and a missing or broken file is silent.
    void shippedMissingAndBrokenSounds()
    {
        QTemporaryDir dir;
        TestFiles::write(dir.filePath(QStringLiteral("Start.wav")), "RIFF not really a wave");
        QtSoundPlayer player;
        const auto played = [&player](const QString& folder, QSoundEffect::Status status) {
            RefreshSound::playRefreshSound(player, folder);
            QTRY_COMPARE_WITH_TIMEOUT(player.effect()->status(), status, 10000);
        };
        const QString shipped = qEnvironmentVariable("SKYVANE_SHIPPED_DIR");
        played(shipped, QSoundEffect::Ready);
        played(shipped, QSoundEffect::Ready);
        QCOMPARE(player.effect()->source(), QUrl::fromLocalFile(shipped + QStringLiteral("/Start.wav")));
        played(dir.path(), QSoundEffect::Error);
        played(dir.filePath(QStringLiteral("nowhere")), QSoundEffect::Error);
        player.close();
        QCOMPARE(player.effect()->status(), QSoundEffect::Null);
    }
};

SKYVANE_TEST_MAIN(TestQtSoundPlayer)
#include "tst_QtSoundPlayer.moc"
