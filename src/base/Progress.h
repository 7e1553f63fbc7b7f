#pragma once

#include <QObject>
#include <QTimer>

#include <atomic>
#include <functional>

namespace plotwell {

struct AppState;

/// The progress of long operations. A conversion thread writes the percentage; the main
/// thread publishes it five times a second into the delegate's `barValue`, which the refresh
/// gates read, and hides the progress view once the chart viewer has finished a load.
class ProgressMonitor : public QObject
{
    Q_OBJECT
public:
    explicit ProgressMonitor(AppState &state, QObject *parent = nullptr);

    /// `currentBarValue`: written by a conversion thread, read on the main thread.
    std::atomic<int> currentBarValue{0};
    /// `isProgressDone`: set when the chart viewer finishes a load or a conversion ends.
    std::atomic<bool> isProgressDone{false};

    /// The repeating 0.2-second progress display.
    void startDisplay();
    /// The repeating 1.0-second progress-view check.
    void startViewCheck();

    /// One tick of the progress display (`showActivity:`).
    void showActivity();
    /// One tick of the progress-view check.
    void checkProgressView();
    /// Shows the progress view with "Working.." and the indicator at \a value; the view stays
    /// until a finished load marks the progress done.
    void showWorking(int value);

    /// While an operation keeps its percentage on its own thread (a conversion job), the
    /// display copies it from \a percent into currentBarValue on every tick, and the view check
    /// leaves the progress view alone. An empty function ends that.
    void followPercent(std::function<int()> percent);
    [[nodiscard]] bool isFollowing() const { return bool(m_follow); }

    /// While an operation can be stopped, Cancel in the progress view calls \a cancel; an empty
    /// function takes the button away.
    void offerCancel(std::function<void()> cancel);
    [[nodiscard]] bool canCancel() const { return bool(m_cancel); }
    /// Cancel in the progress view: stops the operation that offered it, once.
    void cancel();

    /// The label the progress display shows for \a percent: "%lu％ done"; anything below 1 shows
    /// as 0.
    [[nodiscard]] static QString doneLabel(int percent);

Q_SIGNALS:
    void activity(int value, const QString &label);
    void progressViewShown(const QString &label, int value);
    void progressViewHidden();
    void cancellableChanged(bool cancellable);

private:
    AppState &m_state;
    QTimer m_display;
    QTimer m_viewCheck;
    std::function<int()> m_follow;
    std::function<void()> m_cancel;
};

} // namespace plotwell
