#pragma once

#include "core/AppState.h"
#include "core/BrowsingSession.h"
#include "core/CommonDialogs.h"
#include "core/ConnectionMonitor.h"
#include "core/ConnectionProbe.h"
#include "core/MessageBoxes.h"
#include "core/ProgramNames.h"
#include "core/SoundPlayer.h"
#include "core/Twips.h"
#include "platform/BrowserControl.h"
#include "platform/FrameRecorder.h"
#include "windows/MainWindowUi.h"
#include "windows/OuterGeometry.h"
#include "windows/UpDown.h"

#include <QComboBox>
#include <QPointer>
#include <QStatusBar>
#include <QWidget>

#include <functional>
#include <memory>
#include <utility>

class QAction;
class FrameKeeping;

// What the main window works with, handed in by whoever creates it.
struct Form1Parts
{
    std::unique_ptr<BrowserControl> browser;
    std::unique_ptr<SoundPlayer> sound;     // plays the refresh sound
    std::unique_ptr<ConnectionProbe> probe; // the Internet connection state
    std::unique_ptr<MessageBoxes> messages; // the program's message boxes
    std::unique_ptr<CommonDialogs> dialogs; // open-file, font and save dialogs
    std::unique_ptr<FrameRecorder> frames;  // keeps the new pictures as frames; none: no Replay
};

