#pragma once

#include <QWebEnginePage>

// The page of the one view: web content stays in its box. No pop-ups without a click, a link meant
// for a new window opens here, no local files for remote pages, no insecure content in secure pages,
// and certificates that are not valid are refused.
class ContainedPage : public QWebEnginePage
{
    Q_OBJECT
public:
    explicit ContainedPage(QObject* parent = nullptr);

signals:
    // A site was refused for its certificate; the text says which and why.
    void certificateRefused(const QString& text);
    // The page's renderer ended abnormally (it crashed or was killed).
    void rendererDied();
};
