#include "windows/WallDisplay.h"

#include "core/PictureAge.h"
#include "core/SiteListFile.h"
#include "platform/BrowserControl.h"
#include "windows/AreaWatch.h"
#include "windows/MainWindow.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <utility>

namespace {

constexpr int PointerStillMs = 3000;

} // namespace

WallDisplay::WallDisplay(MainWindow& form, AppState& state, const CommandLine& options)
    : QObject(&form), m_form(form), m_state(state), m_interval(options.interval)
{
    BrowserControl* browser = m_form.browser();
    connect(browser, &BrowserControl::downloadCompleted, this, &WallDisplay::pageDone);
    connect(form.areaWatch(), &AreaWatch::alertShown, this, &WallDisplay::showCorner);
    connect(browser, &BrowserControl::pageSaid, this, [this](const QString& text) {
        m_pageSaid = text;
        m_loadsSinceSaid = 0;
        showCorner();
    });
    if (options.kiosk) {
        enterKiosk(options.screen);
    }
    if (options.rotate > 0) {
        m_form.setWatched(true);
        rotateTimer = new QTimer(this);
        rotateTimer->setObjectName(QStringLiteral("rotateTimer"));
        rotateTimer->setInterval(options.rotate * 60 * 1000);
        rotateTimer->setTimerType(Qt::PreciseTimer);
        connect(rotateTimer, &QTimer::timeout, this, &WallDisplay::nextSite);
        rotateTimer->start();
        QTimer::singleShot(0, this, &WallDisplay::nextSite); // the first saved site at once
    }
}

WallDisplay::~WallDisplay()
{
    if (m_pointerHidden) {
        QApplication::restoreOverrideCursor();
    }
}

void WallDisplay::enterKiosk(int screen)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screen >= screens.size()) {
        std::fprintf(stderr, "skyvane: there is no screen %d (%d in all); the primary screen is used\n",
                     screen, int(screens.size()));
    }
    m_form.showKiosk(screen >= 0 && screen < screens.size() ? screens[screen]
                                                            : QGuiApplication::primaryScreen());
    cornerLabel = new QLabel(&m_form);
    cornerLabel->setObjectName(QStringLiteral("cornerLabel"));
    cornerLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    cornerLabel->setMargin(6);
    pointerTimer = new QTimer(this);
    pointerTimer->setSingleShot(true);
    pointerTimer->setInterval(PointerStillMs);
    connect(pointerTimer, &QTimer::timeout, this, [this] {
        if (!m_pointerHidden) {
            QApplication::setOverrideCursor(Qt::BlankCursor);
            m_pointerHidden = true;
        }
    });
    pointerTimer->start();
    qApp->installEventFilter(this);
    m_inhibitor = std::make_unique<ScreenSaverInhibitor>(tr("Showing a wall display"));
    m_form.browser()->setUnattended(true); // nobody is there to answer a page's dialog
    ageTimer = new QTimer(this);
    ageTimer->setInterval(30 * 1000);
    connect(ageTimer, &QTimer::timeout, this, &WallDisplay::showCorner);
    ageTimer->start();
    showCorner();
}

bool WallDisplay::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && pointerTimer != nullptr) {
        if (m_pointerHidden) {
            QApplication::restoreOverrideCursor();
            m_pointerHidden = false;
        }
        pointerTimer->start();
    }
    if (event->type() == QEvent::Resize && watched == &m_form) {
        QTimer::singleShot(0, this, &WallDisplay::showCorner);
    }
    return QObject::eventFilter(watched, event);
}

bool WallDisplay::showNextSite()
{
    if (rotateTimer == nullptr) {
        return false;
    }
    nextSite();
    rotateTimer->start();
    return true;
}

void WallDisplay::nextSite()
{
    const std::optional<SiteRecord> site = m_rotation.next(SiteListFile(m_state.siteListPath()).readAll());
    if (!site) {
        if (!std::exchange(m_saidNoSites, true)) {
            std::fputs("skyvane: --rotate: there are no saved sites with an address to show\n", stderr);
        }
        return;
    }
    m_siteName = site->Name;
    m_form.browser()->navigateCovered(site->URL);
    showCorner();
}

void WallDisplay::pageDone()
{
    m_failed = m_form.browser()->refreshFailed();
    if (!m_pageSaid.isEmpty() && ++m_loadsSinceSaid > 1) {
        m_pageSaid.clear(); // said for one refresh
    }
    showCorner();
}

QString WallDisplay::cornerText() const
{
    const BrowserControl* browser = m_form.browser();
    const QDateTime time = browser->pictureTime(); // only a good load sets it
    QStringList parts;
    if (m_form.areaWatch()->alertActive()) {
        parts << QStringLiteral("ALERT");
    }
    if (!m_siteName.isEmpty()) {
        parts << m_siteName;
    }
    const qint64 age = browser->pictureAgeMs();
    const PictureAge::Level level = PictureAge::level(age, m_interval, m_failed);
    const QString picture =
        PictureAge::text(time.isValid() ? time.toString(QStringLiteral("HH:mm")) : QString(), age, level);
    if (!picture.isEmpty()) {
        parts << picture;
    }
    if (!m_pageSaid.isEmpty()) {
        parts << m_pageSaid;
    }
    return parts.join(QStringLiteral("  \u00b7  "));
}

void WallDisplay::showCorner()
{
    if (cornerLabel == nullptr) {
        return;
    }
    cornerLabel->setText(cornerText());
    const BrowserControl* browser = m_form.browser();
    const bool alert = m_form.areaWatch()->alertActive(); // storm colours in the alert box: red
    switch (alert ? PictureAge::Level::Failed
                  : PictureAge::level(browser->pictureAgeMs(), m_interval, m_failed)) {
    case PictureAge::Level::Failed:
        cornerLabel->setStyleSheet(QStringLiteral("background: rgba(170,0,0,210); color: white;"));
        break;
    case PictureAge::Level::Old:
        cornerLabel->setStyleSheet(QStringLiteral("background: rgba(230,150,0,220); color: black;"));
        break;
    case PictureAge::Level::Fresh:
        cornerLabel->setStyleSheet(QStringLiteral("background: rgba(0,0,0,150); color: white;"));
        break;
    }
    cornerLabel->setVisible(!cornerLabel->text().isEmpty());
    cornerLabel->adjustSize();
    cornerLabel->move(m_form.width() - cornerLabel->width() - 12, 12);
    cornerLabel->raise();
}
