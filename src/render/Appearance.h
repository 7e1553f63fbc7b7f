#pragma once

#include "base/AppState.h"

#include <QRect>
#include <QString>

#include <optional>
#include <span>

namespace plotwell {

/// A row of the chart-type table: the chart-type label's text, the code sent as `ctype`, and
/// the field layout it asks for.
struct ChartType
{
    const char *label;
    const char *code;
    bool multiValue;      // several values per row, else one
    bool hidesAxisLabels; // the X and Y label fields are hidden
};

[[nodiscard]] std::span<const ChartType> chartTypes();

/// The org chart's chart-type label, set when the view loads.
inline const QString kOrgChartTypeLabel = QStringLiteral("3D COLUMN");

/// The chart type of a label text, compared exactly, first match wins; nothing for any other
/// text (the code then stays as it was).
[[nodiscard]] const ChartType *chartTypeForLabel(const QString &label);
[[nodiscard]] std::optional<QString> getCtype(const QString &label);

enum class AppearanceSetting { FontFamily, FontSize, NodeSize, NodeRadius, MultiColour };

/// A combo box selection: stores the item's text (the multicolour combo: its index as decimal
/// text) and answers whether to post the refresh request. A combo without a selection
/// (\a index below 0) changes nothing.
[[nodiscard]] bool applyComboChange(AppState &state, AppearanceSetting setting,
                                    const QString &itemValue, int index);

/// Where the single-colour cover goes for multicolour index \a index: over the row colour
/// column for 0 (single colour), out of sight otherwise.
[[nodiscard]] QRect singleColorViewFrame(int index);

} // namespace plotwell
