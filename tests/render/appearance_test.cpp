#include "render/Appearance.h"

#include <gtest/gtest.h>

using namespace plotwell;

TEST(ChartType, LabelsMapToCodesExactly)
{
    EXPECT_EQ(getCtype(kOrgChartTypeLabel), "3dcol");
    EXPECT_EQ(getCtype(QStringLiteral("SPLINE COMBO")), "wavecombo");
    for (const char *other : {"", "3d column", "3D COLUMN ", "PIE"})
        EXPECT_FALSE(getCtype(QString::fromLatin1(other)).has_value()) << other;

    ASSERT_EQ(chartTypes().size(), 14u);
    const ChartType *column = chartTypeForLabel(kOrgChartTypeLabel);
    ASSERT_NE(column, nullptr);
    EXPECT_FALSE(column->multiValue);
    EXPECT_TRUE(column->hidesAxisLabels);
}

TEST(AppearanceCombo, StoresTheSelectionAndPostsARefreshUnlessAConversionRuns)
{
    AppState state;
    EXPECT_TRUE(applyComboChange(state, AppearanceSetting::FontFamily, "Helvetica", 4));
    EXPECT_EQ(state.fStyle, "Helvetica");
    EXPECT_EQ(state.openRecent, "YES");

    for (const char *running : {"1", "50", "94"}) {
        AppState busy;
        busy.barValue = QString::fromLatin1(running);
        EXPECT_FALSE(applyComboChange(busy, AppearanceSetting::NodeSize, "2", 2)) << running;
        EXPECT_EQ(busy.nSize, "2");
        EXPECT_EQ(busy.openRecent, "NO");
    }
    for (const char *idle : {"0", "95", "100", "-3", "", "busy"}) {
        AppState free;
        free.barValue = QString::fromLatin1(idle);
        EXPECT_TRUE(applyComboChange(free, AppearanceSetting::FontSize, "18", 3)) << idle;
        EXPECT_EQ(free.fSize, "18");
    }
}

TEST(AppearanceCombo, MulticolourStoresTheIndexAndMovesTheCover)
{
    AppState state;
    EXPECT_TRUE(applyComboChange(state, AppearanceSetting::MultiColour, "Single", 0));
    EXPECT_EQ(state.multiColorStatus, "0");
    EXPECT_TRUE(applyComboChange(state, AppearanceSetting::MultiColour, "Many", 2));
    EXPECT_EQ(state.multiColorStatus, "2");
    EXPECT_TRUE(applyComboChange(state, AppearanceSetting::NodeRadius, "7", 1));
    EXPECT_EQ(state.nRadius, "7");

    AppState untouched;
    EXPECT_FALSE(applyComboChange(untouched, AppearanceSetting::MultiColour, "", -1));
    EXPECT_EQ(untouched.multiColorStatus, "1");
    EXPECT_EQ(untouched.openRecent, "NO");

    EXPECT_EQ(singleColorViewFrame(0), QRect(0, 96, 50, 2392));
    EXPECT_EQ(singleColorViewFrame(1), QRect(-100, 96, 50, 22));
}
