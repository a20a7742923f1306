// Site list figures with 10,000 sites: the main window's selector fill, the editor's open and save,
// and one site choice. Prints the median of several runs of each.
//
//   build/bench-bin/sitelist_bench [sites=10000] [runs=7]

#include "FakeBrowserControl.h"
#include "MainWindowFixture.h"
#include "TestMain.h"
#include "core/PreferencesStore.h"
#include "core/SiteListFile.h"
#include "core/Watch.h"
#include "platform/SystemClock.h"
#include "windows/MainWindow.h"
#include "windows/SiteListEditor.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>

#include <algorithm>
#include <cstdio>

namespace {

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.at(v.size() / 2);
}

std::unique_ptr<MainWindow> mainWindow(AppState& state, Watch& watch, PreferencesStore& preferences)
{
    return std::make_unique<MainWindow>(state, watch, preferences,
                                        quietParts(std::make_unique<FakeBrowserControl>(), nullptr));
}

double ms(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir runtimeDir;
    prepareHeadlessEnvironment(runtimeDir);
    QApplication app(argc, argv);
    const int sites = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    const int runs = argc > 2 ? QByteArray(argv[2]).toInt() : 7;

    QTemporaryDir dir;
    AppState state;
    state.AppDir = dir.path();
    state.Settings.MainWidth = 9000;
    state.Settings.MainHeight = 7000;
    state.Settings.EditorWidth = 9000;
    state.Settings.EditorHeight = 5000;
    state.Settings.FontName = QStringLiteral("DejaVu Sans");
    state.Settings.FontSize = 9;
    QList<SiteRecord> records;
    for (int i = 0; i < sites; ++i) {
        records.append({QStringLiteral("Radar site %1").arg(i),
                        QStringLiteral("https://radar%1.example/loop.html").arg(i)});
    }
    const SiteListFile file(dir.filePath(QStringLiteral("SiteList.dab")));
    file.writeAll(records);

    QList<double> fill, open, save, choice;
    PreferencesStore preferences(state.preferencesPath());
    for (int r = 0; r < runs; ++r) {
        Watch watch(&SystemClock::monotonicMs);
        std::unique_ptr<MainWindow> form = mainWindow(state, watch, preferences);
        QElapsedTimer t;
        t.start();
        form->loadWindow();
        fill.append(ms(t));

        auto* combo = form->findChild<QComboBox*>(QStringLiteral("siteSelector"));
        t.restart();
        emit combo->activated(sites / 2); // a pick from the list
        choice.append(ms(t));

        t.restart();
        auto editor =
            std::make_unique<SiteListEditor>(state, [] { return QStringLiteral("https://shown.example/"); });
        QObject::connect(editor.get(), &SiteListEditor::listSaved, combo, [combo](const QStringList& names) {
            combo->clear();
            combo->addItems(names);
        });
        editor->loadWindow();
        open.append(ms(t));

        editor->findChild<QPushButton*>(QStringLiteral("addButton"))->click();
        t.restart();
        editor->close();
        save.append(ms(t));
        file.writeAll(records); // the next run starts from the same list
    }
    // The preferences with 10,000 watch areas, as a start reads them (the first MaxAreas of them).
    QList<double> areas;
    {
        Preferences many;
        for (int i = 0; i < 10000; ++i) {
            many.areas.append({QStringLiteral("https://radar%1.example/").arg(i),
                               QRectF(1, 2, 300, 200),
                               {},
                               QStringLiteral("heavy")});
        }
        const PreferencesStore store(dir.filePath(QStringLiteral("Skyvane.conf")));
        store.save(many);
        for (int r = 0; r < runs; ++r) {
            QElapsedTimer t;
            t.start();
            store.load();
            areas.append(ms(t));
        }
    }
    std::printf("measure,median_ms,goal_ms\n");
    std::printf("areas_load_10000,%.2f,200\n", median(areas));
    std::printf("selector_fill,%.2f,50\n", median(fill));
    std::printf("editor_open,%.2f,150\n", median(open));
    std::printf("editor_save,%.2f,50\n", median(save));
    std::printf("site_choice,%.3f,2\n", median(choice));
    std::printf("# %d sites, median of %d runs\n", sites, runs);
    return 0;
}
