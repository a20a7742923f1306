#pragma once

#include "core/AppState.h"
#include "core/ConnectionMonitor.h"
#include "core/SiteListFile.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class CommonDialogs;
class ConnectionProbe;
class MessageBoxes;
class PageNavigator;
class SoundPlayer;
class Watch;

// What the main window does, apart from its widgets: the refresh step when the watch says it is due,
// the connection monitor, the saved sites for the selector and for a choice, the caption, the menu's
// commands and the settings written at the end. The window shows what it is told through the signals.
class BrowsingSession : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        PageNavigator* browser = nullptr;
        SoundPlayer* sound = nullptr; // none: refreshes are silent
        ConnectionProbe* probe = nullptr;
        MessageBoxes* messages = nullptr;
        CommonDialogs* dialogs = nullptr; // none: the font and open commands do nothing
        Watch* watch = nullptr;           // the automatic refresh: when it is due, and the count
    };

    BrowsingSession(AppState& state, Parts parts, QObject* parent = nullptr);
    ~BrowsingSession() override;

    // The saved sites, for the selector: names in list order, read afresh from the file.
    QStringList siteNames();
    // The site list editor wrote the list the selector now shows.
    void siteListSaved();
    // A pick from the selector's list (index from 0); typed is the selector's text just before.
    void chooseSite(int index, const QString& typed);

    void go(const QString& address);
    void refreshNow(); // the Refresh button
    // The site said its page or picture changed: the automatic refresh now, its count from naught.
    void refreshForChange();
    // The first page, at load, unless it was asked for before the window was made; put off until
    // the wall display wakes when it starts asleep.
    void startPage();
    static QString startAddress(const AppState& state); // the command line's address, else the start page

    // With this on, a refresh chimes only once its picture has been found new (pictureCompared).
    void setChimeOnlyForNewPicture(bool on) { m_chimeOnlyNew = on; }
    // The picture of the last load was compared with the last kept frame (taken at frameUtc). Returns
    // what the status bar says of it.
    QString pictureCompared(bool newPicture, const QDateTime& frameUtc);

    // The browser's reports.
    void titleChanged(const QString& title);
    void pageShown(); // a navigation completed

    // Menu commands.
    void openFile();
    void showHelp();
    // The application font: with the dialog when the user chose the command, else the stored one.
    void chooseFont(bool withDialog);

    ConnectionMonitor& connection() { return *m_connection; }

    // Writes Skyvn.ini at the end with the window's outer geometry (twips): the settings this window
    // changed, over whatever another window saved meanwhile.
    void saveSettings(float left, float top, float width, float height) const;

signals:
    void selectorEntriesChanged(const QStringList& names, const QString& text);
    void selectorTextChanged(const QString& text);
    void captionChanged(const QString& caption);
    void statusMessage(const QString& text);
    void fontChanged();
    void indicatorChanged(ConnectionMonitor::Picture picture);
    void connectionPollStopped();

private:
    void playRefreshSound();
    static QString asleepWords();
    void refreshStep(); // the automatic refresh, when the watch says it is due
    void tellOldPicture();
    void refreshChime();

    AppState& m_state;
    Parts m_parts;
    std::unique_ptr<ConnectionMonitor> m_connection;
    bool m_chimeOnlyNew = false;
    bool m_startPutOff = false;          // the start page waits for the wall display to wake
    bool m_chimeDue = false;             // a refresh waits to learn whether its picture is new
    SiteListFile::Stamp m_selectorStamp; // the site list file the selector was filled from
};
