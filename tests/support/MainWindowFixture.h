#pragma once

#include "FakeBrowserControl.h"
#include "PreparedDialogs.h"
#include "PreparedMessageBoxes.h"
#include "RecordingSoundPlayer.h"
#include "ScriptedProbe.h"
#include "core/PreferencesStore.h"
#include "core/Watch.h"
#include "platform/FrameRecorder.h"
#include "platform/SystemClock.h"
#include "windows/MainWindow.h"

#include <QTemporaryDir>

#include <cmath>
#include <memory>

// The main window's parts around a browser and a sound player: quiet stand-ins for the connection, the
// message boxes and the dialogs, and no frames kept.
inline MainWindowParts quietParts(std::unique_ptr<BrowserControl> browser, std::unique_ptr<SoundPlayer> sound)
{
    return {std::move(browser),
            std::move(sound),
            std::make_unique<ScriptedProbe>(),
            std::make_unique<PreparedMessageBoxes>(),
            std::make_unique<PreparedDialogs>(),
            nullptr,
            nullptr,
            nullptr};
}

// A main window over a fake browser, a recording sound player and quiet stand-ins for the rest, in a
// temporary program directory.
struct MainWindowFixture
{
    QTemporaryDir dir;
    AppState state;
    FakeBrowserControl* browser = nullptr;
    ScriptedProbe* probe = nullptr;
    PreparedMessageBoxes* messages = nullptr;
    PreparedDialogs* dialogs = nullptr;
    Watch watch{&SystemClock::monotonicMs, &state.Prefs}; // the preferences are not saved
    std::unique_ptr<PreferencesStore> preferences;        // Skyvane.conf of the folder
    std::unique_ptr<MainWindow> form;

    MainWindowFixture()
    {
        state.AppDir = dir.path();
        state.Settings.MainWidth = 7095;
        state.Settings.MainHeight = 5445;
        state.Settings.StartPage = QStringLiteral("/prog/SkyvaneHelp.htm");
        state.Settings.FontName = QStringLiteral("DejaVu Sans");
        state.Settings.FontSize = 11;
        state.Settings.FontBold = true;
    }

    // frames: what keeps the pictures; none: no frames kept.
    MainWindow& create(std::unique_ptr<FrameRecorder> frames = nullptr)
    {
        auto fake = std::make_unique<FakeBrowserControl>();
        browser = fake.get();
        MainWindowParts parts =
            quietParts(std::move(fake), std::make_unique<RecordingSoundPlayer>(browser->calls));
        probe = static_cast<ScriptedProbe*>(parts.probe.get());
        messages = static_cast<PreparedMessageBoxes*>(parts.messages.get());
        dialogs = static_cast<PreparedDialogs*>(parts.dialogs.get());
        parts.frames = std::move(frames);
        preferences = std::make_unique<PreferencesStore>(state.preferencesPath());
        form = std::make_unique<MainWindow>(state, watch, *preferences, std::move(parts));
        return *form;
    }

    template <typename T> T* child(const char* name) const
    {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        return found != nullptr ? found : watch.findChild<T*>(QString::fromLatin1(name));
    }
};

inline bool nearTwips(float a, float b)
{
    return std::abs(a - b) <= 15.0f; // one pixel at 96 dpi
}
