#pragma once

#include "core/AppState.h"
#include "core/BrowsingSession.h"
#include "core/CommonDialogs.h"
#include "core/ConnectionMonitor.h"
#include "core/ConnectionProbe.h"
#include "core/MainLayout.h"
#include "core/MessageBoxes.h"
#include "core/ProgramNames.h"
#include "core/RefreshCounter.h"
#include "core/SoundPlayer.h"
#include "core/Twips.h"
#include "platform/BrowserControl.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QFrame;
class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTimer;
class OuterGeometry;
class UpDown;

// What the main window works with, handed in by whoever creates it.
struct Form1Parts
{
    std::unique_ptr<BrowserControl> browser;
    std::unique_ptr<SoundPlayer> sound;     // plays the refresh sound
    std::unique_ptr<ConnectionProbe> probe; // the Internet connection state
    std::unique_ptr<MessageBoxes> messages; // the program's message boxes
    std::unique_ptr<CommonDialogs> dialogs; // open-file, font and save dialogs
};

// The main window: the browser and, above it, one strip of small controls.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    static constexpr QLatin1StringView Caption = ProgramNames::Caption;
    static constexpr const char* InitialSelectorText = "https://radar.weather.gov/";

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

    // Outer geometry in twips, frame included.
    float Left() const;
    float Top() const;
    float Width() const;
    float Height() const;
    float ScaleWidth() const;
    float ScaleHeight() const;
    void moveOuter(float left, float top, float width, float height);

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
    void Form_Activate();
    void Timer4_Timer();
    void Form_QueryUnload();

    // The pop-up menu.
    void Command8_Click();
    void mnuOpen_Click();
    void mnuSaveAs_Click();
    void mnuLargest_Click();
    void mnuLarge_Click();
    void mnuMedium_Click();
    void mnuSmall_Click();
    void mnuSmallest_Click();
    // The application font: with LoadDone 0 only applies the stored font to the strip.
    void mnuFonts_Click();
    void mnuHelp_Click();
    void mnuAbout_Click();
    void mnuDefStartPage_Click();

    // Navigation bar and site selector.
    void Command1_Click(); // Go
    void Command2_Click(); // Refresh
    void Command3_Click(); // Back
    void Command4_Click(); // Forward
    void Command5_Click(); // List: the site list editor, modal
    void Combo1_Click(int listIndex);
    void Combo1_KeyPress(int keyAscii);

    // The browser's events.
    void WebBrowser1_StatusTextChange(const QString& text);
    void WebBrowser1_ProgressChange(qint32 progress, qint32 progressMax);
    void WebBrowser1_CommandStateChange(qint32 command, bool enable);
    void WebBrowser1_DownloadComplete();
    void WebBrowser1_TitleChange(const QString& text);
    void WebBrowser1_NavigateComplete2();

    // MinuteCount becomes 0 and Label2 shows it.
    void resetMinuteCount();

    // Connection indicator.
    void Command6_Click();
    void Timer2_Timer();
    void mnuINetFun_Click();

    // Automatic refresh.
    void Timer1_Timer();
    void UpDown1_Change();
    void Label1_DblClick();
    void Label2_DblClick();

private:
    void createControls();
    void connectControls();
    void fillSelector();
    void showTimerState(bool on);
    void createMenu();
    void textSize(int level, QAction* item);
    void showIndicator(ConnectionMonitor::Picture picture);
    void place(QWidget* w, float left, float top, float width, float height) const;
    void placeBrowser(float widthTakenOff);

    AppState& m_state;
    Twips m_twips;
    qint16 LoadDone = 0;              // 1 once Form_Load has finished
    OuterGeometry* m_outer = nullptr; // the saved outer geometry, kept while the frame comes
    bool m_closing = false;
    std::unique_ptr<ConnectionProbe> m_probe;
    std::unique_ptr<MessageBoxes> m_messages;
    std::unique_ptr<CommonDialogs> m_dialogs;
    BrowsingSession* m_session = nullptr; // the rules this window runs on

    QComboBox* Combo1 = nullptr;             // site selector: address text with the saved sites
    QFrame* Picture3 = nullptr;              // progress box over the right end of the status bar
    QProgressBar* ProgressBar1 = nullptr;    // download progress, inside Picture3
    QTimer* Timer4 = nullptr;                // one-shot re-layout of the browser, 100 ms
    QStatusBar* StatusBar1 = nullptr;        // browser status text along the bottom edge
    QPushButton* Command1 = nullptr;         // "Go"
    QPushButton* Command4 = nullptr;         // Forward (picture)
    QPushButton* Command3 = nullptr;         // Back (picture)
    QPushButton* Command5 = nullptr;         // "List": the site list editor
    QPushButton* Command2 = nullptr;         // "Refresh"
    UpDown* UpDown1 = nullptr;               // refresh interval, minutes
    QPushButton* Command6 = nullptr;         // connection indicator (picture)
    QPushButton* Command8 = nullptr;         // "Menu"
    BrowserControl* WebBrowser1 = nullptr;   // the embedded browser
    QTimer* Timer2 = nullptr;                // connection poll, 10 s
    QTimer* Timer1 = nullptr;                // refresh minute timer, 60 s
    std::unique_ptr<SoundPlayer> MMControl1; // wave player for the refresh sound
    QLabel* Label2 = nullptr;                // minute count
    QLabel* Label1 = nullptr;                // refresh interval, minutes
    QMenu* mnuPop1 = nullptr;                // "Menu1": the pop-up menu of the Menu button
    QAction* mnuOpen = nullptr;              // "&Open"
    QAction* mnuSaveAs = nullptr;            // "&SaveAs"
    QMenu* mnuTextSize = nullptr;            // "&Web Page Text Size"
    QAction* mnuLargest = nullptr;           // "La&rgest", level 4
    QAction* mnuLarge = nullptr;             // "&Large", level 3
    QAction* mnuMedium = nullptr;            // "&Medium", level 2
    QAction* mnuSmall = nullptr;             // "Sma&ll", level 1
    QAction* mnuSmallest = nullptr;          // "Sm&allest", level 0
    QAction* mnuFonts = nullptr;             // "App &Fonts"
    QAction* mnuINetFun = nullptr;           // "&iNet Functions"
    QAction* mnuHelp = nullptr;              // "&Help"
    QAction* mnuAbout = nullptr;             // "Abo&ut"
    QAction* mnuDefStartPage = nullptr;      // "Default Start &Page"

    QPointer<QWidget> m_form2; // the site list editor (Form2), while open
    QPointer<QWidget> m_form3; // the About window (Form3), while open
    QPointer<QWidget> m_form4; // the default start page dialog (Form4), while open
};
