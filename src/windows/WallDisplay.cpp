#include "windows/WallDisplay.h"

#include "core/SiteFeed.h"
#include "core/SiteListFile.h"
#include "core/Watch.h"
#include "platform/BrowserControl.h"
#include "windows/AreaWatch.h"
#include "windows/WallLoop.h"

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

WallDisplay::WallDisplay(Parts parts, const CommandLine& options, QObject* parent)
    : QObject(parent), m_parts(std::move(parts))
{
    BrowserControl* browser = m_parts.browser;
    connect(browser, &BrowserControl::downloadCompleted, this, &WallDisplay::pageDone);
    connect(m_parts.areas, &AreaWatch::alertShown, this, &WallDisplay::showCorner);
    connect(&m_parts.feed, &SiteFeed::stallChanged, this, &WallDisplay::showCorner);
    connect(browser, &BrowserControl::pageSaid, this, [this](const QString& text) {
        m_pageSaid = text;
        m_loadsSinceSaid = 0;
        showCorner();
    });
    // Nobody sets the timer on a wall display: every page it shows is watched.
    m_parts.watch.setAlwaysWatched(true);
    connect(&m_parts.watch, &Watch::asleepChanged, this, &WallDisplay::sleepOrWake);
    if (options.kiosk) {
        enterKiosk(options.screen);
        if (options.loop > 0 && m_parts.frames != nullptr) {
            m_loop = new WallLoop({browser, m_parts.frames, m_parts.preferences}, options.loop);
        }
    }
    if (options.rotate > 0) {
        m_rotateTimer = new QTimer(this);
        m_rotateTimer->setObjectName(QStringLiteral("rotateTimer"));
        m_rotateMinutes = options.rotate;
        m_rotateTimer->setInterval(options.rotate * 60 * 1000);
        m_rotateTimer->setTimerType(Qt::PreciseTimer);
        connect(m_rotateTimer, &QTimer::timeout, this, &WallDisplay::nextSite);
        if (!m_parts.watch.asleep()) {
            m_rotateTimer->start();
            QTimer::singleShot(0, this, &WallDisplay::nextSite); // the first saved site at once
        }
    }
}

void WallDisplay::sleepOrWake(bool asleep)
{
    if (m_rotateTimer != nullptr) {
        if (asleep) {
            m_rotateTimer->stop();
        } else if (m_siteName.isEmpty()) {
            QTimer::singleShot(0, this, &WallDisplay::showNextSite); // it slept from the start
        } else {
            m_rotateTimer->start(); // the site on screen has its turn afresh
        }
    }
    if (m_cornerLabel != nullptr) { // in kiosk mode: the desktop may blank the screen while it sleeps
        if (asleep) {
            m_inhibitor.reset();
        } else {
            holdScreen();
        }
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
    m_parts.showPageOnly(screen >= 0 && screen < screens.size() ? screens[screen]
                                                                : QGuiApplication::primaryScreen());
    m_cornerLabel = new QLabel(&m_parts.window);
    m_cornerLabel->setObjectName(QStringLiteral("cornerLabel"));
    m_cornerLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_cornerLabel->setMargin(6);
    m_pointerTimer = new QTimer(this);
    m_pointerTimer->setSingleShot(true);
    m_pointerTimer->setInterval(PointerStillMs);
    connect(m_pointerTimer, &QTimer::timeout, this, [this] {
        if (!m_pointerHidden) {
            QApplication::setOverrideCursor(Qt::BlankCursor);
            m_pointerHidden = true;
        }
    });
    m_pointerTimer->start();
    qApp->installEventFilter(this);
    if (!m_parts.watch.asleep()) {
        holdScreen();
    }
    m_parts.browser->setUnattended(true); // nobody is there to answer a page's dialog
    m_ageTimer = new QTimer(this);
    m_ageTimer->setInterval(30 * 1000);
    connect(m_ageTimer, &QTimer::timeout, this, &WallDisplay::showCorner);
    m_ageTimer->start();
    showCorner();
}

void WallDisplay::holdScreen()
{
    if (!m_inhibitor) {
        m_inhibitor = std::make_unique<ScreenSaverInhibitor>(tr("Showing a wall display"),
                                                             m_parts.window.windowHandle());
    }
}

bool WallDisplay::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && m_pointerTimer != nullptr) {
        if (m_pointerHidden) {
            QApplication::restoreOverrideCursor();
            m_pointerHidden = false;
        }
        m_pointerTimer->start();
    }
    if (event->type() == QEvent::Resize && watched == &m_parts.window) {
        QTimer::singleShot(0, this, &WallDisplay::showCorner);
    }
    return QObject::eventFilter(watched, event);
}

