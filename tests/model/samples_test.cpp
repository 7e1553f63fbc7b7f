#include "model/SampleCharts.h"

#include <gtest/gtest.h>

using namespace plotwell;

namespace {

// A grid with something in every field, so that what the loaders leave alone shows.
void fillEverything(ChartGrid &grid)
{
    for (int row = 1; row <= kRowCount; ++row) {
        grid.setTitle(row, QStringLiteral("T%1").arg(row));
        grid.setParent(row, QStringLiteral("P%1").arg(row));
        grid.setPosition(row, QStringLiteral("X%1").arg(row));
        grid.setColour(row, QStringLiteral("#%1").arg(row, 6, 10, QLatin1Char('0')));
    }
    for (ChartSetting s : {ChartSetting::ChartTitle, ChartSetting::XaxisLabel,
                           ChartSetting::YaxisLabel, ChartSetting::HexBackBg, ChartSetting::Ctype})
        grid.setSetting(s, QStringLiteral("kept"));
    grid.setValueField(0, QStringLiteral("42"));
}

} // namespace

// What each sample row holds is checked where the samples are rendered (DataString); here,
// what loading one leaves alone.
TEST(SampleCharts, SamplesFillRowsOneToElevenMarkersToThirteenAndKeepColours)
{
    for (int sample : {1, 2}) {
        ChartGrid grid;
        AppState state;
        fillEverything(grid);
        sample == 1 ? loadSampleData(grid, state) : loadSampleData2(grid, state);
        EXPECT_EQ(grid.parent(2), "1_Niall Brent(CEO)") << "a picker entry, not a row number";
        for (int row = 1; row <= kRowCount; ++row) {
            EXPECT_EQ(!grid.title(row).isEmpty(), row <= 11) << row;
            EXPECT_EQ(grid.position(row) == QStringLiteral("X%1").arg(row), row > 13) << row;
            EXPECT_EQ(grid.colour(row), QStringLiteral("#%1").arg(row, 6, 10, QLatin1Char('0')));
        }
        EXPECT_TRUE(grid.parent(12).isEmpty());
        EXPECT_EQ(grid.setting(ChartSetting::ChartTitle), "Sample Org Chart");
        EXPECT_EQ(state.chartTitle, "Sample Org Chart");
        EXPECT_TRUE(grid.setting(ChartSetting::XaxisLabel).isEmpty());
    }
}
