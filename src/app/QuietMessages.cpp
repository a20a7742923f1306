#include "app/QuietMessages.h"

#include <QMutexLocker>

#include <atomic>

namespace {

std::atomic<QuietMessages*> installed = nullptr;
QtMessageHandler previousHandler = nullptr; // kept for a message that comes while the filter ends

// Enough for every warning this program has reason to repeat; past it a new warning is always printed.
constexpr qsizetype MostWarningsRemembered = 1000;

} // namespace

QuietMessages::QuietMessages(bool dropSandboxNotice) : m_dropSandboxNotice(dropSandboxNotice)
{
    installed = this;
    previousHandler = qInstallMessageHandler(&QuietMessages::handle);
}

QuietMessages::~QuietMessages()
{
    installed = nullptr;
    qInstallMessageHandler(previousHandler);
}

void QuietMessages::handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    QuietMessages* self = installed;
    if (self != nullptr && !self->passes(type, message)) {
        return;
    }
    if (previousHandler != nullptr) {
        previousHandler(type, context, message);
    }
}

bool QuietMessages::passes(QtMsgType type, const QString& message)
{
    if (m_dropSandboxNotice && type == QtInfoMsg &&
        message == QLatin1String("Sandboxing disabled by user.")) {
        return false;
    }
    if (type != QtWarningMsg) {
        return true;
    }
    const QMutexLocker lock(&m_mutex);
    if (m_warned.contains(message)) {
        return false;
    }
    if (m_warned.size() < MostWarningsRemembered) {
        m_warned.insert(message);
    }
    return true;
}
