#include "model/NodePositions.h"

#include <gtest/gtest.h>

using namespace plotwell;

TEST(PositionButtons, PressWritesRowsTwoToNinetyThreeOnlyButAlwaysHighlights)
{
    ChartGrid grid;
    grid.setPosition(1, QStringLiteral("NULL"));
    EXPECT_EQ(applyPositionButton(grid, 1, 1), PositionButton::Left);
    EXPECT_EQ(grid.position(1), "NULL");
    EXPECT_EQ(applyPositionButton(grid, 94, 2), PositionButton::Right);
    for (int tag : {0, 7, -1})
        EXPECT_EQ(applyPositionButton(grid, 0, tag), PositionButton::Bottom) << tag;

    EXPECT_EQ(applyPositionButton(grid, 2, 1), PositionButton::Left);
    EXPECT_EQ(applyPositionButton(grid, 62, 2), PositionButton::Right);
    EXPECT_EQ(applyPositionButton(grid, 93, 9), PositionButton::Bottom);
    EXPECT_EQ(grid.position(2), "NOT NULL");
    EXPECT_EQ(grid.position(62), "NULL");
    EXPECT_EQ(grid.position(93), "u");
}

TEST(PositionHighlight, KnownMarkersChooseTheButtonOthersKeepTheCurrentOne)
{
    ChartGrid grid;
    grid.setPosition(2, QStringLiteral("u"));
    grid.setPosition(3, QStringLiteral("NOT NULL"));
    grid.setPosition(4, QStringLiteral("NULL"));
    grid.setPosition(5, QStringLiteral("Null"));
    grid.setPosition(6, QStringLiteral("NOT NULL "));
    grid.setPosition(7, QStringLiteral("null"));
    grid.setPosition(1, QStringLiteral("NULL"));

    const std::optional<PositionButton> left = PositionButton::Left;
    EXPECT_EQ(autoSelectPositionValue(grid, 2, left), PositionButton::Bottom);
    EXPECT_EQ(autoSelectPositionValue(grid, 3, PositionButton::Right), PositionButton::Left);
    EXPECT_EQ(autoSelectPositionValue(grid, 4, left), PositionButton::Right);
    for (int row : {5, 6, 7, 8})
        EXPECT_EQ(autoSelectPositionValue(grid, row, left), left) << row;
    EXPECT_EQ(autoSelectPositionValue(grid, 8, std::nullopt), std::nullopt);
    // Row 1 and rows outside the grid never move the highlight.
    EXPECT_EQ(autoSelectPositionValue(grid, 1, left), left);
    EXPECT_EQ(autoSelectPositionValue(grid, 94, left), left);
}
