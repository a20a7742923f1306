#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWebEnginePage;
class QWebEngineDownloadRequest;

// Save As of one page through the engine's downloads: the user is asked where, a name ending in
// .mhtml or .mht saves one archive file and any other the complete page. Every other download, and a
// save nobody asked for, is cancelled.
class SavePageDownloads : public QObject
{
    Q_OBJECT
public:
    // Asked for the file to save the page into; an empty answer cancels the save.
    using PathAsker = std::function<QString(const QString& suggestedPath)>;

    explicit SavePageDownloads(QWebEnginePage* page, QObject* parent = nullptr);

    void setPathAsker(PathAsker asker) { m_ask = std::move(asker); }
    // The user chose Save As: the next save-page download is theirs.
    void expectSave() { m_expected = true; }
    // A save is asked for or under way: the page must stay.
    bool busy() const { return m_expected || m_saving > 0; }
    void setPage(QWebEnginePage* page) { m_page = page; }

signals:
    // The end of a Save As: whether the page was saved, and where.
    void finished(bool saved, const QString& path);

private:
    void onRequested(QWebEngineDownloadRequest* download);

    QWebEnginePage* m_page;
    PathAsker m_ask;
    bool m_expected = false;
    int m_saving = 0; // saves accepted and not finished
};
