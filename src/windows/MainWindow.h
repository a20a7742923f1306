#pragma once

#include "core/AppState.h"
#include "core/BrowsingSession.h"
#include "core/CommonDialogs.h"
#include "core/ConnectionMonitor.h"
#include "core/ConnectionProbe.h"
#include "core/MessageBoxes.h"
#include "core/Notifier.h"
#include "core/ProgramNames.h"
#include "core/SoundPlayer.h"
#include "core/Twips.h"
#include "platform/BrowserControl.h"
#include "platform/FrameRecorder.h"
#include "windows/MainWindowUi.h"
#include "windows/OuterGeometry.h"
#include "windows/UpDown.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QStatusBar>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>

class QAction;
class Announcer;
class AreaWatch;
class FrameKeeping;
class SiteFeed;
class SiteFollowing;
class Watch;
class PreferencesStore;

// What the main window works with, handed in by whoever creates it.
struct MainWindowParts
{
    std::unique_ptr<BrowserControl> browser;
    std::unique_ptr<SoundPlayer> sound;                // plays the refresh sound
    std::unique_ptr<ConnectionProbe> probe;            // the Internet connection state
    std::unique_ptr<MessageBoxes> messages;            // the program's message boxes
    std::unique_ptr<CommonDialogs> dialogs;            // open-file, font and save dialogs
    std::unique_ptr<FrameRecorder> frames;             // keeps the new pictures as frames; none: no Replay
    std::unique_ptr<SoundPlayer> alertSound = nullptr; // the storm alert's sound; none: silent
    std::unique_ptr<Notifier> notifier = nullptr;      // desktop notifications; none: not sent
};

