#include "base/Log.h"

namespace plotwell {

Q_LOGGING_CATEGORY(lcPlotwell, "plotwell")

void diag(const QString &line)
{
    qCInfo(lcPlotwell).noquote() << line;
}

} // namespace plotwell
