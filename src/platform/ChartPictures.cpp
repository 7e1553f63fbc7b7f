#include "platform/ChartPictures.h"

#include <QStringList>

namespace plotwell {

QSizeF parseChartSize(const QString &answer)
{
    const QStringList parts = answer.simplified().split(QLatin1Char(' '));
    if (parts.size() != 2)
        return {};
    bool okWidth = false;
    bool okHeight = false;
    const double width = parts[0].toDouble(&okWidth);
    const double height = parts[1].toDouble(&okHeight);
    if (!okWidth || !okHeight || !(width > 0) || !(height > 0))
        return {};
    return {width, height};
}

} // namespace plotwell
