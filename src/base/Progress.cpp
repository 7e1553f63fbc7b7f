#include "base/Progress.h"

#include "base/AppState.h"

#include <utility>

namespace plotwell {

ProgressMonitor::ProgressMonitor(AppState &state, QObject *parent) : QObject(parent), m_state(state)
{
    m_display.setInterval(200);
    m_viewCheck.setInterval(1000);
    connect(&m_display, &QTimer::timeout, this, &ProgressMonitor::showActivity);
    connect(&m_viewCheck, &QTimer::timeout, this, &ProgressMonitor::checkProgressView);
}

void ProgressMonitor::startDisplay()
{
    m_display.start();
}

void ProgressMonitor::startViewCheck()
{
    m_viewCheck.start();
}

QString ProgressMonitor::doneLabel(int percent)
{
    return QStringLiteral("%1\uFF05 done").arg(percent < 1 ? 0 : percent);
}

void ProgressMonitor::followPercent(std::function<int()> percent)
{
    m_follow = std::move(percent);
    // The bar starts from the operation's own figure, not from whatever the last one left.
    if (m_follow)
        currentBarValue = m_follow();
}

void ProgressMonitor::offerCancel(std::function<void()> cancel)
{
    m_cancel = std::move(cancel);
    Q_EMIT cancellableChanged(bool(m_cancel));
}

void ProgressMonitor::cancel()
{
    if (const std::function<void()> cancel = std::exchange(m_cancel, {})) {
        Q_EMIT cancellableChanged(false);
        cancel();
    }
}

void ProgressMonitor::showActivity()
{
    if (m_follow)
        currentBarValue = m_follow();
    int percent = currentBarValue.load();
    if (percent < 1)
        percent = 0;
    m_state.barValue = percent;
    Q_EMIT activity(percent, doneLabel(percent));
}

void ProgressMonitor::checkProgressView()
{
    // A chart load finishing meanwhile must not hide the view of a running conversion.
    if (isProgressDone.load() && !m_follow)
        Q_EMIT progressViewHidden();
}

void ProgressMonitor::showWorking(int value)
{
    isProgressDone = false;
    Q_EMIT progressViewShown(QStringLiteral("Working.."), value);
}

} // namespace plotwell
