#pragma once

#include <QMutex>
#include <QSet>
#include <QString>
#include <QtGlobal>

// Keeps what the program prints on the terminal and in the journal short, for as long as it lives:
// a warning is printed the first time only (the sound backend says "No audio device detected" at
// every chime on a machine without sound), and when the program runs as root the engine's own note
// that the sandbox is off is dropped, as the program has said so already in its own words.
// Everything else goes on to the handler that was there before, which is put back at the end.
class QuietMessages
{
public:
    explicit QuietMessages(bool dropSandboxNotice);
    ~QuietMessages();
    QuietMessages(const QuietMessages&) = delete;
    QuietMessages& operator=(const QuietMessages&) = delete;

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message);
    bool passes(QtMsgType type, const QString& message);

    const bool m_dropSandboxNotice;
    QMutex m_mutex; // messages come from any thread
    QSet<QString> m_warned;
};
