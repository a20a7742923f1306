#include "Form1Fixture.h"
#include "TestFiles.h"
#include "TestMain.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

namespace {

QByteArray record(const QByteArray& name, const QByteArray& url)
{
    return name.leftJustified(140, ' ', true) + url.leftJustified(260, ' ', true);
}

const QByteArray kThreeSites = record("  Radar", "  http://127.0.0.1/radar  ") +
                               record("Satellite", "http://127.0.0.1/sat") +
                               record("Lightning", "http://127.0.0.1/lightning");

QStringList entries(const QComboBox* combo)
{
    QStringList out;
    for (int i = 0; i < combo->count(); ++i) {
        out << combo->itemText(i);
    }
    return out;
}

} // namespace

class TestForm1Navigation : public QObject
{
    Q_OBJECT
private slots:
    void selectorFilling_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("text");
        const QString initial = QString::fromLatin1(Form1::InitialSelectorText);
        QTest::newRow("no file") << false << QByteArray() << QStringList() << initial;
        QTest::newRow("empty file") << true << QByteArray() << QStringList() << initial;
        QTest::newRow("three sites") << true << kThreeSites << QStringList{"Radar", "Satellite", "Lightning"}
                                     << QStringLiteral("Radar");
        QTest::newRow("1000 bytes") << true << kThreeSites.left(1000) << QStringList{"Radar", "Satellite"}
                                    << QStringLiteral("Radar");
        QTest::newRow("duplicates stay") << true << record("Same", "http://a/") + record("Same", "http://b/")
                                         << QStringList{"Same", "Same"} << QStringLiteral("Same");
    }
    void selectorFilling()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, bytes);
        Form1Fixture f;
        if (exists) {
            TestFiles::write(f.siteListPath(), bytes);
        }
        f.create().Form_Load();
        const auto* combo = f.child<QComboBox>("Combo1");
        QTEST(entries(combo), "expected");
        QTEST(combo->currentText(), "text");
        QCOMPARE(QFile::exists(f.siteListPath()), exists);
        if (exists) {
            QFile file(f.siteListPath());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), bytes); // read, never written
        }
    }

    void siteChoiceIsWired()
    {
        Form1Fixture f;
        TestFiles::write(f.siteListPath(), kThreeSites);
        Form1& form = f.create();
        form.Form_Load();
        f.browser->calls.clear();
        auto* combo = f.child<QComboBox>("Combo1");
        combo->setCurrentIndex(2);
        emit combo->activated(2); // a pick from the list
        QCOMPARE(combo->currentText(), QStringLiteral("http://127.0.0.1/lightning"));
        QCOMPARE(f.child<QLabel>("Label2")->text(), QStringLiteral("0"));
        QCOMPARE(f.browser->calls, QStringList{"Navigate:http://127.0.0.1/lightning"});
    }

    // Enter in the selector is seen end to end, with a real key press.
    void goButtonIsWired()
    {
        Form1Fixture f;
        Form1& form = f.create();
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        f.state.MinuteCount = 3;
        f.child<QComboBox>("Combo1")->setEditText(QString());
        QTest::mouseClick(f.child<QPushButton>("Command1"), Qt::LeftButton);
        QCOMPARE(f.browser->calls, QStringList{"Navigate:"});
        QCOMPARE(f.child<QLabel>("Label2")->text(), QStringLiteral("0"));
        QVERIFY(f.child<QWidget>("UpDown1")->hasFocus());
    }

    void refreshButtonIsWired()
    {
        Form1Fixture f;
        Form1& form = f.create();
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        f.browser->location = QStringLiteral("http://127.0.0.1/radar");
        QTest::mouseClick(f.child<QPushButton>("Command2"), Qt::LeftButton);
        QCOMPARE(f.browser->calls.last(), QStringLiteral("Refresh2:3"));
        QCOMPARE(f.child<QLabel>("Label2")->text(), QStringLiteral("0"));
        QVERIFY(f.child<QWidget>("UpDown1")->hasFocus());
    }

    void browserEvents()
    {
        Form1Fixture f;
        Form1& form = f.create();
        FakeBrowserControl* b = f.browser;
        auto* timer4 = f.child<QTimer>("Timer4");

        emit b->TitleChange(QStringLiteral("Radar Loop"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Radar Loop - Skyvane ie5+"));
        QCOMPARE(f.state.PageTitle, QStringLiteral("Radar Loop"));
        QVERIFY(timer4->isActive());
        emit b->TitleChange(QStringLiteral("SkyvaneHelp"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Skyvane ie5+"));

        timer4->stop();
        emit b->DownloadComplete();
        QVERIFY(timer4->isActive());

        emit b->StatusTextChange(QStringLiteral("http://127.0.0.1/x"));
        QCOMPARE(f.child<QStatusBar>("StatusBar1")->currentMessage(), QStringLiteral("http://127.0.0.1/x"));
        emit b->StatusTextChange(QString());
        QCOMPARE(f.child<QStatusBar>("StatusBar1")->currentMessage(), QString());

        auto* box = f.child<QWidget>("Picture3");
        auto* bar = f.child<QProgressBar>("ProgressBar1");
        emit b->ProgressChange(150, 100);
        QVERIFY(box->isVisibleTo(&form));
        QCOMPARE(bar->maximum(), 100);
        QCOMPARE(bar->value(), 100);
        emit b->ProgressChange(5, 0);
        QCOMPARE(bar->maximum(), 1);
        QCOMPARE(bar->value(), 1);
        emit b->ProgressChange(-1, 100);
        QVERIFY(!box->isVisibleTo(&form));
        QCOMPARE(bar->value(), 1);

        emit b->CommandStateChange(BrowserControl::CSC_NAVIGATEBACK, true);
        QVERIFY(f.child<QPushButton>("Command3")->isEnabled());
        QVERIFY(!f.child<QPushButton>("Command4")->isEnabled());
        emit b->CommandStateChange(BrowserControl::CSC_NAVIGATEFORWARD, true);
        emit b->CommandStateChange(-1, false);
        QVERIFY(f.child<QPushButton>("Command4")->isEnabled());
        emit b->CommandStateChange(BrowserControl::CSC_NAVIGATEBACK, false);
        QVERIFY(!f.child<QPushButton>("Command3")->isEnabled());

        f.state.MinuteCount = 9;
        b->location = QStringLiteral("HTTP:///");
        emit b->NavigateComplete2();
        QCOMPARE(f.child<QComboBox>("Combo1")->currentText(), QStringLiteral("http://"));
        QCOMPARE(f.state.MinuteCount, qint16(0));
        QCOMPARE(f.child<QLabel>("Label2")->text(), QStringLiteral("0"));
        for (const char* other : {"hTtP:///", "http:///x"}) {
            b->location = QString::fromLatin1(other);
            emit b->NavigateComplete2();
            QCOMPARE(f.child<QComboBox>("Combo1")->currentText(), b->location == QLatin1String("http:///x")
                                                                      ? QStringLiteral("http:///x")
                                                                      : QStringLiteral("http://"));
        }
        emit b->TitleChange(QString());
        QCOMPARE(form.windowTitle(), QStringLiteral(" - Skyvane ie5+"));
        b->location.clear();
        emit b->NavigateComplete2();
        QCOMPARE(f.child<QComboBox>("Combo1")->currentText(), QString());
    }
};

SKYVANE_TEST_MAIN(TestForm1Navigation)
#include "tst_Form1Navigation.moc"
