#include "windows/AreaWatch.h"

#include "core/AddressRules.h"
#include "core/AppState.h"
#include "core/Notifier.h"
#include "core/Preferences.h"
#include "core/ProgramDirectory.h"
#include "core/ShownTime.h"
#include "core/SoundPlayer.h"
#include "core/Watch.h"
#include "platform/BrowserControl.h"
#include "platform/FrameRecorder.h"
#include "windows/AlertOutline.h"
#include "windows/AreaPicker.h"

#include <QActionGroup>
#include <QBuffer>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

namespace {

const char* const AlertSound = "Alert.wav";

QString timeOf(const QDateTime& utc)
{
    return ShownTime::of(utc);
}

} // namespace

AreaWatch::AreaWatch(Parts parts, QMenu* menu, QAction* before, QObject* parent)
    : QObject(parent), m_parts(parts)
{
    const auto item = [menu, before](const char* name, const QString& caption) {
        auto* a = new QAction(caption, menu);
        a->setObjectName(QString::fromLatin1(name));
        menu->insertAction(before, a);
        return a;
    };
    auto* area = new QActionGroup(this);
    m_watchArea = area->addAction(item("watchAreaItem", QStringLiteral("Watch &Area...")));
    m_wholePage = area->addAction(item("wholePageItem", QStringLiteral("Whole Pa&ge")));
    menu->insertSeparator(before);
    m_alertBox = item("alertBoxItem", QStringLiteral("Alert &Box..."));
    m_levels = new QMenu(QStringLiteral("Alert O&n"), menu);
    m_levels->setObjectName(QStringLiteral("alertLevelMenu"));
    menu->insertMenu(before, m_levels);
    auto* levels = new QActionGroup(this);
    using L = StormColours::Level;
    for (const auto& [level, caption] : {std::pair{L::AnyRain, QStringLiteral("&Any Rain")},
                                         {L::HeavyRain, QStringLiteral("&Heavy Rain")},
                                         {L::SevereStorms, QStringLiteral("&Severe Storms")}}) {
        QAction* a = levels->addAction(m_levels->addAction(caption));
        a->setObjectName(StormColours::nameOf(level) + QStringLiteral("LevelItem"));
        a->setData(int(level));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, level] { setLevel(level); });
    }
    m_noAlert = item("noAlertItem", QStringLiteral("&No Alert"));
    menu->insertSeparator(before);
    for (QAction* a : {m_watchArea, m_wholePage, m_alertBox, m_noAlert}) {
        a->setCheckable(true);
    }
    connect(m_watchArea, &QAction::triggered, this, &AreaWatch::pickArea);
    connect(m_wholePage, &QAction::triggered, this, &AreaWatch::wholePage);
    connect(m_alertBox, &QAction::triggered, this, &AreaWatch::pickAlertBox);
    connect(m_noAlert, &QAction::triggered, this, &AreaWatch::noAlert);
    connect(menu, &QMenu::aboutToShow, this, &AreaWatch::showMenuState);

    for (const Preferences::Area& a : m_parts.watch.allSiteSettings()) {
        m_parts.browser->setWatchArea(a.address, a.rect);
        if (m_parts.frames != nullptr) {
            m_parts.frames->setAlert(a.address, a.alertBox, int(StormColours::levelNamed(a.alertLevel)),
                                     percent());
        }
    }
    if (m_parts.frames != nullptr) {
        connect(m_parts.frames, &FrameRecorder::alertChanged, this, &AreaWatch::alertChanged);
    }
    m_outline = new AlertOutline(m_parts.browser);
    m_alertLabel = new QLabel(m_parts.status);
    m_alertLabel->setObjectName(QStringLiteral("alertLabel"));
    m_alertLabel->setStyleSheet(QStringLiteral("#alertLabel { color: #c00000; font-weight: bold; }"));
    m_parts.status->addPermanentWidget(m_alertLabel);
    m_alertLabel->hide();
    connect(m_parts.browser, &BrowserControl::navigationCompleted, this, &AreaWatch::showOutline);
    connect(m_parts.browser, &BrowserControl::pictureShown, this,
            [this](const QImage& picture, const QString& address) {
                const Preferences::Area* a = m_parts.watch.siteSettings(address);
                const bool boxed = a != nullptr && !a->alertBox.isEmpty(); // else none is held
                m_picture = boxed ? picture : QImage();                    // shared, not copied
                m_pictureAddress = address;
            });
}

QByteArray AreaWatch::alertBoxPng(const QString& address) const
{
    const Preferences::Area* a = m_parts.watch.siteSettings(address);
    if (a == nullptr || a->alertBox.isEmpty() || m_picture.isNull() ||
        !AddressRules::samePage(m_pictureAddress, address)) {
        return {};
    }
    // The box as the frame thread measured it: fractions of the picture of the view.
    const QRectF& f = a->alertBox;
    const QRect box = QRect(qRound(f.x() * m_picture.width()), qRound(f.y() * m_picture.height()),
                            qRound(f.width() * m_picture.width()), qRound(f.height() * m_picture.height()))
                          .intersected(m_picture.rect());
    QByteArray png;
    QBuffer buffer(&png);
    if (box.isEmpty() || !buffer.open(QIODevice::WriteOnly) || !m_picture.copy(box).save(&buffer, "PNG")) {
        return {};
    }
    return png;
}

QString AreaWatch::alertCaption() const
{
    return m_active ? tr("Storm alert since %1").arg(timeOf(m_alertSince)) : QString();
}

