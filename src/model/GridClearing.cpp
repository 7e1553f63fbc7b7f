#include "model/GridClearing.h"

namespace plotwell {

void clearFields(ChartGrid &grid)
{
    for (int row = 1; row <= kRowCount; ++row) {
        grid.setTitle(row, QString());
        grid.setParent(row, QString());
    }
    grid.setSetting(ChartSetting::ChartTitle, QString());
    grid.setSetting(ChartSetting::XaxisLabel, QString());
    grid.setSetting(ChartSetting::YaxisLabel, QString());
}

} // namespace plotwell
