#include "MainWindowFixture.h"
#include "TestFiles.h"
#include "TestMain.h"
#include "windows/SiteListEditor.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

namespace {

const QByteArray kABCD =
    TestFiles::sites({"A", "http://a/", "B", "http://b/", "C", "http://c/", "D", "http://d/"});

// The editor over a site list file, showing http://127.0.0.1/shown.
struct EditorFixture
{
    QTemporaryDir dir;
    AppState state;
    PreparedMessageBoxes messages;
    QList<QStringList> saved; // the names of each list the editor said it saved
    std::unique_ptr<SiteListEditor> editor;

    explicit EditorFixture(const QByteArray& file)
    {
        state.AppDir = dir.path();
        state.Settings.EditorWidth = 6945;
        state.Settings.EditorHeight = 3525;
        state.Settings.FontName = QStringLiteral("DejaVu Sans");
        state.Settings.FontSize = 10;
        TestFiles::write(path(), file);
        editor = std::make_unique<SiteListEditor>(
            state, [] { return QStringLiteral("http://127.0.0.1/shown"); }, &messages);
        QObject::connect(editor.get(), &SiteListEditor::listSaved, editor.get(),
                         [this](const QStringList& names) { saved << names; });
        editor->loadWindow();
    }

    QString path() const { return state.siteListPath(); }
    QTreeView* list() const { return editor->findChild<QTreeView*>(QStringLiteral("siteList")); }
    QModelIndex at(int position) const { return list()->model()->index(position - 1, 0); }
    void select(int position) { list()->setCurrentIndex(at(position)); }
    void trigger(const char* action) { editor->findChild<QAction*>(QString::fromLatin1(action))->trigger(); }
    void click(const char* button) { editor->findChild<QPushButton*>(QString::fromLatin1(button))->click(); }

    QStringList rows() const
    {
        QStringList out;
        for (int i = 1; i <= list()->model()->rowCount(); ++i) {
            out << at(i).data().toString() + QLatin1Char('|') + at(i).siblingAtColumn(1).data().toString();
        }
        return out;
    }
};

} // namespace

class TestSiteListEditor : public QObject
{
    Q_OBJECT
private slots:
    void addAndDelete()
    {
        EditorFixture f(TestFiles::sites({"  Radar", "  http://r/", "Sat", ""}));
        QCOMPARE(f.rows(), (QStringList{"Radar|http://r/", "Sat|"}));
        QCOMPARE(f.list()->font().family(), QStringLiteral("DejaVu Sans"));
        f.click("deleteButton"); // none selected: nothing
        QVERIFY(!f.editor->listChanged());
        f.state.PageTitle = QString(100, QLatin1Char('t'));
        f.click("addButton");
        f.select(1);
        f.click("deleteButton");
        f.select(1);
        f.trigger("deleteItem");
        QCOMPARE(f.rows(), (QStringList{QString(80, QLatin1Char('t')) + "|http://127.0.0.1/shown"}));
        QVERIFY(f.editor->listChanged());
        f.editor->close();
        QCOMPARE(TestFiles::read(f.path()),
                 TestFiles::sites({QString(80, QLatin1Char('t')), "http://127.0.0.1/shown"}));
    }

    // A name typed in place that the list cannot hold as typed is kept as it can be, and told.
    void aNameTheListCannotHoldIsTold()
    {
        EditorFixture f(kABCD);
        f.editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.editor.get()));
        for (const auto& [typed, kept] :
             {std::pair{QStringLiteral("Ραντάρ Αθήνα"), QStringLiteral("?????? ?????")},
              {QStringLiteral("Café radar"), QString()}}) {
            f.messages.shown.clear();
            f.list()->edit(f.at(1));
            auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            QVERIFY(line != nullptr);
            line->setText(typed);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTRY_COMPARE(f.at(1).data().toString(), kept.isEmpty() ? typed : kept);
            QTRY_COMPARE(f.messages.shown.size(), kept.isEmpty() ? 0 : 1);
            QVERIFY(kept.isEmpty() || f.messages.shown.first().endsWith(kept));
        }
    }

    // Each move item reaches its move, keeps the moved row selected, and the selector on closing.
    void movesThroughTheMenu()
    {
        for (const auto& [action, order] : {std::pair{"moveUpItem", "ACBD"},
                                            {"moveDownItem", "ABDC"},
                                            {"moveToTopItem", "CABD"},
                                            {"moveToBottomItem", "ABDC"}}) {
            EditorFixture f(kABCD);
            f.select(3);
            f.trigger(action);
            QCOMPARE(f.list()->currentIndex().data().toString(), QStringLiteral("C"));
            QCOMPARE(f.list()->selectionModel()->selectedRows().size(), 1);
            f.editor->close();
            QCOMPARE(f.saved.value(0).join(QString()), QLatin1String(order));
        }
    }

    void unchangedCloseLeavesTheSelector()
    {
        EditorFixture f(kABCD);
        f.editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.editor.get()));
        f.editor->resize(50, 50); // below the minimum: springs back (a kept size is seen end to end)
        QTRY_VERIFY(nearTwips(f.editor->outerTwips().width, 6945));
        f.editor->close();
        QVERIFY(f.saved.isEmpty());
    }

    // Another window saved the list while this editor had it open with changes of its own: declined,
    // the editor stays open on that list (the answers themselves are the store's).
    void listChangedByAnotherWindow()
    {
        using A = MessageBoxes::Answer;
        for (const auto& [answer, staysOpen] : {std::pair{A::No, true}, {A::Cancel, false}}) {
            EditorFixture f(kABCD);
            f.editor->show();
            QVERIFY(QTest::qWaitForWindowExposed(f.editor.get()));
            f.select(4);
            f.trigger("moveToTopItem");
            const QByteArray other = TestFiles::sites({"D", "http://d/", "A", "http://a/"});
            TestFiles::write(f.path(), other);
            QFile(f.path()).setFileTime(QDateTime::currentDateTime().addSecs(5),
                                        QFileDevice::FileModificationTime);
            f.messages.answers = {answer};
            f.editor->close();
            QCOMPARE(f.messages.shown.size(), 1);
            QCOMPARE(TestFiles::read(f.path()), other);
            QVERIFY(f.saved.isEmpty());
            QCOMPARE(f.editor->isVisible(), staysOpen);
            QVERIFY(!staysOpen || f.rows() == (QStringList{"D|http://d/", "A|http://a/"}));
        }
    }
};

SKYVANE_TEST_MAIN(TestSiteListEditor)
#include "tst_SiteListEditor.moc"
