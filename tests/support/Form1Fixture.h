#pragma once

#include "FakeBrowserControl.h"
#include "PreparedDialogs.h"
#include "PreparedMessageBoxes.h"
#include "RecordingSoundPlayer.h"
#include "ScriptedProbe.h"
#include "core/SiteListFile.h"
#include "windows/Form1.h"

#include <QTemporaryDir>

#include <cmath>
#include <memory>

// Fills in the collaborators a test does not care about with quiet stand-ins.
inline void completeParts(Form1Parts& parts)
{
    if (!parts.probe) {
        parts.probe = std::make_unique<ScriptedProbe>();
    }
    if (!parts.messages) {
        parts.messages = std::make_unique<PreparedMessageBoxes>();
    }
    if (!parts.dialogs) {
        parts.dialogs = std::make_unique<PreparedDialogs>();
    }
}

// A main window over a fake browser and a recording sound player, in a temporary program directory.
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
        Form1Parts parts;
        auto fake = std::make_unique<FakeBrowserControl>();
        browser = fake.get();
        parts.browser = std::move(fake);
        parts.sound = std::make_unique<RecordingSoundPlayer>(browser->calls);
        completeParts(parts);
        probe = static_cast<ScriptedProbe*>(parts.probe.get());
        messages = static_cast<PreparedMessageBoxes*>(parts.messages.get());
        dialogs = static_cast<PreparedDialogs*>(parts.dialogs.get());
        form = std::make_unique<Form1>(state, std::move(parts));
        return *form;
    }

    QString siteListPath() const { return dir.filePath(QString::fromLatin1(SiteListFile::FileName)); }

    template <typename T> T* child(const char* name) const
    {
        return form->findChild<T*>(QString::fromLatin1(name));
    }

    // A child's geometry in twips.
    QList<float> twipsOf(const char* name) const
    {
        const QRect g = child<QWidget>(name)->geometry();
        const Twips& t = form->twips();
        return {t.fromPixelsX(g.x()), t.fromPixelsY(g.y()), t.fromPixelsX(g.width()),
                t.fromPixelsY(g.height())};
    }
};

inline bool nearTwips(float a, float b)
{
    return std::abs(a - b) <= 15.0f; // one pixel at 96 dpi
}
