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
struct MainWindowUi
{
    static constexpr const char* InitialSelectorText = "https://radar.weather.gov/";

    // Makes the controls on form, places browser below the strip, and builds the menu.
    void setupUi(QWidget* form, QWidget* browser, const Twips& twips);
    // Everything but the browser: the strip of controls, the progress box and the status bar.
    QList<QWidget*> around() const;

    QComboBox* siteSelector = nullptr;          // site selector: address text with the saved sites
    QFrame* progressBox = nullptr;              // progress box over the right end of the status bar
    QProgressBar* progressBar = nullptr;        // download progress, inside progressBox
    QTimer* relayoutTimer = nullptr;            // one-shot re-layout of the browser, 100 ms
    QStatusBar* statusBar = nullptr;            // browser status text along the bottom edge
    QPushButton* goButton = nullptr;            // "Go"
    QPushButton* forwardButton = nullptr;       // Forward (picture)
    QPushButton* backButton = nullptr;          // Back (picture)
    QPushButton* listButton = nullptr;          // "List": the site list editor
    QPushButton* refreshButton = nullptr;       // "Refresh"
    UpDown* intervalBox = nullptr;              // refresh interval, minutes
    QPushButton* connectionIndicator = nullptr; // connection indicator (picture)
    QPushButton* menuButton = nullptr;          // "Menu"
    QTimer* connectionTimer = nullptr;          // connection poll, 10 s
    QLabel* minuteCountLabel = nullptr;         // minute count
    QLabel* intervalLabel = nullptr;            // refresh interval, minutes
    QMenu* popupMenu = nullptr;                 // "Menu1": the pop-up menu of the Menu button
    QAction* openItem = nullptr;                // "&Open"
    QAction* saveAsItem = nullptr;              // "&SaveAs"
    QAction* replayItem = nullptr;              // "&Replay" (F9): the kept frames as a loop, or the live page
    QAction* chimeNewItem = nullptr;            // "&Chime Only For A New Picture", checked
    QAction* keyRefresh = nullptr;              // F5, Ctrl+R: as the Refresh button
    QAction* keyAddress = nullptr;              // Ctrl+L: the address box
    QAction* keyQuit = nullptr;                 // Ctrl+Q: ends the program, as the close box
    QAction* keyHelp = nullptr;                 // F1: the help page
    QAction* clearFramesItem = nullptr; // "Cl&ear Replay Frames...": deletes the kept frames, asked first
    QMenu* textSizeMenu = nullptr;      // "&Web Page Text Size"
    QAction* largestItem = nullptr;     // "La&rgest", level 4
    QAction* largeItem = nullptr;       // "&Large", level 3
    QAction* mediumItem = nullptr;      // "&Medium", level 2
    QAction* smallItem = nullptr;       // "Sma&ll", level 1
    QAction* smallestItem = nullptr;    // "Sm&allest", level 0
    QAction* fontsItem = nullptr;       // "App &Fonts"
    QAction* connectionFunctionsItem = nullptr; // "&iNet Functions"
    QAction* helpItem = nullptr;                // "&Help"
    QAction* aboutItem = nullptr;               // "Abo&ut"
    QAction* startPageItem = nullptr;           // "Default Start &Page"
};