// The main window: the browser and, above it, one strip of small controls.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    static constexpr QLatin1StringView Caption = ProgramNames::Caption;
    static constexpr const char* InitialSelectorText = Form1Ui::InitialSelectorText;

    Form1(AppState& state, Form1Parts parts, QWidget* parent = nullptr);
    ~Form1() override;

    // Load handling: applies the font, fills the selector, places the window and opens the start page.
    void Form_Load();
    // Lays the controls out for the window's size (also run by every resize).
    void Form_Resize();

    QWidget* aboutWindow() const { return m_form3; }
    QWidget* startPageDialog() const { return m_form4; }
    const ConnectionMonitor& connectionMonitor() const { return m_session->connection(); }
    // Runs inside the refresh step before the sound when the connection functions are on.
    void setRedialCheck(std::function<void()> check) { m_session->setRedialCheck(std::move(check)); }
    bool timerOn() const { return m_session->timerOn(); }
    // The machine woke from sleep: the picture is refreshed now.
    void machineWoke()
    {
        if (m_session->woke(ui.UpDown1->value())) {
            ui.Timer1->start(); // the next minute from now
        }
    }

    // Outer geometry in twips, frame included.
    float Left() const { return OuterGeometry::twipsOf(this, m_twips).left; }
    float Top() const { return OuterGeometry::twipsOf(this, m_twips).top; }
    float Width() const { return OuterGeometry::twipsOf(this, m_twips).width; }
    float Height() const { return OuterGeometry::twipsOf(this, m_twips).height; }
    float ScaleWidth() const { return m_twips.fromPixelsX(width()); }
    float ScaleHeight() const { return m_twips.fromPixelsY(height()); }
    void moveOuter(float left, float top, float width, float height);
    // The saved sites are shown in turn: each one is watched, so its frames are kept.
    void setWatched(bool on) { m_watched = on; }
    // Full screen on a screen with only the page; the saved window geometry is kept for next time.
    void showKiosk(QScreen* screen);

    const Twips& twips() const { return m_twips; }
    qint16 loadDone() const { return LoadDone; }
    BrowserControl* browser() const { return WebBrowser1; }
    QWidget* siteListEditor() const { return m_form2; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    // Handlers, named by control and event; reached through the controls.
    void Form_Activate() { m_session->connection().activate(); }
    void Timer4_Timer();
    void Form_QueryUnload();

    // The pop-up menu.
    void Command8_Click();
    void mnuOpen_Click() { m_session->openFile(); }
    void mnuSaveAs_Click() { WebBrowser1->ExecWBSaveAs(); }
    void mnuLargest_Click() { textSize(4, ui.mnuLargest); }
    void mnuLarge_Click() { textSize(3, ui.mnuLarge); }
    void mnuMedium_Click() { textSize(2, ui.mnuMedium); }
    void mnuSmall_Click() { textSize(1, ui.mnuSmall); }
    void mnuSmallest_Click() { textSize(0, ui.mnuSmallest); }
    // The application font, chosen in the font dialog (once loaded; at load the stored one is applied).
    void mnuFonts_Click() { m_session->chooseFont(LoadDone != 0); }
    void mnuHelp_Click() { m_session->showHelp(); }
    void mnuAbout_Click();
    void mnuDefStartPage_Click();
    void mnuChimeNew_Click();

    // Navigation bar and site selector.
    void Command1_Click() // Go: the keyboard goes to the page
    {
        m_session->go(ui.Combo1->currentText());
        WebBrowser1->setFocus();
    }
    void Command2_Click() // Refresh (also F5, Ctrl+R)
    {
        m_session->refreshNow();
        WebBrowser1->setFocus();
    }
    void Command3_Click() { WebBrowser1->GoBack(); }    // Back
    void Command4_Click() { WebBrowser1->GoForward(); } // Forward
    void Command5_Click();                              // List: the site list editor, modal
    void Combo1_Click(int listIndex) { m_session->chooseSite(listIndex, ui.Combo1->currentText()); }
    void Combo1_KeyPress(int keyAscii)
    {
        if (keyAscii == 13) {
            Command1_Click();
        }
    }

    // The browser's events.
    void WebBrowser1_StatusTextChange(const QString& text) { ui.StatusBar1->showMessage(text); }
    void WebBrowser1_ProgressChange(qint32 progress, qint32 progressMax);
    void WebBrowser1_CommandStateChange(qint32 command, bool enable);
    void WebBrowser1_DownloadComplete() { ui.Timer4->start(); }
    void WebBrowser1_TitleChange(const QString& text)
    {
        ui.Timer4->start();
        m_session->titleChanged(text);
    }
    void WebBrowser1_NavigateComplete2() { m_session->pageShown(); }

    // MinuteCount becomes 0 and Label2 shows it.
    void resetMinuteCount() { m_session->resetMinuteCount(); }

    // Connection indicator.
    void Command6_Click()
    {
        m_session->connection().click();
        ui.UpDown1->setFocus();
    }
    void Timer2_Timer() { m_session->connection().CheckConnection(); }
    void mnuINetFun_Click() { m_session->connection().switchForNextStart(); }

    // Automatic refresh.
    void Timer1_Timer() { m_session->minuteTick(ui.UpDown1->value()); }
    void UpDown1_Change() { m_session->intervalChanged(); }
    void Label1_DblClick() { m_session->toggleTimer(); }
    void Label2_DblClick() { m_session->resetMinuteCount(); }

private:
    void connectControls();
    void fillSelector();
    void showSites(const QStringList& names, const QString& text); // the selector's entries and text
    void showTimerState(bool on);
    void textSize(int level, QAction* item);
    void firstActivationCheck()
    {
        if (!std::exchange(m_firstChecked, true)) {
            Form_Activate();
        }
    }
    void showIndicator(ConnectionMonitor::Picture picture);
    void place(QWidget* w, float left, float top, float width, float height) const;
    void placeBrowser(float widthTakenOff);

    AppState& m_state;
    Twips m_twips;
    qint16 LoadDone = 0;              // 1 once Form_Load has finished
    OuterGeometry* m_outer = nullptr; // the saved outer geometry, kept while the frame comes
    bool m_closing = false;
    bool m_kiosk = false;          // only the page, full screen
    bool m_firstActivation = true; // the first activation's check waits for the start page
    bool m_firstChecked = false;
    std::unique_ptr<ConnectionProbe> m_probe;
    std::unique_ptr<MessageBoxes> m_messages;
    std::unique_ptr<CommonDialogs> m_dialogs;
    std::unique_ptr<FrameRecorder> m_frames;
    BrowsingSession* m_session = nullptr; // the rules this window runs on

    BrowserControl* WebBrowser1 = nullptr;   // the embedded browser
    std::unique_ptr<SoundPlayer> MMControl1; // wave player for the refresh sound
    Form1Ui ui;                              // the other controls and the menu, as designed
    FrameKeeping* m_keeping = nullptr;       // the frames kept for Replay, and Replay itself
    bool m_watched = false;                  // the saved sites in turn: every page is watched

    QPointer<QWidget> m_form2; // the site list editor (Form2), while open
    QPointer<QWidget> m_form3; // the About window (Form3), while open
    QPointer<QWidget> m_form4; // the default start page dialog (Form4), while open
};
