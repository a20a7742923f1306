#include "core/ConnectionMonitor.h"

ConnectionMonitor::ConnectionMonitor(LiveSettings& settings, ConnectionProbe& probe, MessageBoxes& messages,
                                     Indicator indicator)
    : m_settings(settings), m_probe(probe), m_messages(messages), m_indicator(std::move(indicator))
{
}

void ConnectionMonitor::checkConnection()
{
    const ConnectionProbe::State state = m_probe.query();
    if (!state.connected) {
        if (!m_indicatorDown) {
            m_indicator.showPicture(Picture::Red);
            m_indicatorDown = true;
        }
        return;
    }
    if (m_indicatorDown) {
        m_indicator.showPicture(Picture::Green);
        m_indicatorDown = false;
    }
    m_viaModem = state.viaModem;
}

void ConnectionMonitor::activate()
{
    if (functionsOn()) {
        checkConnection();
    } else if (!m_indicatorDown) {
        m_indicatorDown = true;
        m_indicator.showPicture(Picture::Grey);
        m_indicator.stopPoll();
    }
}

void ConnectionMonitor::click()
{
    if (!functionsOn()) {
        m_messages.show(QStringLiteral("iNet Functions Are Not Configured\nClick The -Menu- Button And\n"
                                       "Then -INet Functions- To Change."),
                        MessageBoxes::Buttons::Ok);
        return;
    }
    const ConnectionProbe::State state = m_probe.query();
    if (state.connected) {
        m_messages.show(QStringLiteral("You Are CONNECTED To The Internet"), MessageBoxes::Buttons::Ok);
        m_viaModem = state.viaModem;
    } else if (m_viaModem || m_messages.show(QStringLiteral("You Are NOT CONNECTED To The Internet\n"
                                                            "Do You Want An iNet Dial-Up Window?"),
                                             MessageBoxes::Buttons::YesNo) == MessageBoxes::Answer::Yes) {
        if (const QString failure = m_probe.autodial(); !failure.isEmpty()) {
            m_messages.show(failure, MessageBoxes::Buttons::Ok);
        }
    }
}

void ConnectionMonitor::redialCheck()
{
    const ConnectionProbe::State state = m_probe.query();
    if (state.connected) {
        m_viaModem = state.viaModem;
    } else if (m_viaModem) {
        m_probe.autodial();
    }
}

void ConnectionMonitor::switchForNextStart()
{
    const QString question =
        QStringLiteral("InternetConnectionState Detection Functions Are\n") +
        (functionsOn() ? QStringLiteral("Currently Enabled. Do You Want To Disable Them?")
                       : QStringLiteral("Currently Disabled. Do You Want To Enable Them?"));
    if (m_messages.show(question, MessageBoxes::Buttons::YesNoCancel) != MessageBoxes::Answer::Yes) {
        return;
    }
    QString first;
    if (functionsOn()) {
        m_settings.INetDisabledNext = 1;
        first = QStringLiteral("iNet Functions Will Be Disabled");
    } else {
        m_settings.INetDisabledNext = 0;
        first = QStringLiteral("iNet Functions Will Be Enabled");
    }
    m_messages.show(first + QStringLiteral(" The Next Time\nThat You Start The Skyvane"),
                    MessageBoxes::Buttons::Ok);
}
