#pragma once

#include <QObject>
#include <QTimer>

namespace plotwell {

class Preferences;

/// "Update as I edit": once switched on, the chart is redrawn about 300 ms after the last edit,
/// so a burst of typing gives one redraw. Off by default; the choice is kept in the preferences.
/// The redraw replaces the chart on show instead of adding a page to the viewer's history, so
/// Previous Chart still goes back to the chart drawn before the edits.
class LiveUpdate : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDelayMs = 300;

    explicit LiveUpdate(Preferences &preferences, QObject *parent = nullptr);

    [[nodiscard]] bool isEnabled() const { return m_enabled; }
    /// Switches it on or off and remembers the choice. Switching off drops a redraw not yet due.
    void setEnabled(bool enabled);

    /// An edit happened: (re)starts the wait when switched on.
    void noteEdit();
    [[nodiscard]] bool isPending() const { return m_timer.isActive(); }

Q_SIGNALS:
    /// The wait after the last edit is over: redraw without a history entry.
    void redrawDue();
    void enabledChanged(bool enabled);

private:
    Preferences &m_preferences;
    QTimer m_timer;
    bool m_enabled = false;
};

/// Preference key of the "Update as I edit" choice: "1" on, anything else off.
inline constexpr const char *kLiveUpdateKey = "updateAsIEdit";

} // namespace plotwell
