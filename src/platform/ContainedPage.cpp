#include "platform/ContainedPage.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QWebEngineCertificateError>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineSettings>

// What pages write on their console stays out of the journal unless QT_LOGGING_RULES asks for it
// ("js.info=true").
Q_LOGGING_CATEGORY(pageConsole, "js", QtCriticalMsg)

namespace {

QString certificateWords(const QWebEngineCertificateError& error)
{
    switch (error.type()) {
    case QWebEngineCertificateError::CertificateAuthorityInvalid:
        return QStringLiteral("self-signed or from an unknown authority");
    case QWebEngineCertificateError::CertificateDateInvalid:
        return QStringLiteral("expired or not yet valid");
    case QWebEngineCertificateError::CertificateCommonNameInvalid:
        return QStringLiteral("made for another name");
    default:
        return error.description();
    }
}

// The engine asks the leave-page question as a confirm with this text.
bool isLeavePageQuestion(const QString& msg)
{
    return msg == QCoreApplication::translate(
                      "QWebEnginePage",
                      "Are you sure you want to leave this page? Changes that you made may not be saved.");
}

} // namespace

ContainedPage::ContainedPage(QObject* parent) : QWebEnginePage(parent)
{
    QWebEngineSettings* s = settings();
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
    // Local pages read no other local files: a page saved from the web and opened here cannot send
    // the user's files out.
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    // This program shows one page: a page meant for a new window opens in it, by the engine itself, so
    // that its own checks on what a page may open still apply.
    connect(this, &QWebEnginePage::newWindowRequested, this,
            [this](QWebEngineNewWindowRequest& request) { request.openIn(this); });
    connect(this, &QWebEnginePage::certificateError, this, [this](const QWebEngineCertificateError& error) {
        QWebEngineCertificateError refused = error;
        refused.rejectCertificate();
        emit certificateRefused(
            tr("The certificate of %1 was refused (%2)").arg(error.url().host(), certificateWords(error)));
    });
    connect(this, &QWebEnginePage::renderProcessTerminated, this,
            [this](RenderProcessTerminationStatus status, int) {
                if (status != NormalTerminationStatus) {
                    emit rendererDied();
                }
            });
}

void ContainedPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg)
{
    if (m_answerDialogs) {
        emit dialogAnswered(msg);
        return;
    }
    QWebEnginePage::javaScriptAlert(securityOrigin, msg);
}

bool ContainedPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg)
{
    if (m_answerDialogs) {
        if (isLeavePageQuestion(msg)) {
            return true; // leave
        }
        emit dialogAnswered(msg);
        return false;
    }
    return QWebEnginePage::javaScriptConfirm(securityOrigin, msg);
}

bool ContainedPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                                     const QString& defaultValue, QString* result)
{
    if (m_answerDialogs) {
        emit dialogAnswered(msg);
        return false;
    }
    return QWebEnginePage::javaScriptPrompt(securityOrigin, msg, defaultValue, result);
}

void ContainedPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message,
                                             int lineNumber, const QString& sourceID)
{
    qCInfo(pageConsole, "%s:%d: %s", qPrintable(sourceID), lineNumber, qPrintable(message));
}
