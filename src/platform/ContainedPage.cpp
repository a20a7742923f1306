#include "platform/ContainedPage.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QLoggingCategory>
#include <QMessageBox>
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
    // Where the user is, notifications, the camera and the screen are not this program's to give a page:
    // every such request is refused at once, rather than left waiting for an answer for ever.
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, Feature feature) {
                setFeaturePermission(origin, feature, PermissionDeniedByUser);
            });
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

void ContainedPage::setAnswerDialogs(bool on)
{
    m_answerDialogs = on;
    if (on && m_dialog != nullptr) {
        m_dialog->reject(); // the page waits in it: nothing would load until someone came by
    }
}

bool ContainedPage::ask(QDialog* box)
{
    // On the heap and watched: the view may go while the box is open (the end of the program), and
    // would take a box on the stack with it.
    box->setWindowTitle(tr("The page at %1 says").arg(url().host().left(100)));
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    m_dialog = box;
    const QPointer<QDialog> open(box);
    const bool ok = box->exec() == QDialog::Accepted;
    if (open != nullptr) {
        open->deleteLater();
    }
    return ok;
}

void ContainedPage::javaScriptAlert(const QUrl&, const QString& msg)
{
    if (m_answerDialogs) {
        emit dialogAnswered(msg);
        return;
    }
    ask(new QMessageBox(QMessageBox::NoIcon, QString(), msg.left(10000), QMessageBox::Ok,
                        qobject_cast<QWidget*>(parent())));
}

bool ContainedPage::javaScriptConfirm(const QUrl&, const QString& msg)
{
    if (m_answerDialogs) {
        if (isLeavePageQuestion(msg)) {
            return true; // leave
        }
        emit dialogAnswered(msg);
        return false;
    }
    auto* box = new QMessageBox(QMessageBox::NoIcon, QString(), msg.left(10000),
                                QMessageBox::Ok | QMessageBox::Cancel, qobject_cast<QWidget*>(parent()));
    return ask(box);
}

bool ContainedPage::javaScriptPrompt(const QUrl&, const QString& msg, const QString& defaultValue,
                                     QString* result)
{
    if (m_answerDialogs) {
        emit dialogAnswered(msg);
        return false;
    }
    auto* box = new QInputDialog(qobject_cast<QWidget*>(parent()));
    box->setLabelText(msg.left(10000));
    box->setTextValue(defaultValue);
    const QPointer<QInputDialog> open(box);
    if (!ask(box) || open == nullptr) {
        return false;
    }
    *result = open->textValue();
    return true;
}

void ContainedPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message,
                                             int lineNumber, const QString& sourceID)
{
    qCInfo(pageConsole, "%s:%d: %s", qPrintable(sourceID), lineNumber, qPrintable(message));
}
