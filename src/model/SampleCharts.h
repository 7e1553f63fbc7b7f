#pragma once

#include "base/AppState.h"
#include "model/ChartGrid.h"
#include "platform/Alerts.h"

namespace plotwell {

inline const QString kSampleChartTitle = QStringLiteral("Sample Org Chart");

/// The question of the sample command; its answers are kFirstButton + 0 (Sample 1),
/// + 1 (Sample 2) and + 2 (Cancel).
[[nodiscard]] AlertSpec sampleChoiceAlert();
inline constexpr int kSampleOneAnswer = kFirstButton;
inline constexpr int kSampleTwoAnswer = kFirstButton + 1;

/// Clears the grid and fills it with the flat sample chart: titles and parents of rows 1-11,
/// markers of rows 1-13, the chart title "Sample Org Chart", which also becomes the chart title
/// sent. Colours, and the markers of rows 14-93, stay as they were.
void loadSampleData(ChartGrid &grid, AppState &state);

/// The multi-level sample: as the flat one, but row 3 has no parent, row 5 sits right of its
/// parent and row 9 hangs under row 3.
void loadSampleData2(ChartGrid &grid, AppState &state);

} // namespace plotwell
