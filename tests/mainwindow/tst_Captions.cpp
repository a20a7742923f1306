#include "MainWindowFixture.h"
#include "TestMain.h"
#include "app/Startup.h"
#include "core/StartupCorrections.h"
#include "windows/SiteListEditor.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>

namespace {

// Where a control's caption is cut at its font, a description of it; empty when it reads whole.
QString cutCaption(const QWidget* w)
{
    const QString where = w->window()->objectName() + QLatin1Char('.') + w->objectName();
    if (const auto* b = qobject_cast<const QPushButton*>(w); b && !b->text().isEmpty()) {
        QStyleOptionButton option;
        option.initFrom(b);
        option.text = b->text();
        const QRect room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b);
        const int needed = b->fontMetrics().horizontalAdvance(b->text());
        return needed <= room.width() ? QString()
                                      : where + QStringLiteral(": %1 > %2").arg(needed).arg(room.width());
    }
    if (const auto* b = qobject_cast<const QAbstractButton*>(w); b && !b->text().isEmpty()) {
        return b->sizeHint().width() <= b->width() ? QString() : where;
    }
    if (const auto* l = qobject_cast<const QLabel*>(w); l && !l->text().isEmpty()) {
        const bool fits = l->wordWrap() ? l->heightForWidth(l->width()) <= l->height()
                                        : l->sizeHint().width() <= l->width();
        return fits ? QString() : where + QStringLiteral(" \"%1\"").arg(l->text());
    }
    return {};
}

} // namespace

// Every caption of every window reads whole with the fonts this system really has.
class TestCaptions : public QObject
{
    Q_OBJECT
private slots:
    void wholeAtTheChosenFont()
    {
        // An empty name: what a fresh start chooses; 12.25 points: the largest the font dialog leaves.
        for (const auto& [fontName, bold, size] :
             {std::tuple{"", false, 0.0f}, {"DejaVu Sans", true, 12.0f}, {"DejaVu Sans", true, 12.25f}}) {
            MainWindowFixture f;
            f.state.Settings.FontName = QLatin1String(fontName);
            f.state.Settings.FontBold = bold;
            f.state.Settings.FontSize = size;
            StartupCorrections::correctFont(f.state.Settings, Startup::platformEnvironment(f.state.AppDir));
            MainWindow& form = f.create();
            form.loadWindow();
            // The count boxes at their widest value.
            f.child<QLabel>("intervalLabel")->setText(QStringLiteral("180"));
            f.child<QLabel>("minuteCountLabel")->setText(QStringLiteral("180"));
            f.child<QAction>("aboutItem")->trigger();
            f.child<QAction>("startPageItem")->trigger();
            SiteListEditor editor(f.state, [] { return QString(); });
            editor.loadWindow();
            QStringList cut;
            for (const QWidget* window : {static_cast<QWidget*>(&form), form.aboutWindow(),
                                          form.startPageDialog(), static_cast<QWidget*>(&editor)}) {
                for (const QWidget* w : window->findChildren<QWidget*>()) {
                    cut << cutCaption(w);
                }
            }
            cut.removeAll(QString());
            QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
        }
    }
};

SKYVANE_TEST_MAIN(TestCaptions)
#include "tst_Captions.moc"
