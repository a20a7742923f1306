#pragma once

#include "core/AppState.h"
#include "core/ConnectionMonitor.h"
#include "core/RefreshCounter.h"
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

// What the main window does, apart from its widgets: the minute count and the refresh step, the
// connection monitor, the saved sites for the selector and for a choice, the caption, the menu's
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
        // Milliseconds on a monotonic clock that goes on while the machine sleeps; none: the
        // program's own, which may not.
        std::function<qint64()> clock;
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
    void startPage();  // the first page, at load, unless it was asked for before the window was made
    static QString startAddress(const AppState& state); // the command line's address, else the start page

    // Automatic refresh: one minute of refreshTimer at this interval (more, when more has passed since the
    // last one), the interval changed, the timer switched, the count reset.
    void minuteTick(int interval);
    // The machine woke from sleep: with the timer on, the refresh step runs now. Returns whether it ran.
    bool woke(int interval);
    void intervalChanged();
    void toggleTimer();
    void resetMinuteCount();
    bool timerOn() const { return m_counter.timerOn(); }
    // With this on, a refresh chimes only once its picture has been found new (pictureCompared).
    void setChimeOnlyForNewPicture(bool on) { m_chimeOnlyNew = on; }
    // The picture of the last load was compared with the last kept frame (taken at frameUtc). Returns
    // what the status bar says of it.
    QString pictureCompared(bool newPicture, const QDateTime& frameUtc);
    // Runs inside the refresh step before the sound when the connection functions are on.
    void setRedialCheck(std::function<void()> check) { m_redialCheck = std::move(check); }

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
    void minuteCountChanged(int count);
    void timerStateChanged(bool on);
    void selectorEntriesChanged(const QStringList& names, const QString& text);
    void selectorTextChanged(const QString& text);
    void captionChanged(const QString& caption);
    void statusMessage(const QString& text);
    void fontChanged();
    void indicatorChanged(ConnectionMonitor::Picture picture);
    void connectionPollStopped();

private:
    void playRefreshSound();
    void countMinutes(int interval, int minutes);
    void refreshChime();

    AppState& m_state;
    Parts m_parts;
    RefreshCounter m_counter;
    std::unique_ptr<ConnectionMonitor> m_connection;
    std::function<void()> m_redialCheck;
    bool m_chimeOnlyNew = false;
    bool m_chimeDue = false;             // a refresh waits to learn whether its picture is new
    SiteListFile::Stamp m_selectorStamp; // the site list file the selector was filled from
    qint64 m_minuteCounted = 0;          // the clock when the last minute was counted
};
