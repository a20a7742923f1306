#include "MainWindowFixture.h"
#include "TestFiles.h"
#include "TestMain.h"
#include "windows/SiteListEditor.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

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
    QTreeWidget* list() const { return editor->findChild<QTreeWidget*>(QStringLiteral("siteList")); }
    void select(int position) { list()->setCurrentItem(list()->topLevelItem(position - 1)); }
    void trigger(const char* action) { editor->findChild<QAction*>(QString::fromLatin1(action))->trigger(); }
    void click(const char* button) { editor->findChild<QPushButton*>(QString::fromLatin1(button))->click(); }

    QStringList rows() const
    {
        QStringList out;
        for (int i = 0; i < list()->topLevelItemCount(); ++i) {
            out << list()->topLevelItem(i)->text(0) + QLatin1Char('|') + list()->topLevelItem(i)->text(1);
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
        QVERIFY(f.list()->selectedItems().isEmpty());
        f.click("deleteButton"); // none selected: nothing
        QCOMPARE(f.editor->listChanged(), qint16(0));
        f.state.PageTitle = QString(100, QLatin1Char('t'));
        f.click("addButton");
        f.select(1);
        f.click("deleteButton");
        f.select(1);
        f.trigger("deleteItem");
        QCOMPARE(f.rows(), (QStringList{QString(80, QLatin1Char('t')) + "|http://127.0.0.1/shown"}));
        QCOMPARE(f.editor->listChanged(), qint16(1));
        f.select(1);
        f.click("deleteButton");
        f.editor->close();
        QVERIFY(!QFile::exists(f.path())); // an emptied list deletes the file
    }

    // A name typed in place that the list cannot hold as typed is kept as it can be, and told.
    void aNameTheListCannotHoldIsTold()
    {
        EditorFixture f(kABCD);
        f.editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.editor.get()));
        const QString longName = QString(150, QLatin1Char('n'));
        for (const auto& [typed, kept] :
             {std::pair{QStringLiteral("Ραντάρ Αθήνα"), QStringLiteral("?????? ?????")},
              {longName, longName.left(140)},
              {QStringLiteral("Café radar"), QString()}}) {
            f.messages.shown.clear();
            f.list()->editItem(f.list()->topLevelItem(0), 0);
            auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            QVERIFY(line != nullptr);
            line->setText(typed);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTRY_COMPARE(f.list()->topLevelItem(0)->text(0), kept.isEmpty() ? typed : kept);
            QTRY_COMPARE(f.messages.shown.size(), kept.isEmpty() ? 0 : 1);
            QVERIFY(kept.isEmpty() || f.messages.shown.first().endsWith(kept));
        }
    }

    // Each move item reaches the list, keeps the moved row selected, and the file and the selector on
    // closing.
    void movesThroughTheMenu()
    {
        for (const auto& [action, order] : {std::pair{"moveUpItem", "ACBD"},
                                            {"moveDownItem", "ABDC"},
                                            {"moveToTopItem", "CABD"},
                                            {"moveToBottomItem", "ABDC"}}) {
            EditorFixture f(kABCD);
            f.select(3);
            f.trigger(action);
            QCOMPARE(f.list()->currentItem()->text(0), QStringLiteral("C"));
            f.editor->close();
            QStringList expected;
            for (const QChar c : QLatin1String(order)) {
                expected << c << QStringLiteral("http://%1/").arg(c.toLower());
            }
            QCOMPARE(TestFiles::read(f.path()), TestFiles::sites(expected));
            QCOMPARE(f.saved.value(0).join(QString()), QLatin1String(order));
        }
    }

    void unchangedCloseWritesNothing()
    {
        EditorFixture f(kABCD);
        QFile(f.path()).setFileTime(QDateTime::currentDateTime().addDays(-2),
                                    QFileDevice::FileModificationTime);
        const QDateTime before = QFileInfo(f.path()).lastModified();
        f.editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.editor.get()));
        f.editor->resize(50, 50); // below the minimum: springs back (a kept size is seen end to end)
        QTRY_VERIFY(nearTwips(f.editor->outerTwips().width, 6945));
        f.editor->close();
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
            QCOMPARE(f.messages.shown,
                     QStringList{
                         "The site list was changed by another Skyvane window. Replace it with this list?"});
            QCOMPARE(TestFiles::read(f.path()),
                     replaced ? other + TestFiles::sites({"B", "http://b/", "C", "http://c/"}) : other);
            QCOMPARE(f.editor->isVisible(), staysOpen);
            QVERIFY(!staysOpen || f.rows() == (QStringList{"D|http://d/", "A|http://a/"}));
        }
    }
};

SKYVANE_TEST_MAIN(TestSiteListEditor)
#include "tst_SiteListEditor.moc"
