#include "Form1Fixture.h"
#include "PreparedMessageBoxes.h"
#include "TestFiles.h"
#include "TestMain.h"
#include "core/EditorLayout.h"
#include "core/SiteListFile.h"
#include "windows/Form2.h"
#include "windows/OuterGeometry.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <sys/resource.h>
#include <sys/wait.h>

#include <csignal>

namespace {

QByteArray record(const QString& name, const QString& url)
{
    return SiteRecord{name, url}.encode();
}

struct EditorFixture
{
    QTemporaryDir dir;
    AppState state;
    QString location = QStringLiteral("http://127.0.0.1/shown");
    QComboBox selector;
    std::unique_ptr<Form2> editor;

    EditorFixture()
    {
        state.AppDir = dir.path();
        state.Settings.EditorWidth = 6945;
        state.Settings.EditorHeight = 3525;
        state.Settings.FontName = QStringLiteral("DejaVu Sans");
        state.Settings.FontSize = 10;
        selector.setEditable(true);
        selector.setEditText(QStringLiteral("http://current/"));
    }

    QString path() const { return dir.filePath(QStringLiteral("SiteList.dab")); }

    PreparedMessageBoxes messages;

    Form2& open()
    {
        editor = std::make_unique<Form2>(
            state, [this] { return location; }, &messages);
        QObject::connect(editor.get(), &Form2::listSaved, &selector, [this](const QStringList& names) {
            const QString text = selector.currentText(); // as the main window takes the saved list
            selector.clear();
            selector.addItems(names);
            selector.setEditText(text);
        });
        editor->Form_Load();
        return *editor;
    }

    QTreeWidget* list() const { return editor->findChild<QTreeWidget*>(QStringLiteral("ListView1")); }

    QStringList rows() const
    {
        QStringList out;
        for (int i = 0; i < list()->topLevelItemCount(); ++i) {
            out << list()->topLevelItem(i)->text(0) + QLatin1Char('|') + list()->topLevelItem(i)->text(1);
        }
        return out;
    }

    void select(int position) { list()->setCurrentItem(list()->topLevelItem(position - 1)); }

    void trigger(const char* action) { editor->findChild<QAction*>(QString::fromLatin1(action))->trigger(); }

    QStringList entries() const
    {
        QStringList out;
        for (int i = 0; i < selector.count(); ++i) {
            out << selector.itemText(i);
        }
        return out;
    }
};

const QByteArray kABCD =
    record("A", "http://a/") + record("B", "http://b/") + record("C", "http://c/") + record("D", "http://d/");

} // namespace

class TestForm2 : public QObject
{
    Q_OBJECT
private slots:
    void loadsTheFile()
    {
        EditorFixture f;
        TestFiles::write(f.path(), record("  Radar", "  http://r/") + record("Sat", ""));
        Form2& e = f.open();
        QCOMPARE(f.rows(), (QStringList{"Radar|http://r/", "Sat|"}));
        QCOMPARE(e.windowTitle(), QStringLiteral("Edit Selector List"));
        QCOMPARE(f.list()->headerItem()->text(0), QStringLiteral(" Name"));
        QCOMPARE(f.list()->headerItem()->text(1), QStringLiteral("URL"));
        QCOMPARE(f.list()->font().family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(e.listLoaded(), qint16(1));
        QCOMPARE(e.listChanged(), qint16(0));
        QVERIFY(f.list()->selectedItems().isEmpty());
    }

    void addTakesTitleAndAddress()
    {
        EditorFixture f;
        Form2& e = f.open();
        e.findChild<QPushButton*>(QStringLiteral("Command1"))->click(); // before any title
        f.state.PageTitle = QString(100, QLatin1Char('t'));
        e.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        e.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        QCOMPARE(f.rows(), (QStringList{"|http://127.0.0.1/shown",
                                        QString(80, QLatin1Char('t')) + "|http://127.0.0.1/shown",
                                        QString(80, QLatin1Char('t')) + "|http://127.0.0.1/shown"}));
        QCOMPARE(e.listChanged(), qint16(1));
    }

    void deleteSelectedOnly()
    {
        EditorFixture f;
        Form2& e = f.open();
        e.findChild<QPushButton*>(QStringLiteral("Command2"))->click(); // empty list
        QCOMPARE(e.listChanged(), qint16(0));
        f.editor.reset();
        TestFiles::write(f.path(), kABCD);
        Form2& e2 = f.open();
        e2.findChild<QPushButton*>(QStringLiteral("Command2"))->click(); // rows, none selected
        QCOMPARE(f.rows().size(), 4);
        QCOMPARE(e2.listChanged(), qint16(0));
        f.select(2);
        e2.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
        f.select(3);
        f.trigger("mnuDelete");
        QCOMPARE(f.rows(), (QStringList{"A|http://a/", "C|http://c/"}));
        QCOMPARE(e2.listChanged(), qint16(1));
    }

    void renameInPlace_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("changed");
        QTest::newRow("new name") << "Radar Loop" << int(Qt::Key_Return) << "Radar Loop" << 1;
        QTest::newRow("same text still counts") << "A" << int(Qt::Key_Return) << "A" << 1;
        QTest::newRow("Esc cancels") << "Other" << int(Qt::Key_Escape) << "A" << 0;
    }
    void renameInPlace()
    {
        QFETCH(QString, typed);
        QFETCH(int, key);
        EditorFixture f;
        TestFiles::write(f.path(), kABCD);
        Form2& e = f.open();
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        f.select(1);
        f.list()->editItem(f.list()->topLevelItem(0), 0);
        auto* edit = f.list()->findChild<QLineEdit*>();
        QVERIFY(edit != nullptr);
        edit->setText(typed);
        QCOMPARE(keyTarget(), edit);
        QTest::keyClick(keyTarget(), Qt::Key(key));
        QTRY_VERIFY(f.list()->findChild<QLineEdit*>() == nullptr); // the edit has ended
        QTEST(f.list()->topLevelItem(0)->text(0), "name");
        QTEST(int(e.listChanged()), "changed");
    }

