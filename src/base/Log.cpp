#include "base/Log.h"

namespace plotwell {

// The diagnostic lines trace what the program did for whoever debugs it; a normal run keeps
// standard error empty, so only warnings are on until asked for.
Q_LOGGING_CATEGORY(lcPlotwell, "plotwell", QtWarningMsg)

void diag(const QString &line)
{
    qCInfo(lcPlotwell).noquote() << line;
}

void setDiagnosticsShown(bool shown)
{
    // The page's console and the web engine's start-up notes are diagnostics too. Rules from
    // QT_LOGGING_RULES are applied after these, so the environment still decides.
    QLoggingCategory::setFilterRules(
        shown ? QStringLiteral("plotwell.debug=true\nplotwell.info=true\njs.info=true")
              : QStringLiteral("js.debug=false\njs.info=false\njs.warning=false\n"
                               "qt.webenginecontext.info=false"));
}

} // namespace plotwell
