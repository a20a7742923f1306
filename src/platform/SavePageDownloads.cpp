#include "platform/SavePageDownloads.h"

#include <QDir>
#include <QFileInfo>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>

SavePageDownloads::SavePageDownloads(QWebEnginePage* page, QObject* parent) : QObject(parent), m_page(page)
{
    // The request must be answered before the handler returns.
    connect(page->profile(), &QWebEngineProfile::downloadRequested, this, &SavePageDownloads::onRequested,
            Qt::DirectConnection);
}

void SavePageDownloads::onRequested(QWebEngineDownloadRequest* download)
{
    if (download->page() != m_page) {
        return;
    }
    if (!download->isSavePageDownload() || !m_expected) {
        download->cancel(); // this program saves pages only, and only when asked
        return;
    }
    m_expected = false;
    const QString suggested = QDir(download->downloadDirectory()).filePath(download->downloadFileName());
    const QString path = m_ask ? m_ask(suggested) : QString();
    if (path.isEmpty()) {
        download->cancel(); // the user cancelled: nothing to say
        return;
    }
    const QFileInfo target(path);
    download->setDownloadDirectory(target.absolutePath());
    download->setDownloadFileName(target.fileName());
    const QString suffix = target.suffix().toLower();
    download->setSavePageFormat(suffix == QLatin1String("mhtml") || suffix == QLatin1String("mht")
                                    ? QWebEngineDownloadRequest::MimeHtmlSaveFormat
                                    : QWebEngineDownloadRequest::CompleteHtmlSaveFormat);
    ++m_saving;
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, download, path] {
        --m_saving;
        // Saved is what is on disk: the file as the engine named it, with its content.
        const QString written = QDir(download->downloadDirectory()).filePath(download->downloadFileName());
        QString found;
        for (const QString& candidate : {written, path, path + QStringLiteral(".html")}) {
            if (found.isEmpty() && QFileInfo(candidate).isFile() && QFileInfo(candidate).size() > 0) {
                found = candidate;
            }
        }
        const bool saved =
            download->state() == QWebEngineDownloadRequest::DownloadCompleted && !found.isEmpty();
        emit finished(saved, saved ? QDir::toNativeSeparators(found) : path);
    });
    download->accept();
}
