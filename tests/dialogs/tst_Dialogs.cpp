#include "PreparedMessageBoxes.h"
#include "TestMain.h"
#include "core/ShippedFiles.h"
#include "platform/QtCommonDialogs.h"
#include "windows/StartPageDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    // Apply with each option; "@/" stands for the program directory.
    void apply()
    {
        const QString help = QStringLiteral("The Skyvane Intro-Help file Is Missing, Select Something Else.");
        const QString blank =
            QStringLiteral("The Skyvane DefPage.htm file Is Missing, Select Something Else.");
        const QString none = QStringLiteral("You Did Not Select One Of The Options.");
        const QString confirm = QStringLiteral(
            "Your New Default Is Shown In The TextBox.\nIf It Is Correct, Exit When Ready, Else Try Again.");
        for (const auto& [option, typed, startPage, text1, shipped, shown] : std::initializer_list<
                 std::tuple<const char*, const char*, const char*, const char*, bool, QStringList>>{
                 {"", "t", "http://old/", "http://old/", true, {none, confirm}},
                 {"helpPageOption", "t", "@/SkyvaneHelp.htm", "@/SkyvaneHelp.htm", true, {confirm}},
                 {"helpPageOption", "t", "http://old/", "t", false, {help}},
                 {"blankPageOption", "t", "@/DefPage.htm", "@/DefPage.htm", true, {confirm}},
                 {"blankPageOption", "t", "http://old/", "t", false, {blank}},
                 {"typedAddressOption", "t", "t", "t", true, {confirm}},
                 {"typedAddressOption", "", "", "", true, {confirm}},
                 {"shownPageOption", "t", "http://sel/", "http://sel/", true, {confirm}},
             }) {
            QTemporaryDir dir;
            AppState state;
            state.AppDir = dir.path();
            state.Settings.StartPage = QStringLiteral("http://old/");
            if (shipped) {
                ShippedFiles::unpackIntoBareDirectory(dir.path());
            }
            PreparedMessageBoxes messages;
            QPointer<StartPageDialog> form =
                new StartPageDialog(state, messages, [] { return QStringLiteral("http://sel/"); });
            form->loadWindow();
            const auto box = form->findChild<QLineEdit*>(QStringLiteral("addressBox"));
            const auto here = [&dir](const char* s) {
                return QString::fromLatin1(s).replace(
                    QLatin1String("@/"), QDir::toNativeSeparators(dir.path()) + QDir::separator());
            };
            box->setText(QLatin1String(typed));
            if (*option != '\0') {
                form->findChild<QRadioButton*>(QLatin1String(option))->setChecked(true);
            }
            QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("applyButton")), Qt::LeftButton);
            QCOMPARE(state.Settings.StartPage, here(startPage));
            QCOMPARE(box->text(), here(text1));
            QCOMPARE(messages.shown, shown);
            QVERIFY(!form.isNull()); // Apply does not close
            delete form.data();
        }
    }

    // App Fonts offers only fonts that write Latin text, at the sizes the strip is made for.
    void fontChoice()
    {
        QtCommonDialogs dialogs;
        QStringList families;
        QTimer::singleShot(0, [&families] {
            auto* d = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
            QVERIFY(d != nullptr);
            for (const QListView* list : d->findChildren<QListView*>()) {
                for (int row = 0; row < list->model()->rowCount(); ++row) {
                    families << list->model()->index(row, 0).data().toString();
                }
            }
            d->setCurrentFont(QFont(QStringLiteral("DejaVu Sans"), 48));
            QMetaObject::invokeMethod(d, "accept");
        });
        const CommonDialogs::Font chosen = dialogs.ShowFont({QStringLiteral("DejaVu Sans"), false, 9});
        const auto listed = [&families](const QString& name) {
            return std::any_of(families.begin(), families.end(), [&name](const QString& f) {
                return f == name || f.startsWith(name + QStringLiteral(" ["));
            });
        };
        QVERIFY(listed(QStringLiteral("DejaVu Sans")) && !listed(QStringLiteral("D050000L")) &&
                !listed(QStringLiteral("Standard Symbols PS")));
        QCOMPARE(chosen.size, 12.25f);
    }

    // Save As suggests a name of the type chosen and starts where the last page was saved (only a save
    // that went through counts).
    void saveAsSuggestion()
    {
        QTemporaryDir downloads, elsewhere;
        QtCommonDialogs dialogs;
        QStringList seen;
        const auto answer = [&](const std::function<void(QFileDialog*)>& act) {
            QTimer::singleShot(0, [&seen, act] {
                auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(d != nullptr);
                seen << QFileInfo(d->selectedFiles().value(0)).fileName() << d->directory().absolutePath();
                act(d);
            });
        };
        answer([&](QFileDialog* d) {
            d->selectNameFilter(d->nameFilters().at(1)); // a web archive
            emit d->filterSelected(d->nameFilters().at(1));
            seen << QFileInfo(d->selectedFiles().value(0)).fileName();
            d->selectFile(elsewhere.filePath(QStringLiteral("radar.mhtml")));
            QMetaObject::invokeMethod(d, "accept"); // as the Save button does
        });
        QCOMPARE(dialogs.ShowSave(downloads.filePath(QStringLiteral("SiteC.mhtml"))),
                 QDir::toNativeSeparators(elsewhere.filePath(QStringLiteral("radar.mhtml"))));
        dialogs.saved(QStringLiteral("/proc/radar.html")); // a folder of the kernel's is never remembered
        dialogs.saved(elsewhere.filePath(QStringLiteral("radar.mhtml")));
        answer([](QFileDialog* d) { d->reject(); });
        QCOMPARE(dialogs.ShowSave(downloads.filePath(QStringLiteral("SiteD.mhtml"))), QString());
        QCOMPARE(seen,
                 (QStringList{"SiteC.html", QFileInfo(downloads.path()).absoluteFilePath(), "SiteC.mhtml",
                              "SiteD.html", QFileInfo(elsewhere.path()).absoluteFilePath()}));
    }
};

SKYVANE_TEST_MAIN(TestDialogs)
#include "tst_Dialogs.moc"
