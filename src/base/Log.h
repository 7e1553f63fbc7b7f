#pragma once

#include <QLoggingCategory>
#include <QString>

namespace plotwell {

Q_DECLARE_LOGGING_CATEGORY(lcPlotwell)

/// Writes one diagnostic line to the `plotwell` log category. The lines are for people
/// reading the log, not an interface.
void diag(const QString &line);

/// Turns the diagnostic lines (and the page's console) on, as `--verbose` does, or off, as a
/// normal run has them. QT_LOGGING_RULES overrides either.
void setDiagnosticsShown(bool shown);

/// A flag as the diagnostic lines print it.
[[nodiscard]] inline QString yesNo(bool flag)
{
    return flag ? QStringLiteral("YES") : QStringLiteral("NO");
}

} // namespace plotwell
