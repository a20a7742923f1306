#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QSocketNotifier;

// Closes the main window, as its close box does, when the process is told to end (SIGTERM, SIGHUP,
// SIGINT) or the desktop session ends, so that the settings are saved. Open dialogs and pop-up menus
// are cancelled first, one by one, so that nothing is left running behind the closed window.
class SessionCloser : public QObject
{
    Q_OBJECT
public:
    explicit SessionCloser(QWidget* mainWindow, QObject* parent = nullptr);
    ~SessionCloser() override;

    // The desktop session is ending (the session manager asks the program to save its data).
    void sessionEnding();

private:
    void closeMainWindow();
    void endStep();

    static constexpr int MaxSteps = 100; // a dialog that will not go: end the event loops anyway

    QPointer<QWidget> m_mainWindow;
    QSocketNotifier* m_notifier = nullptr;
    bool m_ending = false;
    int m_steps = 0;
};
