#pragma once

#include <QLoggingCategory>
#include <QString>

namespace plotwell {

Q_DECLARE_LOGGING_CATEGORY(lcPlotwell)

/// Writes one diagnostic line to the `plotwell` log category. The lines are for people
/// reading the log, not an interface.
void diag(const QString &line);

/// A flag as the diagnostic lines print it.
[[nodiscard]] inline QString yesNo(bool flag)
{
    return flag ? QStringLiteral("YES") : QStringLiteral("NO");
}

} // namespace plotwell
