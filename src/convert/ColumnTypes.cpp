#include "convert/ColumnTypes.h"

#include "base/AppState.h"
#include "model/ChartGrid.h"

namespace plotwell::convert {

bool hasColumnLabels(const ChartGrid &grid)
{
    return !grid.title(2).isEmpty() && !grid.title(3).isEmpty();
}

QString getDataType(const ChartGrid &grid, int column)
{
    if (column < 1 || column > kRowCount - 1)
        return QStringLiteral("VARCHAR(255)");
    return grid.parent(column + 1) + QLatin1Char(' ') + grid.position(column + 1);
}

ConversionSettings conversionSettings(const ChartGrid &grid, const AppState &state, int htmlWidth)
{
    ConversionSettings settings;
    settings.tableName = grid.setting(ChartSetting::ChartTitle);
    for (int column = 1; column <= kRowCount - 1; ++column)
        settings.columnTypes.append(getDataType(grid, column));
    settings.hexBackBg = grid.setting(ChartSetting::HexBackBg);
    settings.hex1 = grid.colour(1);
    settings.hexLine = grid.setting(ChartSetting::HexLine);
    settings.hexLabels = grid.setting(ChartSetting::HexLabels);
    settings.hexItems = grid.setting(ChartSetting::HexItems);
    settings.appearance = state.appearance;
    // A window not laid out yet reports no width: the table keeps its default one.
    if (htmlWidth > 0)
        settings.htmlWidth = htmlWidth;
    return settings;
}

} // namespace plotwell::convert
