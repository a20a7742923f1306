#pragma once

#include <QPointer>
#include <QWebEnginePage>

class QDialog;

// The page of the one view: web content stays in its box. No pop-ups without a click, a link meant
// for a new window opens here, no local files for remote pages nor for other local pages, no insecure
// content in secure pages,
// and certificates that are not valid are refused. While Skyvane loads a page by itself nothing the
// page does may hold the load up: its dialogs are then answered at once, and only said.
class ContainedPage : public QWebEnginePage
{
    Q_OBJECT
public:
    explicit ContainedPage(QObject* parent = nullptr);

    // While on, alerts are taken as read, confirms cancelled, prompts cancelled and the leave-page
    // question answered "leave", without a box; one open when this comes on is answered so too.
    void setAnswerDialogs(bool on);
    // Whether one of the page's dialogs is open (the page waits in it, and must not go meanwhile).
    bool inDialog() const { return !m_dialog.isNull(); }

signals:
    // A site was refused for its certificate; the text says which and why.
    void certificateRefused(const QString& text);
    // The page's renderer ended abnormally (it crashed or was killed).
    void rendererDied();
    // A dialog of the page was answered without a box; the text is what it said.
    void dialogAnswered(const QString& text);

protected:
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                          QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
                                  const QString& sourceID) override;

private:
    // The page's own question in a box over the view, until it is answered or the box is cancelled
    // (by a load of Skyvane's own, or the end). Accepted: whether it was answered with OK.
    bool ask(QDialog* box);

    bool m_answerDialogs = false;
    QPointer<QDialog> m_dialog; // open now
};