    void movesThroughTheMenu_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("order");
        QTest::addColumn<int>("changed");
        QTest::newRow("C up") << "mnuMoveUp" << 3 << "ACBD" << 1;
        QTest::newRow("C down") << "mnuMovedown" << 3 << "ABDC" << 1;
        QTest::newRow("C top") << "mnuToTop" << 3 << "CABD" << 1;
        QTest::newRow("C bottom") << "mnuToBot" << 3 << "ABDC" << 1;
        QTest::newRow("A up: nothing") << "mnuMoveUp" << 1 << "ABCD" << 0;
        QTest::newRow("D bottom: nothing") << "mnuToBot" << 4 << "ABCD" << 0;
        QTest::newRow("none selected: nothing") << "mnuToTop" << 0 << "ABCD" << 0;
    }
    void movesThroughTheMenu()
    {
        QFETCH(QString, action);
        QFETCH(int, selected);
        QFETCH(QString, order);
        EditorFixture f;
        TestFiles::write(f.path(), kABCD);
        Form2& e = f.open();
        if (selected > 0) {
            f.select(selected);
        }
        f.trigger(action.toLatin1().constData());
        QString names;
        for (const QString& row : f.rows()) {
            names += row.left(1);
        }
        QCOMPARE(names, order);
        QTEST(int(e.listChanged()), "changed");
        if (e.listChanged() != 0) {
            const int moved = int(order.indexOf(QLatin1Char('C'))) + 1;
            QCOMPARE(f.list()->indexOfTopLevelItem(f.list()->currentItem()) + 1, moved);
        }
        // The move reaches the file and the selector when the editor closes.
        e.close();
        QByteArray expected;
        for (const QChar c : order) {
            expected += record(QString(c), QStringLiteral("http://%1/").arg(c.toLower()));
        }
        QCOMPARE(TestFiles::read(f.path()), expected);
    }

    void saveRewritesFileAndSelector()
    {
        EditorFixture f;
        TestFiles::write(f.path(), record("Old", "http://old/"));
        Form2& e = f.open();
        f.select(1);
        e.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
        f.state.PageTitle = QStringLiteral("  Radar  ");
        e.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        f.location = QStringLiteral("http://sat/");
        f.state.PageTitle = QString(150, QLatin1Char('s'));
        e.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        f.location = QStringLiteral("http://x/") + QString(300, QLatin1Char('x'));
        f.state.PageTitle = QStringLiteral("Long");
        e.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        e.close();
        const QByteArray bytes = TestFiles::read(f.path());
        QCOMPARE(bytes.size(), 1200);
        QCOMPARE(bytes, record("  Radar  ", "http://127.0.0.1/shown") +
                            record(QString(80, QLatin1Char('s')), "http://sat/") +
                            record("Long", QStringLiteral("http://x/") + QString(251, QLatin1Char('x'))));
        QCOMPARE(f.entries(), (QStringList{"  Radar  ", QString(80, QLatin1Char('s')), "Long"}));
        QCOMPARE(f.selector.currentText(), QStringLiteral("http://current/"));
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList{"SiteList.dab"});
    }

    void unchangedCloseWritesNothing()
    {
        EditorFixture f;
        TestFiles::write(f.path(), kABCD);
        {
            QFile old(f.path());
            QVERIFY(old.open(QIODevice::ReadWrite));
            QVERIFY(
                old.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
        }
        const QDateTime before = QFileInfo(f.path()).lastModified();
        f.selector.addItem(QStringLiteral("stale"));
        Form2& e = f.open();
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        e.resize(e.twips().toPixelsX(8000), e.twips().toPixelsY(4000));
        const QMargins frame = OuterGeometry::frameOf(&e);
        QTRY_VERIFY(nearTwips(e.Width(), 8000 + e.twips().fromPixelsX(frame.left() + frame.right())));
        QCOMPARE(f.state.Settings.EditorWidth, e.Width());
        const float height = e.Height();
        e.close();
        QCOMPARE(QFileInfo(f.path()).lastModified(), before);
        QCOMPARE(TestFiles::read(f.path()), kABCD);
        QCOMPARE(f.entries(), QStringList{"stale"});
        QCOMPARE(f.state.Settings.EditorHeight, height);
    }

    void emptiedListDeletesTheFile()
    {
        EditorFixture f;
        TestFiles::write(f.path(), record("Only", "http://o/"));
        f.selector.addItem(QStringLiteral("Only"));
        Form2& e = f.open();
        f.select(1);
        e.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
        e.close();
        QVERIFY(!QFile::exists(f.path()));
        QCOMPARE(f.entries(), QStringList{"Only"}); // left until the next start
    }

    void layout()
    {
        // Inner width 9195.
        QCOMPARE(EditorLayout::addWidth(9195), 4597.5f);
        QCOMPARE(EditorLayout::deleteLeft(9195), 4627.5f);
        QCOMPARE(EditorLayout::deleteWidth(9195), 4567.5f);
        QCOMPARE(EditorLayout::columnWidth(9195), 4447.5f);

        EditorFixture f;
        f.state.Settings.EditorWidth = 9195;
        f.state.Settings.EditorHeight = 4000;
        Form2& e = f.open();
        const Twips& t = e.twips();
        QCOMPARE(e.findChild<QPushButton*>(QStringLiteral("Command1"))->width(), t.toPixelsX(4597.5));
        QCOMPARE(e.findChild<QPushButton*>(QStringLiteral("Command2"))->x(), t.toPixelsX(4627.5));
        QCOMPARE(f.list()->width(), t.toPixelsX(9195));
        QCOMPARE(f.list()->columnWidth(0), t.toPixelsX(4447.5));
        QCOMPARE(f.list()->columnWidth(1), f.list()->columnWidth(0));
    }

    void neverSmallerThanTheMinimum()
    {
        EditorFixture f;
        f.state.Settings.EditorWidth = 100;
        f.state.Settings.EditorHeight = 100;
        Form2& e = f.open();
        QVERIFY(nearTwips(e.Width(), 6945));
        QVERIFY(nearTwips(e.Height(), 3525));
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        e.resize(50, 50);
        QTRY_VERIFY(nearTwips(e.Width(), 6945));
        QVERIFY(nearTwips(e.Height(), 3525));
    }

    void aFailedSaveLeavesTheOldFileWhole()
    {
        EditorFixture f;
        TestFiles::write(f.path(), kABCD);
        // A child process may write at most 1000 bytes per file: the new list of ten sites cannot fit.
        const pid_t child = ::fork();
        if (child == 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{1000, 1000};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            QList<SiteRecord> ten;
            for (int i = 0; i < 10; ++i) {
                ten.append(
                    SiteRecord{QStringLiteral("Site %1").arg(i), QStringLiteral("http://s%1/").arg(i)});
            }
            ::_exit(SiteListFile(f.path()).writeAll(ten) ? 0 : 3);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 3);
        QCOMPARE(TestFiles::read(f.path()), kABCD);
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList{"SiteList.dab"});
    }

    // Another window saved the list while this editor had it open with changes of its own.
    void listChangedByAnotherWindow_data()
    {
        QTest::addColumn<int>("answer"); // to "Replace it with this list?"
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<bool>("staysOpen");
        QTest::newRow("yes: this list") << int(MessageBoxes::Answer::Yes) << true << false;
        QTest::newRow("no: the other list, shown") << int(MessageBoxes::Answer::No) << false << true;
        QTest::newRow("box dismissed: the other list") << int(MessageBoxes::Answer::Cancel) << false << false;
    }
    void listChangedByAnotherWindow()
    {
        QFETCH(int, answer);
        EditorFixture f;
        TestFiles::write(f.path(), kABCD);
        Form2& e = f.open();
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        f.select(4);
        e.findChild<QAction*>(QStringLiteral("mnuToTop"))->trigger();
        const QByteArray other = record("D", "http://d/") + record("A", "http://a/");
        TestFiles::write(f.path(), other);
        QFile(f.path()).setFileTime(QDateTime::currentDateTime().addSecs(5),
                                    QFileDevice::FileModificationTime);
        f.messages.answers = {MessageBoxes::Answer(answer)};
        e.close();
        QCOMPARE(
            f.messages.shown,
            QStringList{"The site list was changed by another Skyvane window. Replace it with this list?"});
        QFETCH(bool, replaced);
        QCOMPARE(TestFiles::read(f.path()), replaced ? record("D", "http://d/") + record("A", "http://a/") +
                                                           record("B", "http://b/") + record("C", "http://c/")
                                                     : other);
        QTEST(e.isVisible(), "staysOpen");
        if (e.isVisible()) {
            QCOMPARE(f.rows(), (QStringList{"D|http://d/", "A|http://a/"}));
        }
    }
};

SKYVANE_TEST_MAIN(TestForm2)
#include "tst_Form2.moc"
