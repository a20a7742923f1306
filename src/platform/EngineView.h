#pragma once

#include "platform/WatchedView.h"

#include <QUrl>
#include <QWidget>

#include <functional>

class ContainedPage;
class PageRenewal;
class PictureCover;
class QWebEngineLoadingInfo;
class QWebEngineView;
class WatchedPart;

// The engine's view with what is laid over it: the page in it (a fresh one now and then), the cover,
// the watched part, and which document is on screen. It does what it is asked and tells what the
// engine does; it knows nothing of who watches it.
class EngineView : public QWidget, public WatchedView
{
    Q_OBJECT
public:
    // reloadsBeforeRenewal: reloads of one page after which the next reload under the cover is made
    // by a fresh page; every one when 0.
    explicit EngineView(int reloadsBeforeRenewal, QWidget* parent = nullptr);
    ~EngineView() override;

    QWebEngineView* view() const { return m_view; }
    ContainedPage* page() const { return m_page; }

    // While kept returns true (a save under way), a reload is never made by a fresh page.
    void setPageKept(std::function<bool()> kept) { m_pageKept = std::move(kept); }
    // With nobody there, the history is nobody's: it does not hold the page.
    void setUnattended(bool on) { m_unattended = on; }
    // The next reload is made by a fresh page and renderer, whatever the renewal's count says.
    void renewAtNextReload() { m_renewNext = true; }

    void load(const QString& address) override;
    void reload(bool bypassCache) override;
    void stop() override;
    QString address() const override;
    bool onScreen() const override;
    QImage picture() override;
    void inspect(const QString& script, std::function<void(const QVariant&)> done) override;
    qint64 bytesReceived() const override;
    void cover(const QImage& picture) override;
    void coverWithCard(const QString& text) override;
    void uncover() override;
    bool covered() const override;
    void answerPageDialogs(bool on) override;

    // The address the page shows now, as sent; empty while nothing is displayed.
    QString currentAddress() const;
    bool documentLoading() const { return m_documentLoading; }
    bool committed() const { return m_committed; }
    const QString& certificateRefusal() const { return m_certificateRefusal; }

    // Counts a load the page cancelled, to be asked again: the address its document came from.
    QUrl takeInterruption();
    void loadAsReload(const QUrl& url,
                      bool bypassCache); // as a reload asks for it, validated with the server
    // A load has ended: ok, the new document is there and its part shown.
    void finishLoad(bool ok);
    // The load ended with nothing new on screen: the document shown before is still the one.
    void keepDocumentBefore() { m_documentUrl = m_documentBefore; }

    void setWatchArea(const QString& address, const QRectF& pageRect);
    void pageRectOf(const QRect& viewRect, std::function<void(const QRectF&)> done);
    void setWholePageZoom(double zoom);

signals:
    // The view shows page from now on (the first one is there from the start).
    void pageAttached(ContainedPage* page);
    void loadStarted(const QUrl& target);
    // interrupted: cancelled by the page itself, neither stopped by us nor refused, and worth asking
    // again.
    void loadEnded(const QWebEngineLoadingInfo& info, bool interrupted);
    // The loading document is on screen now.
    void documentCommitted();
    void coverTouched();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void attachPage(ContainedPage* page); // shows the page and follows its loads
    bool renewPage();                     // true: the reload is made by a fresh page
    void onLoadStarted(const QUrl& target);
    void onLoadEnded(const QWebEngineLoadingInfo& info);
    void onUrlChanged();

    QWebEngineView* m_view;
    ContainedPage* m_page;
    PictureCover* m_cover;          // the last good picture or a card, over the view during a watched load
    PageRenewal* m_renewal;         // when a reload is made by a fresh page
    WatchedPart* m_part;            // zoomed and scrolled to, when the page has one
    bool m_stopAsked = false;       // the load ending now was stopped by us
    int m_interrupted = 0;          // times the page cancelled the load of ours under way
    bool m_documentLoading = false; // between the start and the end of a load of a new document
    bool m_committed = false;       // the loading document has been committed: the view shows it
    QUrl m_documentUrl;             // the address the document loading or on screen was loaded from
    QUrl m_documentBefore;          // the one on screen as the load began
    QString m_certificateRefusal;   // why the loading site's certificate was refused
    bool m_answerDialogs = false;   // the page's dialogs are answered without a box
    bool m_unattended = false;
    std::function<bool()> m_pageKept;
    bool m_renewNext = false;
};
