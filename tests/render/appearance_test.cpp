#include "render/Appearance.h"

#include <gtest/gtest.h>

using namespace plotwell;

TEST(AppearanceCombo, StoresTheSelectionAndPostsARefreshUnlessAConversionRuns)
{
    AppState state;
    EXPECT_TRUE(applyComboChange(state, AppearanceSetting::FontFamily, "Helvetica", 4));
    EXPECT_EQ(state.appearance.fontFamily, "Helvetica");
    EXPECT_TRUE(state.openRecent);

    // The gate's edges are AppState's test; here, that the combo obeys it and still stores.
    AppState busy;
    busy.barValue = 50;
    EXPECT_FALSE(applyComboChange(busy, AppearanceSetting::NodeSize, "120", 2));
    EXPECT_EQ(busy.appearance.nodeWidth, 120);
    EXPECT_FALSE(busy.openRecent);
    busy.barValue = 95;
    EXPECT_TRUE(applyComboChange(busy, AppearanceSetting::FontSize, "18", 3));
    EXPECT_EQ(busy.appearance.fontSize, 18);
    // A value that is no number leaves the setting as it was.
    EXPECT_TRUE(applyComboChange(busy, AppearanceSetting::FontSize, "large", 4));
    EXPECT_EQ(busy.appearance.fontSize, 18);
}

TEST(AppearanceCombo, MulticolourStoresTheIndexAndMovesTheCover)
{
    AppState state;
    EXPECT_TRUE(applyComboChange(state, AppearanceSetting::MultiColour, "Single", 0));
    EXPECT_EQ(state.appearance.colourMode, 0);
    EXPECT_TRUE(applyComboChange(state, AppearanceSetting::MultiColour, "Many", 2));
    EXPECT_EQ(state.appearance.colourMode, 2);
    EXPECT_TRUE(applyComboChange(state, AppearanceSetting::NodeRadius, "7", 1));
    EXPECT_EQ(state.appearance.cornerRadius, 7);

    AppState untouched;
    EXPECT_FALSE(applyComboChange(untouched, AppearanceSetting::MultiColour, "", -1));
    EXPECT_EQ(untouched.appearance, ChartAppearance());
    EXPECT_FALSE(untouched.openRecent);
    // The cover hides the colour fields only in single-colour mode.
    EXPECT_NE(singleColorViewFrame(0).x(), singleColorViewFrame(1).x());
}
