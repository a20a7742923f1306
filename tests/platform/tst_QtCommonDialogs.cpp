#include "TestMain.h"
#include "platform/QtCommonDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFontDialog>
#include <QListView>
#include <QTimer>

// The desktop's own dialogs as the program sets them up.
class TestQtCommonDialogs : public QObject
{
    Q_OBJECT
private slots:
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
        const CommonDialogs::Font chosen = dialogs.askFont({QStringLiteral("DejaVu Sans"), false, 9});
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
        QCOMPARE(dialogs.askSavePath(downloads.filePath(QStringLiteral("SiteC.mhtml"))),
                 QDir::toNativeSeparators(elsewhere.filePath(QStringLiteral("radar.mhtml"))));
        dialogs.saved(QStringLiteral("/proc/radar.html")); // a folder of the kernel's is never remembered
        dialogs.saved(elsewhere.filePath(QStringLiteral("radar.mhtml")));
        answer([](QFileDialog* d) { d->reject(); });
        QCOMPARE(dialogs.askSavePath(downloads.filePath(QStringLiteral("SiteD.mhtml"))), QString());
        QCOMPARE(seen,
                 (QStringList{"SiteC.html", QFileInfo(downloads.path()).absoluteFilePath(), "SiteC.mhtml",
                              "SiteD.html", QFileInfo(elsewhere.path()).absoluteFilePath()}));
    }
};

SKYVANE_TEST_MAIN(TestQtCommonDialogs)
#include "tst_QtCommonDialogs.moc"
