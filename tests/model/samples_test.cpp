#include "model/GridClearing.h"
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

TEST(GridClearing, EmptiesTitlesParentsChartTitleAndAxesOnly)
{
    ChartGrid grid;
    fillEverything(grid);
    clearFields(grid);
    for (int row = 1; row <= kRowCount; ++row) {
        EXPECT_TRUE(grid.title(row).isEmpty()) << row;
        EXPECT_TRUE(grid.parent(row).isEmpty()) << row;
        EXPECT_EQ(grid.position(row), QStringLiteral("X%1").arg(row));
        EXPECT_EQ(grid.colour(row), QStringLiteral("#%1").arg(row, 6, 10, QLatin1Char('0')));
    }
    EXPECT_TRUE(grid.setting(ChartSetting::ChartTitle).isEmpty());
    EXPECT_TRUE(grid.setting(ChartSetting::XaxisLabel).isEmpty());
    EXPECT_TRUE(grid.setting(ChartSetting::YaxisLabel).isEmpty());
    EXPECT_EQ(grid.setting(ChartSetting::HexBackBg), "kept");
    EXPECT_EQ(grid.setting(ChartSetting::Ctype), "kept");
    EXPECT_EQ(grid.valueField(0), "42");
}

TEST(SampleCharts, FlatSampleFillsRowsOneToElevenAndMarkersToThirteen)
{
    ChartGrid grid;
    AppState state;
    fillEverything(grid);
    loadSampleData(grid, state);

    const QString ceo = QStringLiteral("1_Niall Brent(CEO)");
    const QString ilse = QStringLiteral("3_Ilse Varga(Business Development)");
    const QString ansel = QStringLiteral("5_Ansel Drury(Human Resources)");
    const QStringList titles = {"Niall Brent(CEO)",
                                "Tobin Marsh(Public Relations)",
                                "Ilse Varga(Business Development)",
                                "Cyrus Pell(Global Research)",
                                "Ansel Drury(Human Resources)",
                                "Mara Quill(Mergers & acquisitions)",
                                "Odell Fenn(Marketing)",
                                "Rufus Lorne(Talent Development)",
                                "Petra Hale(Recruiting)",
                                "Emrys Tove(International Business)",
                                "Jory Kemble(Social Media Stategist)"};
    const QStringList parents = {"", ceo, ceo, ceo, ceo, ilse, ilse, ansel, ansel, ceo, ceo};
    const QStringList markers = {"NOT NULL", "u",    "NULL", "u", "NOT NULL", "u",       "NOT NULL",
                                 "u",        "NULL", "u",    "u", "u",        "NOT NULL"};
    for (int row = 1; row <= 13; ++row) {
        EXPECT_EQ(grid.title(row), row <= 11 ? titles[row - 1] : QString()) << row;
        EXPECT_EQ(grid.parent(row), row <= 11 ? parents[row - 1] : QString()) << row;
        EXPECT_EQ(grid.position(row), markers[row - 1]) << row;
    }
    for (int row = 14; row <= kRowCount; ++row) {
        EXPECT_TRUE(grid.title(row).isEmpty() && grid.parent(row).isEmpty()) << row;
        EXPECT_EQ(grid.position(row), QStringLiteral("X%1").arg(row));
    }
    for (int row = 1; row <= kRowCount; ++row)
        EXPECT_EQ(grid.colour(row), QStringLiteral("#%1").arg(row, 6, 10, QLatin1Char('0')));
    EXPECT_EQ(grid.setting(ChartSetting::ChartTitle), "Sample Org Chart");
    EXPECT_EQ(state.chartTitle, "Sample Org Chart");
    EXPECT_TRUE(grid.setting(ChartSetting::XaxisLabel).isEmpty());
}

TEST(SampleCharts, MultiLevelSampleDiffersInRowsThreeFiveAndNine)
{
    ChartGrid flat;
    ChartGrid multi;
    AppState state;
    loadSampleData(flat, state);
    state.chartTitle.reset();
    loadSampleData2(multi, state);

    EXPECT_EQ(multi.parent(3), "");
    EXPECT_EQ(multi.position(5), "NULL");
    EXPECT_EQ(multi.parent(9), "3_Ilse Varga(Business Development)");
    EXPECT_EQ(state.chartTitle, "Sample Org Chart");
    for (int row = 1; row <= kRowCount; ++row) {
        ChartRow expected = flat.row(row);
        if (row == 3 || row == 9)
            expected.parent = multi.parent(row);
        if (row == 5)
            expected.position = multi.position(row);
        EXPECT_EQ(multi.row(row), expected) << row;
    }
    EXPECT_NE(flat.parent(9), multi.parent(9));
}
