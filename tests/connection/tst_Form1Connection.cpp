#include "Form1Fixture.h"
#include "TestMain.h"
#include "core/ShippedFiles.h"

#include <QFile>
#include <QPushButton>
#include <QTimer>

namespace {

QImage iconImage(const QPushButton* b)
{
    return b->icon().pixmap(QSize(26, 14)).toImage().convertToFormat(QImage::Format_RGB32);
}

QImage fileImage(const QString& path)
{
    return QIcon(QPixmap(path)).pixmap(QSize(26, 14)).toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

// The indicator on the main window: pictures from the program directory, the poll timer, the click.
class TestForm1Connection : public QObject
{
    Q_OBJECT
private slots:
    void picturesFollowTheState()
    {
        Form1Fixture f;
        QCOMPARE(ShippedFiles::unpackIntoBareDirectory(f.dir.path()), 6);
        Form1& form = f.create();
        auto* indicator = f.child<QPushButton>("Command6");
        QCOMPARE(indicator->toolTip(),
                 QStringLiteral("internetGetConnectedState And Force Up Internet Dialer If False"));
        QCOMPARE(iconImage(indicator), fileImage(QStringLiteral(":/shipped/iNetGrn.gif")));
        QVERIFY(f.child<QTimer>("Timer2")->isActive());

        f.probe->current = {false, false};
        tick(form.findChild<QTimer*>(QStringLiteral("Timer2")));
        QCOMPARE(iconImage(indicator), fileImage(f.dir.filePath(QStringLiteral("iNetRed.gif"))));
        f.probe->current = {true, false};
        QEvent activated(QEvent::WindowActivate);
        QApplication::sendEvent(&form, &activated);
        QCOMPARE(iconImage(indicator), fileImage(f.dir.filePath(QStringLiteral("iNetGrn.gif"))));

        // A missing picture leaves the old one, but the state still changes.
        QVERIFY(QFile::remove(f.dir.filePath(QStringLiteral("iNetRed.gif"))));
        f.probe->current = {false, false};
        tick(form.findChild<QTimer*>(QStringLiteral("Timer2")));
        QCOMPARE(form.connectionMonitor().indicatorDown(), qint16(1));
        QCOMPARE(iconImage(indicator), fileImage(f.dir.filePath(QStringLiteral("iNetGrn.gif"))));
    }

    void functionsOffTurnGreyAndStopThePoll()
    {
        Form1Fixture f;
        ShippedFiles::unpackIntoBareDirectory(f.dir.path());
        f.state.Settings.INetDisabled = 1;
        Form1& form = f.create();
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        auto* indicator = f.child<QPushButton>("Command6");
        QTRY_COMPARE(iconImage(indicator), fileImage(f.dir.filePath(QStringLiteral("iNetGrey.gif"))));
        QVERIFY(!f.child<QTimer>("Timer2")->isActive());
        QCOMPARE(f.probe->queries, 0);

        QTest::mouseClick(indicator, Qt::LeftButton);
        QCOMPARE(f.messages->shown,
                 QStringList{"iNet Functions Are Not Configured\nClick The -Menu- Button And\n"
                             "Then -INet Functions- To Change."});
        QCOMPARE(form.focusWidget(), f.child<QWidget>("UpDown1"));

        // The refresh step never redials while the functions are off.
        f.probe->current = {false, false};
        tick(form.findChild<QTimer*>(QStringLiteral("Timer1")));
        QCOMPARE(f.probe->queries, 0);
    }

    void refreshRedialsALostModem()
    {
        Form1Fixture f;
        Form1& form = f.create();
        f.probe->current = {true, true};
        tick(form.findChild<QTimer*>(QStringLiteral("Timer2")));
        f.probe->current = {false, false};
        for (int i = 0; i < 10; ++i) {
            tick(form.findChild<QTimer*>(QStringLiteral("Timer1"))); // interval 10: the tenth tick refreshes
        }
        QCOMPARE(f.probe->autodials, 1);
    }
};

SKYVANE_TEST_MAIN(TestForm1Connection)
#include "tst_Form1Connection.moc"
