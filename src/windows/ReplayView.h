#pragma once

#include "core/AppState.h"
#include "core/FrameStore.h"

#include <QImage>
#include <QWidget>

class CommonDialogs;
class LoopSaveJob;
class PreferencesStore;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;

// The kept frames of one address, played back as a loop over the browser area: oldest first, each
// with the time it was taken, the newest held for the dwell before the loop starts again.
class ReplayView : public QWidget
{
    Q_OBJECT
public:
    // The replay speed is kept in the preferences of state, and saved through preferences.
    ReplayView(CommonDialogs& dialogs, AppState& state, PreferencesStore& preferences, QWidget* parent);

    // Shows the address's frames at a speed (an index of Preferences::FramesPerSecond), on the newest.
    void open(const FrameStore& store, const QString& address, int speed);
    // Shows the frames of the page the browser displays over it, or, when shown, the live page again.
    void toggleOver(QWidget* browser, const QString& address, const FrameStore& store);
    // The browser now shows address: while open, the replay shows that address's frames.
    void follow(const QString& address);
    // A frame of address was kept: it joins the loop when that is the one shown.
    void frameKept(const QString& address);
    // Why frames are not being kept now (empty: they are), said over the frames.
    void setNotKept(const QString& why)
    {
        m_notKept = why;
        update();
    }
    // Takes in frames kept since it opened; the one shown stays.
    void reload();
    QString address() const { return m_address; }
    int frameCount() const { return int(m_frames.size()); }
    int current() const { return m_index; }
    bool playing() const;

signals:
    void closeRequested();
    void message(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showFrame(int index);
    void playPause();
    int holdMs() const; // how long the frame on screen is held while playing
    void saveLoop();
    void layoutBar();

    CommonDialogs& m_dialogs;
    AppState& m_state;
    PreferencesStore& m_preferences;
    const FrameStore* m_store = nullptr;
    QString m_address;
    QList<FrameStore::Frame> m_frames;
    QList<QByteArray> m_png; // the frames as stored, read once; decoded when shown
    QImage m_shown;
    QString m_shownTime; // when the frame on screen was taken
    QString m_notKept;
    LoopSaveJob* m_saving = nullptr; // a loop being saved
    int m_index = -1;

    QWidget* m_replayBar;          // the strip of controls along the bottom
    QPushButton* m_playButton;     // Play / Pause (Space)
    QComboBox* m_speedBox;         // three speeds
    QSlider* m_frameSlider;        // one step per frame
    QLabel* m_frameLabel;          // "7 of 36"
    QPushButton* m_saveLoopButton; // "Save Loop As..."
    QPushButton* m_liveButton;     // back to the live page (Esc)
    QTimer* m_playTimer;           // steps through the frames while playing
};
