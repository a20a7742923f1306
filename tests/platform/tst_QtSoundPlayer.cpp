#include "TestMain.h"
#include "core/RefreshSound.h"
#include "platform/QtSoundPlayer.h"

#include <QFile>
#include <QSoundEffect>

namespace {

QString shippedWave()
{
    return qEnvironmentVariable("SKYVANE_SHIPPED_DIR") + QStringLiteral("/Start.wav");
}

} // namespace

class TestQtSoundPlayer : public QObject
{
    Q_OBJECT
private slots:
    void shippedSoundLoadsInQSoundEffect()
    {
        QtSoundPlayer player;
        player.Close();
        player.Open(shippedWave());
        player.Play();
        QTRY_COMPARE_WITH_TIMEOUT(player.effect()->status(), QSoundEffect::Ready, 10000);
        // A play during a play starts again from the beginning.
        RefreshSound::PlayRefreshSound(player, qEnvironmentVariable("SKYVANE_SHIPPED_DIR"));
        QTRY_COMPARE_WITH_TIMEOUT(player.effect()->status(), QSoundEffect::Ready, 10000);
        QCOMPARE(player.effect()->source(), QUrl::fromLocalFile(shippedWave()));
    }

    void missingOrBrokenFileIsSilent()
    {
        QTemporaryDir dir;
        QFile broken(dir.filePath(QStringLiteral("Start.wav")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("RIFF not really a wave");
        broken.close();

        QtSoundPlayer player;
        RefreshSound::PlayRefreshSound(player, dir.path());
        QTRY_COMPARE_WITH_TIMEOUT(player.effect()->status(), QSoundEffect::Error, 10000);
        RefreshSound::PlayRefreshSound(player, dir.filePath(QStringLiteral("nowhere")));
        QTRY_COMPARE_WITH_TIMEOUT(player.effect()->status(), QSoundEffect::Error, 10000);
        player.Close();
        QCOMPARE(player.effect()->status(), QSoundEffect::Null);
    }
};

SKYVANE_TEST_MAIN(TestQtSoundPlayer)
#include "tst_QtSoundPlayer.moc"
