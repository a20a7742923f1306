#pragma once

#include "FakeBrowserControl.h"
#include "PreparedDialogs.h"
#include "PreparedMessageBoxes.h"
#include "RecordingSoundPlayer.h"
#include "ScriptedProbe.h"
#include "windows/Form1.h"

#include <QTemporaryDir>

#include <cmath>
#include <memory>

// A main window over a fake browser, a recording sound player and quiet stand-ins for the rest, in a
// temporary program directory.
struct Form1Fixture
{
    QTemporaryDir dir;
    AppState state;
    FakeBrowserControl* browser = nullptr;
    ScriptedProbe* probe = nullptr;
    PreparedMessageBoxes* messages = nullptr;
    PreparedDialogs* dialogs = nullptr;
    std::unique_ptr<Form1> form;

    Form1Fixture()
    {
        state.AppDir = dir.path();
        state.Settings.MainWidth = 7095;
        state.Settings.MainHeight = 5445;
        state.Settings.StartPage = QStringLiteral("/prog/SkyvaneHelp.htm");
        state.Settings.FontName = QStringLiteral("DejaVu Sans");
        state.Settings.FontSize = 11;
        state.Settings.FontBold = true;
    }

    Form1& create()
    {
        auto fake = std::make_unique<FakeBrowserControl>();
        auto scripted = std::make_unique<ScriptedProbe>();
        auto prepared = std::make_unique<PreparedMessageBoxes>();
        auto common = std::make_unique<PreparedDialogs>();
        browser = fake.get(), probe = scripted.get(), messages = prepared.get(), dialogs = common.get();
        auto sound = std::make_unique<RecordingSoundPlayer>(browser->calls);
        form =
            std::make_unique<Form1>(state, Form1Parts{std::move(fake), std::move(sound), std::move(scripted),
                                                      std::move(prepared), std::move(common), nullptr});
        return *form;
    }

    template <typename T> T* child(const char* name) const
    {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
};

inline bool nearTwips(float a, float b)
{
    return std::abs(a - b) <= 15.0f; // one pixel at 96 dpi
}