bool WallDisplay::showNextSite()
{
    if (m_rotateTimer == nullptr) {
        return false;
    }
    nextSite();
    m_rotateTimer->start();
    return true;
}

void WallDisplay::nextSite()
{
    const std::optional<SiteRecord> site =
        m_parts.rotation.next(SiteListFile(m_parts.siteListPath).readAll());
    if (!site) {
        if (!std::exchange(m_saidNoSites, true)) {
            std::fputs("skyvane: --rotate: there are no saved sites with an address to show\n", stderr);
        }
        return;
    }
    m_siteName = site->Name;
    // The site's own turn where it has one, else the rotation's.
    const Preferences::Area* own = m_parts.watch.siteSettings(site->URL);
    m_rotateTimer->setInterval((own != nullptr && own->turnMinutes > 0 ? own->turnMinutes : m_rotateMinutes) *
                               60 * 1000);
    m_parts.browser->navigateCovered(site->URL);
    showCorner();
}

void WallDisplay::pageDone()
{
    m_failed = m_parts.browser->refreshFailed();
    if (!m_pageSaid.isEmpty() && ++m_loadsSinceSaid > 1) {
        m_pageSaid.clear(); // said for one refresh
    }
    showCorner();
}

PictureAge::Level WallDisplay::pictureLevel() const
{
    const BrowserControl* browser = m_parts.browser;
    return PictureAge::level(browser->pictureAgeMs(), m_parts.watch.runningInterval(), m_failed,
                             m_parts.feed.stalled(browser->pictureAddress()));
}

QString WallDisplay::cornerText() const
{
    const BrowserControl* browser = m_parts.browser;
    const QString address = browser->pictureAddress();
    const QDateTime checked = browser->pictureTime(); // only a good load sets it
    const QDateTime changed = m_parts.feed.changedTime(address, checked);
    QStringList parts;
    if (m_parts.areas->alertActive()) {
        parts << QStringLiteral("ALERT");
    }
    if (!m_siteName.isEmpty()) {
        parts << m_siteName;
    }
    const qint64 age = m_parts.feed.changedAgeMs(address, checked, browser->pictureAgeMs());
    const QString picture = PictureAge::text(
        changed.isValid() ? changed.toString(QStringLiteral("HH:mm")) : QString(), age, pictureLevel());
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
    if (m_cornerLabel == nullptr) {
        return;
    }
    m_cornerLabel->setText(cornerText());
    const bool alert = m_parts.areas->alertActive(); // storm colours in the alert box: red
    switch (alert ? PictureAge::Level::Failed : pictureLevel()) {
    case PictureAge::Level::Failed:
        m_cornerLabel->setStyleSheet(QStringLiteral("background: rgba(170,0,0,210); color: white;"));
        break;
    case PictureAge::Level::Old:
    case PictureAge::Level::Stalled:
        m_cornerLabel->setStyleSheet(QStringLiteral("background: rgba(230,150,0,220); color: black;"));
        break;
    case PictureAge::Level::Fresh:
        m_cornerLabel->setStyleSheet(QStringLiteral("background: rgba(0,0,0,150); color: white;"));
        break;
    }
    m_cornerLabel->setVisible(!m_cornerLabel->text().isEmpty());
    m_cornerLabel->adjustSize();
    m_cornerLabel->move(m_parts.window.width() - m_cornerLabel->width() - 12, 12);
    m_cornerLabel->raise();
}
