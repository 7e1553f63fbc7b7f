#include "shell/LiveUpdate.h"

#include "platform/Preferences.h"

namespace plotwell {

LiveUpdate::LiveUpdate(Preferences &preferences, QObject *parent)
    : QObject(parent), m_preferences(preferences),
      m_enabled(preferences.value(QLatin1String(kLiveUpdateKey)) == QStringLiteral("1"))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &LiveUpdate::redrawDue);
}

void LiveUpdate::setEnabled(bool enabled)
{
    if (!enabled)
        m_timer.stop();
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    m_preferences.setValue(QLatin1String(kLiveUpdateKey),
                           enabled ? QStringLiteral("1") : QStringLiteral("0"));
    m_preferences.sync();
    Q_EMIT enabledChanged(enabled);
}

void LiveUpdate::noteEdit()
{
    if (m_enabled)
        m_timer.start();
}

} // namespace plotwell
