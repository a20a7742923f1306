#include "PreparedMessageBoxes.h"
#include "TestMain.h"
#include "core/ShippedFiles.h"
#include "windows/StartPageDialog.h"

#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

class TestStartPageDialog : public QObject
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
};

SKYVANE_TEST_MAIN(TestStartPageDialog)
#include "tst_StartPageDialog.moc"
