#include "core/RemoteToken.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The remote view's token: made once, kept for the user alone.
class TestRemoteToken : public QObject
{
    Q_OBJECT
private slots:
    void madeKeptAndGuarded()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("RemoteToken"));
        const QByteArray first = RemoteToken::loadOrMake(path);
        QVERIFY(RemoteToken::isToken(first));
        QCOMPARE(QFile(path).permissions() & 0x60ff, QFile::ReadOwner | QFile::WriteOwner); // none for others
        QCOMPARE(RemoteToken::loadOrMake(path), first); // the same at every start
        QVERIFY(RemoteToken::loadOrMake(dir.filePath(QStringLiteral("other"))) != first);

        QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        QCOMPARE(RemoteToken::loadOrMake(path), first);
        QCOMPARE(QFile(path).permissions() & 0x60ff,
                 QFile::ReadOwner | QFile::WriteOwner); // none for others // narrowed again

        for (const QByteArray& bad : {QByteArray("short"), QByteArray(64, 'G'), QByteArray()}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bad);
            f.close();
            const QByteArray made = RemoteToken::loadOrMake(path);
            QVERIFY(RemoteToken::isToken(made) && made != first);
        }
        QVERIFY(
            RemoteToken::loadOrMake(dir.filePath(QStringLiteral("no/such/folder/RemoteToken"))).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRemoteToken)
#include "tst_RemoteToken.moc"
