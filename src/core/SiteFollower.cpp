#include "core/SiteFollower.h"

#include "core/AddressRules.h"
#include "core/UpdateProbe.h"
#include "core/Watch.h"

#include <QTimer>
#include <QUrl>

namespace {

constexpr int NoisyChanges = 2; // changes without a new picture before an address is asked no more

} // namespace

SiteFollower::SiteFollower(Parts parts, int periodMs, QObject* parent)
    : QObject(parent), m_parts(std::move(parts)), m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("followTimer"));
    m_timer->setInterval(periodMs);
    connect(m_timer, &QTimer::timeout, this, &SiteFollower::check);
    m_timer->start();
}

bool SiteFollower::followed(const QString& address) const
{
    if (m_followAll) {
        return true;
    }
    const Preferences::Area* settings = m_parts.watch.siteSettings(address);
    return settings != nullptr && settings->follow;
}

void SiteFollower::setFollowed(const QString& address, bool on)
{
    if (address.isEmpty()) {
        return;
    }
    m_parts.watch.changeSiteSettings(address, [on](Preferences::Area& a) { a.follow = on; });
    m_saidOf.remove(address); // asked for anew: told anew
}

void SiteFollower::pictureCompared(bool newPicture)
{
    const QString target = std::exchange(m_lastChangedTarget, {});
    if (target.isEmpty()) {
        return;
    }
    m_noisy[target] = newPicture ? 0 : m_noisy.value(target) + 1;
}

void SiteFollower::pageLoaded()
{
    if (m_parts.page() == m_page && !m_last.isEmpty()) {
        return; // what the site said last is still the one to compare with
    }
    ask();
}

void SiteFollower::check()
{
    // The period's question comes at least nine tenths of a period after the last one (a first
    // load's question may have come just before).
    if (m_lastAsked.isValid() && m_lastAsked.elapsed() < m_timer->interval() * 9 / 10) {
        return;
    }
    ask();
}

void SiteFollower::ask()
{
    const QString page = m_parts.page();
    if (page != m_page) { // another page: what was learnt of the last one is no use
        m_page = page;
        m_last.clear();
        m_noisy.clear();
        m_lastChangedTarget.clear();
        m_pending = 0;
        ++m_round; // the answers still to come are of the page before
    }
    if (m_pending > 0 || page.isEmpty() || !m_parts.watch.watched() || !followed(page) || m_parts.busy()) {
        return;
    }
    QStringList targets;
    for (const QString& address : {page, m_parts.picture()}) {
        if (!address.isEmpty() && !targets.contains(address) && AddressRules::isWeb(QUrl(address)) &&
            m_noisy.value(address) < NoisyChanges) {
            targets.append(address);
        }
    }
    m_roundComparable = false;
    m_roundCannot = targets.isEmpty(); // a file, or only answers that change by themselves
    m_changedTarget.clear();
    if (targets.isEmpty()) {
        roundEnded();
        return;
    }
    m_pending = int(targets.size());
    m_lastAsked.start();
    const int round = ++m_round;
    for (const QString& target : targets) {
        const UpdateCheck::Answer last = m_last.value(target);
        m_parts.probe.ask(
            target, UpdateCheck::howToAsk(last), last, this,
            [this, round, target](const UpdateCheck::Answer& a) { answered(round, target, a); });
    }
}

void SiteFollower::answered(int round, const QString& target, const UpdateCheck::Answer& answer)
{
    if (round != m_round) {
        return; // of a page no longer shown
    }
    const UpdateCheck::Answer last = m_last.value(target);
    const UpdateCheck::Verdict verdict = UpdateCheck::judge(last, answer);
    m_last.insert(target, UpdateCheck::kept(last, answer, verdict));
    using V = UpdateCheck::Verdict;
    m_roundComparable = m_roundComparable || (verdict != V::CannotCompare && verdict != V::Failed);
    m_roundCannot = m_roundCannot || verdict == V::CannotCompare;
    if (verdict == V::Changed && m_changedTarget.isEmpty()) {
        m_changedTarget = target;
    }
    if (--m_pending == 0) {
        roundEnded();
    }
}

void SiteFollower::roundEnded()
{
    if (!m_roundComparable) {
        if (m_roundCannot && !m_saidOf.contains(m_page)) {
            m_saidOf.insert(m_page);
            const int minutes = m_parts.watch.interval();
            emit said(tr("This site cannot be followed; it is refreshed every %1")
                          .arg(minutes == 1 ? tr("minute") : tr("%1 minutes").arg(minutes)));
        }
        return;
    }
    if (!m_changedTarget.isEmpty()) {
        m_lastChangedTarget = m_changedTarget;
        emit changeSeen();
    }
}
