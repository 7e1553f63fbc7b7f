#include "base/Version.h"

namespace plotwell {

QString applicationName()
{
    return QStringLiteral("Plotwell");
}

QString applicationVersion()
{
    return QStringLiteral(PLOTWELL_VERSION);
}

} // namespace plotwell