int AreaWatch::percent() const
{
    return m_parts.state.Prefs.alertPercent;
}

QString AreaWatch::address() const
{
    return m_parts.browser->pictureAddress();
}

void AreaWatch::showMenuState()
{
    const Preferences::Area* a = m_parts.watch.siteSettings(address());
    const bool area = a != nullptr && !a->rect.isEmpty();
    const bool alert = a != nullptr && !a->alertBox.isEmpty();
    m_watchArea->setChecked(area);
    m_wholePage->setChecked(!area);
    m_alertBox->setChecked(alert);
    m_noAlert->setChecked(!alert);
    const StormColours::Level level = StormColours::levelNamed(a != nullptr ? a->alertLevel : QString());
    for (QAction* l : m_levels->actions()) {
        l->setChecked(l->data().toInt() == int(level));
    }
    m_alertBox->setEnabled(m_parts.frames != nullptr);
}

void AreaWatch::pickArea()
{
    const QString shown = address();
    auto* picker = new AreaPicker(m_parts.browser);
    connect(picker, &AreaPicker::picked, this, [this, shown](const QRect& rect) {
        m_parts.browser->pageRectOf(rect, [this, shown](const QRectF& page) {
            m_parts.watch.changeSiteSettings(shown, [&page](Preferences::Area& a) { a.rect = page; });
            m_parts.browser->setWatchArea(shown, page);
        });
    });
}

void AreaWatch::wholePage()
{
    const QString shown = address();
    m_parts.watch.changeSiteSettings(shown, [](Preferences::Area& a) { a.rect = QRectF(); });
    m_parts.browser->setWatchArea(shown, {});
}

void AreaWatch::pickAlertBox()
{
    if (m_parts.frames == nullptr) {
        return;
    }
    const QString shown = address();
    auto* picker = new AreaPicker(m_parts.browser);
    connect(picker, &AreaPicker::picked, this, [this, shown](const QRect& rect) {
        const QSizeF view = m_parts.browser->size();
        const QRectF box(rect.x() / view.width(), rect.y() / view.height(), rect.width() / view.width(),
                         rect.height() / view.height());
        m_parts.watch.changeSiteSettings(shown, [&box](Preferences::Area& a) { a.alertBox = box; });
        const Preferences::Area* a = m_parts.watch.siteSettings(shown); // none for an empty box
        m_parts.frames->setAlert(
            shown, box,
            int(StormColours::levelNamed(a != nullptr ? a->alertLevel : Preferences::Area().alertLevel)),
            percent());
        showOutline();
        QString words = tr("Storm alert: the box is measured at each load while the page is watched (the "
                           "refresh timer on).");
        if (m_parts.alertSound == nullptr || !m_parts.alertSound->canPlay()) {
            words += tr(" No audio device detected: the alert will be silent.");
        }
        m_parts.status->showMessage(words);
    });
}

void AreaWatch::setLevel(StormColours::Level level)
{
    const QString shown = address();
    m_parts.watch.changeSiteSettings(
        shown, [level](Preferences::Area& a) { a.alertLevel = StormColours::nameOf(level); });
    const Preferences::Area* a = m_parts.watch.siteSettings(shown);
    if (a != nullptr && !a->alertBox.isEmpty() && m_parts.frames != nullptr) {
        m_parts.frames->setAlert(a->address, a->alertBox, int(level), percent());
    }
}

void AreaWatch::noAlert()
{
    const QString shown = address();
    m_parts.watch.changeSiteSettings(shown, [](Preferences::Area& a) { a.alertBox = QRectF(); });
    if (m_parts.frames != nullptr) {
        m_parts.frames->setAlert(shown, {}, 0);
    }
    if (m_active && AddressRules::samePage(m_alertAddress, shown)) {
        m_active = false;
        if (m_alertLabel != nullptr) {
            m_alertLabel->hide();
        }
        emit alertShown(false);
    }
    showOutline();
}

void AreaWatch::alertChanged(const QString& address, bool active, const QDateTime& since)
{
    const QString words = active ? tr("Storm colours in the alert box since %1").arg(timeOf(since))
                                 : tr("All clear at %1").arg(timeOf(since));
    m_parts.status->showMessage(words);
    if (m_parts.notifier != nullptr) {
        m_parts.notifier->notify({active ? Notifier::Kind::StormAlert : Notifier::Kind::AllClear,
                                  active ? tr("Storm alert") : tr("All clear"),
                                  words + QStringLiteral("\n") + AddressRules::withoutCredentials(address),
                                  address, active ? alertBoxPng(address) : QByteArray()});
    }
    if (active && m_parts.alertSound != nullptr) {
        m_parts.alertSound->playFile(
            ProgramDirectory::file(m_parts.state.AppDir, QString::fromLatin1(AlertSound)));
    }
    m_active = active;
    m_alertAddress = address;
    m_alertSince = since;
    if (m_alertLabel != nullptr) { // the status bar's own text is the load's; this one stays
        m_alertLabel->setText(words);
        m_alertLabel->setVisible(active);
    }
    showOutline();
    emit alertShown(active);
}

void AreaWatch::showOutline()
{
    if (m_outline == nullptr) {
        return;
    }
    const QString shown = address();
    const Preferences::Area* a = m_parts.watch.siteSettings(shown);
    m_outline->showBox(a != nullptr ? a->alertBox : QRectF(),
                       m_active && AddressRules::samePage(m_alertAddress, shown));
}
