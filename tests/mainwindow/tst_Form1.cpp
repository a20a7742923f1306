#include "Form1Fixture.h"
#include "TestMain.h"
#include "core/MainLayout.h"
#include "core/SettingsRecord.h"

#include <QComboBox>
#include <QFile>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

namespace {

struct Fixture : Form1Fixture
{
    Fixture() { create(); }
};

bool near(float a, float b)
{
    return nearTwips(a, b);
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT
private slots:
    void controlsAsDesigned()
    {
        Fixture f;
        QCOMPARE(f.form->windowTitle(), QStringLiteral("Skyvane ie5+"));
        QCOMPARE(f.child<QPushButton>("Command1")->text(), QStringLiteral("Go"));
        QCOMPARE(f.child<QPushButton>("Command2")->toolTip(), QStringLiteral("Refresh Page"));
        QCOMPARE(f.child<QPushButton>("Command5")->toolTip(),
                 QStringLiteral("Edit, Add, Delete Site Selector List Items"));
        QVERIFY(!f.child<QPushButton>("Command3")->isEnabled());
        QVERIFY(!f.child<QPushButton>("Command4")->isEnabled());
        QVERIFY(f.child<QPushButton>("Command8")->toolTip().isEmpty());
        QCOMPARE(f.child<QLabel>("Label1")->text(), QStringLiteral("10"));
        QCOMPARE(f.child<QLabel>("Label2")->text(), QStringLiteral("0"));
        QCOMPARE(f.child<QComboBox>("Combo1")->currentText(),
                 QString::fromLatin1(Form1::InitialSelectorText));
        QCOMPARE(f.child<QComboBox>("Combo1")->count(), 0);
        QCOMPARE(f.child<QTimer>("Timer1")->interval(), 60000);
        QVERIFY(!f.child<QTimer>("Timer1")->isActive());
        QCOMPARE(f.child<QTimer>("Timer2")->interval(), 10000);
        QCOMPARE(f.child<QTimer>("Timer4")->interval(), 100);
        QVERIFY(!f.child<QTimer>("Timer4")->isActive());
        QVERIFY(!f.child<QWidget>("Picture3")->isVisibleTo(f.form.get()));
    }

    void layoutArithmeticAtDesignedSize()
    {
        // Designed client area 10290 x 4980.
        QCOMPARE(MainLayout::comboWidth(10290), 5340.0f);
        QCOMPARE(MainLayout::goLeft(10290), 9900.0f);
        QCOMPARE(MainLayout::browser(10290, 4980), (TwipRect{0, 360, 10290, 4350}));
        QCOMPARE(MainLayout::browser(10290, 4980, MainLayout::Nudge), (TwipRect{0, 360, 10275, 4350}));
        QCOMPARE(MainLayout::progressLeft(10290), 8730.0f);
        QCOMPARE(MainLayout::progressTop(4980), 4740.0f);
        QCOMPARE(MainLayout::springBackWidth(7094.9f), 7095.0f);
        QCOMPARE(MainLayout::springBackWidth(7095), 7095.0f);
        QCOMPARE(MainLayout::springBackHeight(5000), 5445.0f);
    }

    void windowPlacesItsControls()
    {
        Fixture f;
        const Twips& t = f.form->twips();
        f.form->resize(t.toPixelsX(10290), t.toPixelsY(6000));
        f.form->Form_Resize();
        const QList<float> combo = f.twipsOf("Combo1");
        QVERIFY(near(combo[0], 4530) && near(combo[2], 5340));
        QVERIFY(near(f.twipsOf("Command1")[0], 9900));
        const QList<float> browser = f.twipsOf("WebBrowser1");
        QVERIFY(near(browser[0], 0) && near(browser[1], 360) && near(browser[2], 10290) &&
                near(browser[3], 5370));
        const QList<float> progress = f.twipsOf("Picture3");
        QVERIFY(near(progress[0], 8730) && near(progress[1], 5760));
        const QList<float> status = f.twipsOf("StatusBar1");
        QVERIFY(near(status[1], 5730) && near(status[2], 10290));
    }

    void minimumSizeSpringsBack_data()
    {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::addColumn<float>("expectedWidth");
        QTest::addColumn<float>("expectedHeight");
        QTest::newRow("too small") << 3000.0f << 2000.0f << 7095.0f << 5445.0f;
        QTest::newRow("narrow only") << 3000.0f << 9000.0f << 7095.0f << 9000.0f;
        QTest::newRow("exact minimum") << 7095.0f << 5445.0f << 7095.0f << 5445.0f;
        QTest::newRow("large") << 15000.0f << 9000.0f << 15000.0f << 9000.0f;
    }
    void minimumSizeSpringsBack()
    {
        QFETCH(float, width);
        QFETCH(float, height);
        Fixture f;
        f.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
        f.form->moveOuter(0, 0, width, height);
        QFETCH(float, expectedWidth);
        QFETCH(float, expectedHeight);
        QTRY_VERIFY2(near(f.form->Width(), expectedWidth) && near(f.form->Height(), expectedHeight),
                     qPrintable(QStringLiteral("%1 x %2").arg(f.form->Width()).arg(f.form->Height())));
        // The browser fills the client area below the strip.
        const QList<float> browser = f.twipsOf("WebBrowser1");
        QVERIFY(near(browser[2], f.form->ScaleWidth()));
        QVERIFY(near(browser[3], f.form->ScaleHeight() - 630));
    }

    void loadAppliesFontMovesAndNavigates()
    {
        Fixture f;
        f.state.Settings.MainLeft = 1500;
        f.state.Settings.MainTop = 750;
        f.state.Settings.MainWidth = 9000;
        QCOMPARE(f.form->loadDone(), qint16(0));
        f.form->Form_Load();
        QCOMPARE(f.form->loadDone(), qint16(1));
        QCOMPARE(f.browser->calls, QStringList{QStringLiteral("Navigate:/prog/SkyvaneHelp.htm")});
        for (const char* name : {"Label1", "Label2", "Combo1"}) {
            const QFont font = f.child<QWidget>(name)->font();
            QCOMPARE(font.family(), QStringLiteral("DejaVu Sans"));
            QVERIFY(font.bold());
        }
        QCOMPARE(f.child<QWidget>("Combo1")->font().pointSizeF(), 11.0);
        // The count boxes take the size where three digits fit them whole, at most the chosen one.
        for (const char* name : {"Label1", "Label2"}) {
            const QWidget* box = f.child<QWidget>(name);
            QVERIFY(box->font().pointSizeF() <= 11.0);
            QVERIFY(QFontMetricsF(box->font()).horizontalAdvance(QStringLiteral("180")) <= box->width());
        }
        QVERIFY(near(f.form->Left(), 1500));
        QVERIFY(near(f.form->Top(), 750));
        QVERIFY(near(f.form->Width(), 9000));
    }

    void emptyStartPageIsNavigatedUnchanged()
    {
        Fixture f;
        f.state.Settings.StartPage.clear();
        f.form->Form_Load();
        QCOMPARE(f.browser->calls, QStringList{QStringLiteral("Navigate:")});
    }

    void timer4RelaysOnceAndStops()
    {
        Fixture f;
        f.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
        auto* timer4 = f.child<QTimer>("Timer4");
        timer4->start();
        QTRY_VERIFY(!timer4->isActive());
        QVERIFY(near(f.twipsOf("WebBrowser1")[2], f.form->ScaleWidth()));

        f.form->showMinimized();
        const QRect before = f.browser->geometry();
        timer4->start();
        QTRY_VERIFY(!timer4->isActive());
        QCOMPARE(f.browser->geometry(), before);
    }

    void closeSavesTheWindowGeometry()
    {
        Fixture f;
        f.state.Settings.Reserved330 = {'a', 'b', 'c', 'd'};
        f.state.Settings.INetDisabledNext = 1;
        f.form->Form_Load();
        f.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
        f.form->moveOuter(300, 450, 9000, 6000);
        QTRY_VERIFY(near(f.form->Width(), 9000));
        f.form->close();
        QFile file(f.dir.filePath(QStringLiteral("Skyvn.ini")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.size(), 470);
        const SettingsRecord r = SettingsRecord::decode(bytes);
        QVERIFY(near(r.MainLeft, 300) && near(r.MainTop, 450));
        QVERIFY(near(r.MainWidth, 9000) && near(r.MainHeight, 6000));
        QCOMPARE(r.INetDisabled, qint16(1));
        QCOMPARE(r.StartPage, QStringLiteral("/prog/SkyvaneHelp.htm"));
        QCOMPARE(r.Reserved330[3], 'd');
        QCOMPARE(r.FontBold, qint16(-1));
    }
};

SKYVANE_TEST_MAIN(TestForm1)
#include "tst_Form1.moc"
