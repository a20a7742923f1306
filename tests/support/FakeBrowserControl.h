#pragma once

#include "core/UpdateProbe.h"
#include "platform/BrowserControl.h"

#include <QStringList>

// Records what the main window asks of the browser; the test raises the browser's events itself.
class FakeBrowserControl : public BrowserControl
{
    Q_OBJECT
public:
    using BrowserControl::BrowserControl;

    void navigate(const QString& address) override
    {
        calls << QStringLiteral("Navigate:") + address;
        location = address;
    }
    void goBack() override { calls << QStringLiteral("GoBack"); }
    void goForward() override { calls << QStringLiteral("GoForward"); }
    void refresh() override { calls << QStringLiteral("Refresh"); }
    void refreshAtLevel(qint16 level) override { calls << QStringLiteral("Refresh2:%1").arg(level); }
    bool setTextSize(qint32 level) override
    {
        calls << QStringLiteral("Zoom:%1").arg(level);
        return zoomAccepted;
    }
    void saveAs() override { calls << QStringLiteral("SaveAs"); }
    QString currentAddress() const override { return location; }
    void navigateCovered(const QString& address) override
    {
        calls << QStringLiteral("Covered:") + address;
        location = address;
    }
    void setPictureNote(const QString& note) override { calls << QStringLiteral("Note:") + note; }
    bool refreshFailed() const override { return failed; }
    QDateTime pictureTime() const override { return shownAt; }
    qint64 pictureAgeMs() const override { return ageMs; }
    UpdateProbe* updateProbe() override { return &m_probe; }

    QStringList calls;
    QString location;
    bool zoomAccepted = true;
    bool failed = false; // the last refresh failed
    QDateTime shownAt;   // the last good load
    qint64 ageMs = -1;

private:
    // Records the questions to the site; they are never answered.
    struct AskedProbe : UpdateProbe
    {
        explicit AskedProbe(QStringList& into) : calls(into) {}
        void ask(const QString& address, UpdateCheck::Ask, const UpdateCheck::Answer&, QObject*,
                 Done) override
        {
            calls << QStringLiteral("Ask:") + address;
        }
        QStringList& calls;
    } m_probe{calls};
};
