#pragma once

#include "model/ChartGrid.h"

namespace plotwell {

/// Empties the title and parent of all 93 rows, then the chart title and both axis labels.
/// Positions, colours, the value fields and the appearance settings stay as they are.
void clearFields(ChartGrid &grid);

} // namespace plotwell
