#include "Form1Fixture.h"
#include "PreparedMessageBoxes.h"
#include "TestFiles.h"
#include "TestMain.h"
#include "core/SiteListFile.h"
#include "windows/Form2.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTreeWidget>

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
    QList<QStringList> saved; // the names of each list the editor said it saved
    std::unique_ptr<Form2> editor;

    EditorFixture()
    {
        state.AppDir = dir.path();
        state.Settings.EditorWidth = 6945;
        state.Settings.EditorHeight = 3525;
        state.Settings.FontName = QStringLiteral("DejaVu Sans");
        state.Settings.FontSize = 10;
    }

    QString path() const { return dir.filePath(QStringLiteral("SiteList.dab")); }

    PreparedMessageBoxes messages;

    Form2& open()
    {
        editor = std::make_unique<Form2>(
            state, [this] { return location; }, &messages);
        QObject::connect(editor.get(), &Form2::listSaved, editor.get(),
                         [this](const QStringList& names) { saved << names; });
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
};

const QByteArray kABCD =
    record("A", "http://a/") + record("B", "http://b/") + record("C", "http://c/") + record("D", "http://d/");

} // namespace

class TestForm2 : public QObject
{
    Q_OBJECT
private slots:
    void addAndDelete()
    {
        EditorFixture f;
        TestFiles::write(f.path(), record("  Radar", "  http://r/") + record("Sat", ""));
        Form2& e = f.open();
        QCOMPARE(f.rows(), (QStringList{"Radar|http://r/", "Sat|"}));
        QCOMPARE(f.list()->font().family(), QStringLiteral("DejaVu Sans"));
        QVERIFY(f.list()->selectedItems().isEmpty());
        e.findChild<QPushButton*>(QStringLiteral("Command2"))->click(); // none selected: nothing
        QCOMPARE(e.listChanged(), qint16(0));
        f.state.PageTitle = QString(100, QLatin1Char('t'));
        e.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        f.select(1);
        e.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
        f.select(1);
        f.trigger("mnuDelete");
        QCOMPARE(f.rows(), (QStringList{QString(80, QLatin1Char('t')) + "|http://127.0.0.1/shown"}));
        QCOMPARE(e.listChanged(), qint16(1));
        f.select(1);
        e.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
        e.close();
        QVERIFY(!QFile::exists(f.path())); // an emptied list deletes the file
    }

    // Each move item reaches the list, keeps the moved row selected, and the file on closing.
    void movesThroughTheMenu()
    {
        for (const auto& [action, order] : {std::pair{"mnuMoveUp", "ACBD"},
                                            {"mnuMovedown", "ABDC"},
                                            {"mnuToTop", "CABD"},
                                            {"mnuToBot", "ABDC"}}) {
            EditorFixture f;
            TestFiles::write(f.path(), kABCD);
            Form2& e = f.open();
            f.select(3);
            f.trigger(action);
            QCOMPARE(f.list()->currentItem()->text(0), QStringLiteral("C"));
            e.close();
            QByteArray expected;
            for (const QChar c : QLatin1String(order)) {
                expected += record(QString(c), QStringLiteral("http://%1/").arg(c.toLower()));
            }
            QCOMPARE(TestFiles::read(f.path()), expected);
            QCOMPARE(f.saved.value(0).join(QString()),
                     QLatin1String(order)); // the selector gets the new list
        }
    }

    void unchangedCloseWritesNothing()
    {
        EditorFixture f;
        TestFiles::write(f.path(), kABCD);
        QFile(f.path()).setFileTime(QDateTime::currentDateTime().addDays(-2),
                                    QFileDevice::FileModificationTime);
        const QDateTime before = QFileInfo(f.path()).lastModified();
        Form2& e = f.open();
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        e.resize(50, 50); // below the minimum: springs back (a size kept across openings is seen end to end)
        QTRY_VERIFY(nearTwips(e.Width(), 6945));
        e.close();
        QCOMPARE(QFileInfo(f.path()).lastModified(), before);
        QVERIFY(f.saved.isEmpty()); // the selector is left alone
    }

    // Another window saved the list while this editor had it open with changes of its own.
    void listChangedByAnotherWindow()
    {
        using A = MessageBoxes::Answer;
        // The answer to "Replace it with this list?": whether this list is written, whether it stays open.
        for (const auto& [answer, replaced, staysOpen] :
             {std::tuple{A::Yes, true, false}, {A::No, false, true}, {A::Cancel, false, false}}) {
            EditorFixture f;
            TestFiles::write(f.path(), kABCD);
            Form2& e = f.open();
            e.show();
            QVERIFY(QTest::qWaitForWindowExposed(&e));
            f.select(4);
            f.trigger("mnuToTop");
            const QByteArray other = record("D", "http://d/") + record("A", "http://a/");
            TestFiles::write(f.path(), other);
            QFile(f.path()).setFileTime(QDateTime::currentDateTime().addSecs(5),
                                        QFileDevice::FileModificationTime);
            f.messages.answers = {answer};
            e.close();
            QCOMPARE(f.messages.shown,
                     QStringList{
                         "The site list was changed by another Skyvane window. Replace it with this list?"});
            QCOMPARE(TestFiles::read(f.path()),
                     replaced ? other + record("B", "http://b/") + record("C", "http://c/") : other);
            QCOMPARE(e.isVisible(), staysOpen);
            QVERIFY(!staysOpen || f.rows() == (QStringList{"D|http://d/", "A|http://a/"}));
        }
    }
};

SKYVANE_TEST_MAIN(TestForm2)
#include "tst_Form2.moc"
