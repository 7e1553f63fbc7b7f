#include "render/Appearance.h"

#include "base/Log.h"

namespace plotwell {

namespace {

constexpr ChartType kChartTypes[] = {
    {"PIE CHART", "pie", false, true},         {"RING PIE CHART", "ring", false, true},
    {"3D RING PIE", "3dring", false, true},    {"3D PIE CHART", "3dpie", false, true},
    {"SCATTER PLOT", "scatter", false, false}, {"3D BAR CHART", "3dbar", false, true},
    {"3D COLUMN", "3dcol", false, true},       {"AVG COMBO", "combo", true, false},
    {"LINE COMBO", "linecombo", true, false},  {"SPLINE COMBO", "wavecombo", true, false},
    {"AREA GRAPH", "areacombo", true, false},  {"COLUMN COMBO", "columncombo", true, false},
    {"BAR COMBO", "barcombo", true, false},    {"STACKED BAR", "stackedbar", true, false},
};

} // namespace

std::span<const ChartType> chartTypes()
{
    return kChartTypes;
}

const ChartType *chartTypeForLabel(const QString &label)
{
    for (const ChartType &type : kChartTypes) {
        if (label == QLatin1String(type.label))
            return &type;
    }
    return nullptr;
}

std::optional<QString> getCtype(const QString &label)
{
    if (const ChartType *type = chartTypeForLabel(label))
        return QString::fromLatin1(type->code);
    return std::nullopt;
}

bool applyComboChange(AppState &state, AppearanceSetting setting, const QString &itemValue,
                      int index)
{
    if (index < 0)
        return false;
    switch (setting) {
    case AppearanceSetting::FontFamily:
        state.appearance.fontFamily = itemValue;
        diag(QStringLiteral("SELECTED FONT.....................................%1").arg(itemValue));
        break;
    case AppearanceSetting::FontSize:
        state.appearance.fontSize = appearanceNumber(itemValue).value_or(state.appearance.fontSize);
        break;
    case AppearanceSetting::NodeSize:
        state.appearance.nodeWidth =
            appearanceNumber(itemValue).value_or(state.appearance.nodeWidth);
        break;
    case AppearanceSetting::NodeRadius:
        state.appearance.cornerRadius =
            appearanceNumber(itemValue).value_or(state.appearance.cornerRadius);
        break;
    case AppearanceSetting::MultiColour:
        state.appearance.colourMode = index;
        break;
    }
    diag(QStringLiteral("SELECTION CHANGED.....................................%1").arg(index));
    return prepareRefreshRequest(state);
}

QRect singleColorViewFrame(int index)
{
    return index == 0 ? QRect(0, 96, 50, 2392) : QRect(-100, 96, 50, 22);
}

} // namespace plotwell
