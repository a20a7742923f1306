#include "TestMain.h"
#include "core/RefreshSound.h"
#include "platform/QtSoundPlayer.h"

#include <QFile>
#include <QSoundEffect>
#include <QtEndian>

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
    void shippedSoundIsAShortPcmWave()
    {
        QFile f(shippedWave());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray b = f.readAll();
        QVERIFY(b.size() > 44);
        QCOMPARE(b.left(4), QByteArray("RIFF"));
        QCOMPARE(qFromLittleEndian<quint32>(b.constData() + 4), quint32(b.size() - 8));
        QCOMPARE(b.mid(8, 8), QByteArray("WAVEfmt "));
        QCOMPARE(qFromLittleEndian<quint16>(b.constData() + 20), quint16(1)); // PCM
        const quint16 channels = qFromLittleEndian<quint16>(b.constData() + 22);
        const quint32 rate = qFromLittleEndian<quint32>(b.constData() + 24);
        QCOMPARE(qFromLittleEndian<quint16>(b.constData() + 34), quint16(16));
        QCOMPARE(b.mid(36, 4), QByteArray("data"));
        const quint32 dataBytes = qFromLittleEndian<quint32>(b.constData() + 40);
        const double seconds = double(dataBytes) / (rate * channels * 2);
        QVERIFY2(seconds > 0.1 && seconds < 1.0, qPrintable(QString::number(seconds)));
    }

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