// The main window: the browser and, above it, one strip of small controls.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr QLatin1StringView Caption = ProgramNames::Caption;

    // watch: the automatic refresh, which the interval box and the two labels beside it show and set;
    // preferences: where the changed preferences are saved.
    MainWindow(AppState& state, Watch& watch, PreferencesStore& preferences, MainWindowParts parts,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Load handling: applies the font, fills the selector, places the window and opens the start page.
    void loadWindow();
    // Lays the controls out for the window's size (also run by every resize).
    void layOut();

    QWidget* aboutWindow() const { return m_aboutWindow; }
    QWidget* startPageDialog() const { return m_startPageDialog; }

    // Outer geometry in twips, frame included.
    TwipRect outerTwips() const { return OuterGeometry::twipsOf(this, m_twips); }
    // The client area's size in twips.
    float innerWidthTwips() const { return m_twips.fromPixelsX(width()); }
    float innerHeightTwips() const { return m_twips.fromPixelsY(height()); }
    void moveOuter(float left, float top, float width, float height);
    // Full screen on a screen with only the page; the saved window geometry is kept for next time.
    void showPageOnly(QScreen* screen);

    const Twips& twips() const { return m_twips; }
    BrowserControl* browser() const { return m_browser; }
    AreaWatch* areaWatch() const { return m_areas.get(); }
    FrameRecorder* frames() const { return m_frames.get(); }
    // When the site's picture last changed, and whether its feed stalled.
    const SiteFeed& siteFeed() const { return *m_feed; }
    // Every page watched is followed (asked about between the refreshes) in this run.
    void followEveryPage();
    BrowsingSession* session() const { return m_session.get(); }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    // Handlers, reached through the controls.
    void onActivated() { m_session->connection().activate(); }
    void relayOutBrowser();
    void saveOnClose();

    // The pop-up menu.
    void showMenu();
    void openFile() { m_session->openFile(); }
    void savePageAs() { m_browser->saveAs(); }
    void setTextLargest() { textSize(4, ui.largestItem); }
    void setTextLarge() { textSize(3, ui.largeItem); }
    void setTextMedium() { textSize(2, ui.mediumItem); }
    void setTextSmall() { textSize(1, ui.smallItem); }
    void setTextSmallest() { textSize(0, ui.smallestItem); }
    // The application font, chosen in the font dialog (once loaded; at load the stored one is applied).
    void chooseAppFont() { m_session->chooseFont(m_loaded); }
    void showHelp() { m_session->showHelp(); }
    void showAbout();
    void showStartPageDialog();
    void switchChimeForNewPicturesOnly();

    // Navigation bar and site selector.
    void openTypedAddress() // Go: the keyboard goes to the page
    {
        m_session->go(ui.siteSelector->currentText());
        m_browser->setFocus();
    }
    void refreshNow() // Refresh (also F5, Ctrl+R)
    {
        m_session->refreshNow();
        m_browser->setFocus();
    }
    void focusAddress() // Ctrl+L
    {
        ui.siteSelector->setFocus(Qt::ShortcutFocusReason);
        ui.siteSelector->lineEdit()->selectAll();
    }
    void pageSaved(bool saved, const QString& path)
    {
        ui.statusBar->showMessage(saved ? tr("Page saved to %1").arg(path) : tr("The page was not saved"));
        if (saved && m_dialogs) {
            m_dialogs->saved(path);
        }
    }
    void goBack() { m_browser->goBack(); }
    void goForward() { m_browser->goForward(); }
    void showSiteList(); // the site list editor, modal
    void openSelectedSite(int listIndex) { m_session->chooseSite(listIndex, ui.siteSelector->currentText()); }

    // The browser's events.
    void showStatusText(const QString& text) { ui.statusBar->showMessage(text); }
    void showProgress(qint32 progress, qint32 progressMax);
    void enableHistoryButton(qint32 command, bool enable);
    void pageDownloaded();
    void titleChanged(const QString& text)
    {
        ui.relayoutTimer->start();
        m_session->titleChanged(text);
    }
    void pageShown() { m_session->pageShown(); }

    // Connection indicator.
    void showConnectionState()
    {
        m_session->connection().click();
        ui.intervalBox->setFocus();
    }
    void pollConnection() { m_session->connection().checkConnection(); }
    void switchConnectionFunctions() { m_session->connection().switchForNextStart(); }

    // Automatic refresh.
    void setInterval();
    void switchTimer();
    void resetMinuteCount();

private:
    void connectControls();
    void fillSelector();
    void showSites(const QStringList& names, const QString& text); // the selector's entries and text
    void showCaption();
    void showTimerState(bool on);
    void textSize(int level, QAction* item);
    void firstActivationCheck()
    {
        if (!std::exchange(m_firstChecked, true)) {
            onActivated();
        }
    }
    void showIndicator(ConnectionMonitor::Picture picture);
    void place(QWidget* w, float left, float top, float width, float height) const;
    void placeBrowser(float widthTakenOff);

    AppState& m_state;
    Watch& m_watch;
    PreferencesStore& m_preferences; // where the changed preferences are saved
    Twips m_twips;
    bool m_loaded = false;            // loadWindow has finished
    OuterGeometry* m_outer = nullptr; // the saved outer geometry, kept while the frame comes
    bool m_closing = false;
    bool m_pageOnly = false;       // only the page, full screen
    bool m_firstActivation = true; // the first activation's check waits for the start page
    bool m_firstChecked = false;
    // The parts first: what works with them below goes before they do.
    std::unique_ptr<BrowserControl> m_browserPart; // the embedded browser, shown in this window
    BrowserControl* m_browser;                     // the same, for short
    std::unique_ptr<ConnectionProbe> m_probe;
    std::unique_ptr<MessageBoxes> m_messages;
    std::unique_ptr<CommonDialogs> m_dialogs;
    std::unique_ptr<FrameRecorder> m_frames;
    std::unique_ptr<SoundPlayer> m_sound; // wave player for the refresh sound
    std::unique_ptr<SoundPlayer> m_alertSound;
    std::unique_ptr<Notifier> m_notifier;

    MainWindowUi ui;                            // the other controls and the menu, as designed
    std::unique_ptr<BrowsingSession> m_session; // the rules this window runs on
    std::unique_ptr<SiteFeed> m_feed;           // what the frames tell of the site's own updates
    std::unique_ptr<FrameKeeping> m_keeping;    // the frames kept for Replay, and Replay itself
    std::unique_ptr<AreaWatch> m_areas;         // the part of each page shown, and the storm alert
    std::unique_ptr<SiteFollowing> m_following; // the site asked about changes between refreshes
    QString m_caption = Caption;                // the page's, as the session gives it
    Announcer* m_announcer = nullptr;           // what a screen reader is to read out at once
    QString m_alertAnnounced;                   // the storm alert told last
    bool m_failureAnnounced = false;            // the last refresh failed, and that was told
    int m_indicatorShown = 0;                   // the connection's picture shown: green at first

    QPointer<QWidget> m_siteListEditor;  // while open
    QPointer<QWidget> m_aboutWindow;     // while open
    QPointer<QWidget> m_startPageDialog; // while open
};
