#include "model/ChartGrid.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace plotwell;

TEST(ChartGridFieldNames, RowsMapToPlaceAndPageSuffixBothWaysAndNothingElseParses)
{
    EXPECT_EQ(fieldName(1, RowField::Title), "Period1Title");
    EXPECT_EQ(fieldName(36, RowField::Parent), "Period5Item1c");
    EXPECT_EQ(fieldName(62, RowField::Position), "Period31Item2c");
    EXPECT_EQ(fieldName(93, RowField::Colour), "hex31d");

    for (int row = 1; row <= kRowCount; ++row) {
        for (RowField field :
             {RowField::Title, RowField::Parent, RowField::Position, RowField::Colour}) {
            const auto parsed = parseFieldName(fieldName(row, field));
            ASSERT_TRUE(parsed.has_value()) << row;
            EXPECT_EQ(*parsed, (RowFieldRef{row, field}));
        }
    }
    EXPECT_TRUE(fieldName(0, RowField::Title).isEmpty());
    EXPECT_TRUE(fieldName(94, RowField::Title).isEmpty());
    for (const char *name : {"Period0Title", "Period32Title", "Period1Titlee", "hex", "hex40",
                             "Period1Item3", "period1Title", " Period1Title"})
        EXPECT_FALSE(parseFieldName(QString::fromLatin1(name)).has_value()) << name;
}

TEST(ChartGrid, FieldsAreStoredVerbatimAndSignalOnlyRealChanges)
{
    ChartGrid grid;
    QSignalSpy rows(&grid, &ChartGrid::rowChanged);
    const QString odd = QStringLiteral("A_b*c#d (x)\n\"q\"");
    grid.setTitle(40, odd);
    grid.setTitle(40, odd);
    EXPECT_EQ(grid.title(40), odd);
    EXPECT_EQ(rows.count(), 1);
    EXPECT_EQ(rows.at(0).at(0).toInt(), 40);

    grid.setTitle(0, QStringLiteral("x"));
    grid.setTitle(94, QStringLiteral("x"));
    EXPECT_EQ(rows.count(), 1);
    EXPECT_TRUE(grid.title(94).isEmpty());
}

TEST(ChartGrid, ColourSlotsCoverRowsAndTheFourChartColours)
{
    ChartGrid grid;
    for (int slot = 1; slot <= kColourSlotCount + 1; ++slot)
        grid.setSlotText(slot, QString::number(slot));
    EXPECT_EQ(grid.colour(93), "93");
    const ChartSetting chartColours[] = {ChartSetting::HexBackBg, ChartSetting::HexLabels,
                                         ChartSetting::HexItems, ChartSetting::HexLine};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(grid.setting(chartColours[k]), QString::number(kBackgroundSlot + k));
    EXPECT_TRUE(grid.slotText(kColourSlotCount + 1).isEmpty());
}
