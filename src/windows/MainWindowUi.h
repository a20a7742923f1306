#pragma once

#include "core/Twips.h"

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTimer;
class QWidget;
class UpDown;

// The main window's controls and its pop-up menu as designed, in twips: what there is and where it
// sits. What they do is the window's business.
struct Form1Ui
{
    static constexpr const char* InitialSelectorText = "https://radar.weather.gov/";

    // Makes the controls on form, places browser below the strip, and builds the menu.
    void setupUi(QWidget* form, QWidget* browser, const Twips& twips);
    // Everything but the browser: the strip of controls, the progress box and the status bar.
    QList<QWidget*> around() const;

    QComboBox* Combo1 = nullptr;          // site selector: address text with the saved sites
    QFrame* Picture3 = nullptr;           // progress box over the right end of the status bar
    QProgressBar* ProgressBar1 = nullptr; // download progress, inside Picture3
    QTimer* Timer4 = nullptr;             // one-shot re-layout of the browser, 100 ms
    QStatusBar* StatusBar1 = nullptr;     // browser status text along the bottom edge
    QPushButton* Command1 = nullptr;      // "Go"
    QPushButton* Command4 = nullptr;      // Forward (picture)
    QPushButton* Command3 = nullptr;      // Back (picture)
    QPushButton* Command5 = nullptr;      // "List": the site list editor
    QPushButton* Command2 = nullptr;      // "Refresh"
    UpDown* UpDown1 = nullptr;            // refresh interval, minutes
    QPushButton* Command6 = nullptr;      // connection indicator (picture)
    QPushButton* Command8 = nullptr;      // "Menu"
    QTimer* Timer2 = nullptr;             // connection poll, 10 s
    QTimer* Timer1 = nullptr;             // refresh minute timer, 60 s
    QLabel* Label2 = nullptr;             // minute count
    QLabel* Label1 = nullptr;             // refresh interval, minutes
    QMenu* mnuPop1 = nullptr;             // "Menu1": the pop-up menu of the Menu button
    QAction* mnuOpen = nullptr;           // "&Open"
    QAction* mnuSaveAs = nullptr;         // "&SaveAs"
    QAction* mnuReplay = nullptr;         // "&Replay" (F9): the kept frames as a loop, or the live page
    QAction* mnuChimeNew = nullptr;       // "&Chime Only For A New Picture", checked
    QAction* keyRefresh = nullptr;        // F5, Ctrl+R: as the Refresh button
    QAction* keyAddress = nullptr;        // Ctrl+L: the address box
    QAction* keyQuit = nullptr;           // Ctrl+Q: ends the program, as the close box
    QAction* keyHelp = nullptr;           // F1: the help page
    QAction* mnuClearFrames = nullptr;    // "Cl&ear Replay Frames...": deletes the kept frames, asked first
    QMenu* mnuTextSize = nullptr;         // "&Web Page Text Size"
    QAction* mnuLargest = nullptr;        // "La&rgest", level 4
    QAction* mnuLarge = nullptr;          // "&Large", level 3
    QAction* mnuMedium = nullptr;         // "&Medium", level 2
    QAction* mnuSmall = nullptr;          // "Sma&ll", level 1
    QAction* mnuSmallest = nullptr;       // "Sm&allest", level 0
    QAction* mnuFonts = nullptr;          // "App &Fonts"
    QAction* mnuINetFun = nullptr;        // "&iNet Functions"
    QAction* mnuHelp = nullptr;           // "&Help"
    QAction* mnuAbout = nullptr;          // "Abo&ut"
    QAction* mnuDefStartPage = nullptr;   // "Default Start &Page"
};
