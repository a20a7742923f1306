#include "core/BrowsingSession.h"

#include "core/BrowserEventRules.h"
#include "core/CommonDialogs.h"
#include "core/FileLock.h"
#include "core/FileMissing.h"
#include "core/MenuRules.h"
#include "core/PageNavigator.h"
#include "core/PictureAge.h"
#include "core/ProgramDirectory.h"
#include "core/ProgramNames.h"
#include "core/RefreshSound.h"
#include "core/SettingsMerge.h"
#include "core/ShownTime.h"
#include "core/Watch.h"

#include <QFileInfo>

#include <memory>
#include <utility>

BrowsingSession::BrowsingSession(AppState& state, Parts parts, QObject* parent)
    : QObject(parent), m_state(state), m_parts(parts)
{
    m_connection = std::make_unique<ConnectionMonitor>(
        m_state.Settings, *m_parts.probe, *m_parts.messages,
        ConnectionMonitor::Indicator{[this](ConnectionMonitor::Picture p) { emit indicatorChanged(p); },
                                     [this] { emit connectionPollStopped(); }});
    connect(m_parts.watch, &Watch::refreshDue, this, &BrowsingSession::refreshStep);
    connect(m_parts.watch, &Watch::minutesCounted, this, &BrowsingSession::tellOldPicture);
    // Waking, the picture is made new before anybody looks: the start page put off while asleep, or
    // the page on screen refreshed at once.
    connect(m_parts.watch, &Watch::asleepChanged, this, [this](bool asleep) {
        if (asleep) {
            emit statusMessage(asleepWords());
            return;
        }
        if (std::exchange(m_startPutOff, false)) {
            startPage();
        } else {
            refreshNow();
        }
    });
}

BrowsingSession::~BrowsingSession() = default;

QStringList BrowsingSession::siteNames()
{
    const SiteListFile file(m_state.siteListPath());
    m_selectorStamp = file.stamp();
    QStringList names;
    for (const SiteRecord& r : file.readAll()) {
        names.append(r.Name);
    }
    return names;
}

void BrowsingSession::siteListSaved()
{
    m_selectorStamp = SiteListFile(m_state.siteListPath()).stamp();
}

void BrowsingSession::chooseSite(int index, const QString& typed)
{
    if (index < 0) {
        emit selectorTextChanged(typed);
        return;
    }
    const SiteListFile file(m_state.siteListPath());
    if (file.stamp() != m_selectorStamp) {
        // Another window changed the list since the selector was filled: the entry picked may now
        // stand for another site. Show the list as it is now and let the user choose again.
        emit selectorEntriesChanged(siteNames(), typed);
        emit statusMessage(tr("The site list was changed by another Skyvane window. Choose the site again."));
        return;
    }
    const std::optional<SiteRecord> site = file.readRecord(index + 1);
    if (!site) {
        emit selectorTextChanged(typed);
        return;
    }
    emit selectorTextChanged(site->URL);
    m_chimeDue = false;
    m_parts.watch->resetMinuteCount();
    m_parts.browser->navigate(site->URL);
}

void BrowsingSession::go(const QString& address)
{
    m_chimeDue = false; // a refresh that brought no picture does not chime at another page
    m_parts.watch->resetMinuteCount();
    m_parts.browser->navigate(address);
}

void BrowsingSession::refreshNow()
{
    if (m_parts.browser->currentAddress().isEmpty()) {
        return;
    }
    refreshChime();
    m_parts.watch->resetMinuteCount();
    m_parts.browser->refreshAtLevel(PageNavigator::RefreshCompletely);
}

void BrowsingSession::refreshForChange()
{
    if (m_parts.browser->currentAddress().isEmpty()) {
        return;
    }
    m_parts.watch->resetMinuteCount();
    refreshStep();
}

QString BrowsingSession::startAddress(const AppState& state)
{
    return state.StartAddress.isEmpty() ? state.Settings.StartPage : state.StartAddress;
}

void BrowsingSession::startPage()
{
    if (m_parts.watch->asleep()) {
        m_startPutOff = !m_state.StartPageOpened;
        emit selectorTextChanged(startAddress(m_state)); // what is shown when it wakes
        emit statusMessage(asleepWords());
        return;
    }
    if (!m_state.StartPageOpened) {
        m_parts.browser->navigateCovered(startAddress(m_state));
    }
}

