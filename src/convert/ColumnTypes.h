#pragma once

#include "convert/ConversionSettings.h"

namespace plotwell {
class ChartGrid;
struct AppState;
} // namespace plotwell

namespace plotwell::convert {

/// The column type set-up that an import runs: the table name and the generated key column,
/// and "VARCHAR(255)" as the type of every titled row that has none.
void initializeDataTypes(ChartGrid &grid);

/// The SQL type of column `column` (from 1): the parent and position texts of row column+1.
[[nodiscard]] QString getDataType(const ChartGrid &grid, int column);

/// What the converters need of the grid and the appearance settings, copied so that a
/// conversion thread never reads the grid.
[[nodiscard]] ConversionSettings conversionSettings(const ChartGrid &grid, const AppState &state,
                                                    int htmlWidth);

} // namespace plotwell::convert