QString BrowsingSession::asleepWords()
{
    return tr("Asleep outside the awake hours, not refreshing. A key or the pointer wakes it.");
}

void BrowsingSession::playRefreshSound()
{
    if (m_parts.sound != nullptr) {
        RefreshSound::playRefreshSound(*m_parts.sound, m_state.AppDir);
    }
}

void BrowsingSession::refreshChime()
{
    if (m_chimeOnlyNew) {
        m_chimeDue = true;
    } else {
        playRefreshSound();
    }
}

QString BrowsingSession::pictureCompared(bool newPicture, const QDateTime& frameUtc)
{
    if (m_chimeDue && newPicture) {
        playRefreshSound();
    }
    m_chimeDue = false;
    const QString time = ShownTime::of(frameUtc);
    return newPicture ? tr("New picture at %1").arg(time) : tr("No change since %1").arg(time);
}

void BrowsingSession::refreshStep()
{
    // The redial check and the sound never stop a refresh.
    if (m_state.Settings.INetDisabled == 0) {
        m_connection->redialCheck();
    }
    refreshChime();
    if (!m_parts.browser->currentAddress().isEmpty()) {
        m_parts.browser->refresh();
    }
}

void BrowsingSession::tellOldPicture()
{
    // No good load for more than two intervals: the status bar says how old the picture is.
    const qint64 age = m_parts.browser->pictureAgeMs();
    const int interval = m_parts.watch->interval();
    if (PictureAge::level(age, interval, m_parts.browser->refreshFailed()) == PictureAge::Level::Old) {
        const QString time = m_parts.browser->pictureTime().toString(QStringLiteral("HH:mm"));
        emit statusMessage(tr("Picture from %1").arg(PictureAge::text(time, age, PictureAge::Level::Old)));
    }
}

void BrowsingSession::titleChanged(const QString& title)
{
    m_state.PageTitle = title;
    emit captionChanged(BrowserEventRules::captionFor(title));
}

void BrowsingSession::pageShown()
{
    emit selectorTextChanged(BrowserEventRules::selectorTextFor(m_parts.browser->currentAddress()));
    m_parts.watch->resetMinuteCount();
}

void BrowsingSession::openFile()
{
    if (m_parts.dialogs == nullptr) {
        return;
    }
    const QString fileName = m_parts.dialogs->askOpenPath(m_state.LastOpenFolder);
    if (fileName.isEmpty()) {
        return;
    }
    m_state.LastOpenFolder = MenuRules::openFolder(fileName, QFileInfo(fileName).fileName());
    m_parts.browser->navigate(fileName);
}

void BrowsingSession::showHelp()
{
    const QString path = ProgramDirectory::file(m_state.AppDir, ProgramNames::HelpPage);
    if (FileMissing(path) != 0) {
        m_parts.messages->show(QStringLiteral("The Skyvane Intro-Help file Is Missing."),
                               MessageBoxes::Buttons::Ok);
        return;
    }
    m_parts.browser->navigate(path);
}

void BrowsingSession::chooseFont(bool withDialog)
{
    LiveSettings& s = m_state.Settings;
    if (withDialog && m_parts.dialogs != nullptr) {
        const CommonDialogs::Font start = MenuRules::dialogStart({s.FontName, s.FontBold, s.FontSize});
        const CommonDialogs::Font chosen = MenuRules::afterDialog(m_parts.dialogs->askFont(start));
        s.FontName = chosen.name;
        s.FontBold = chosen.bold;
        s.FontSize = chosen.size;
    }
    emit fontChanged();
}

void BrowsingSession::saveSettings(float left, float top, float width, float height) const
{
    const SettingsFile file(m_state.settingsPath());
    const FileLock lock(m_state.settingsPath()); // the other window's change is read, not lost
    file.save(SettingsMerge::merge(m_state.LoadedRecord,
                                   m_state.SettingsAtStart.toRecord(left, top, width, height),
                                   m_state.Settings.toRecord(left, top, width, height), file.load()));
}
