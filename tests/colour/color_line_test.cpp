#include "colour/ColorLine.h"
#include "colour/Colour.h"
#include "colour/PickerTags.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace plotwell;

namespace {

QString line(int entries, const QString &digits)
{
    QString text;
    for (int i = 0; i < entries; ++i)
        text += QLatin1Char('#') + digits;
    return text;
}

struct Slots
{
    ChartGrid grid;
    SwatchBoard board;
    Slots()
    {
        applyStartupSlotTexts(grid);
        initializeSwatches(board);
    }
};

} // namespace

TEST(ColorLineApply, ResetPutsThePaletteOnTextsAndSwatches)
{
    Slots s;
    resetColors(s.grid, s.board);
    EXPECT_EQ(s.grid.slotText(1), "#FFFFFF");
    EXPECT_EQ(s.grid.slotText(32), "#418cf0");
    EXPECT_EQ(s.grid.slotText(kLineSlot), "#3388DD");
    EXPECT_EQ(s.grid.setting(ChartSetting::HexBackBg), "#ffffff");
    const QStringList entries = splitColorLine(defaultPalette());
    ASSERT_EQ(entries.size(), kColourSlotCount);
    for (int slot = 1; slot <= kColourSlotCount; ++slot)
        EXPECT_EQ(s.board.colour(slot), colorWithHexString(entries[slot - 1])) << slot;
    // Pages two and three repeat page one but for its white first place.
    for (int place = 2; place <= kPageSize; ++place)
        EXPECT_EQ(entries[place - 1], entries[kPageSize + place - 1]) << place;
    EXPECT_EQ(entries.mid(kPageSize, kPageSize), entries.mid(2 * kPageSize, kPageSize));
    EXPECT_EQ(s.board.colour(bSwatch(1)), colorWithHexString(u"FFFFFF"));
}

TEST(ColorLineApply, EntriesFillSlotsInOrderAndTheRestStay)
{
    Slots s;
    const Slots before;
    EXPECT_EQ(applyColorLine(s.grid, s.board, line(5, QStringLiteral("abcdef")), false), 5);
    for (int slot = 1; slot <= kColourSlotCount; ++slot) {
        EXPECT_EQ(s.grid.slotText(slot), slot <= 5 ? "#abcdef" : before.grid.slotText(slot));
        EXPECT_EQ(s.board.colour(slot),
                  slot <= 5 ? QColor::fromRgb(0xAB, 0xCD, 0xEF) : before.board.colour(slot))
            << slot;
    }
    // Ninety-seven set every slot; entries past them are ignored and the "b" swatches stay.
    const QString longer = line(97, QStringLiteral("111111")) + QStringLiteral("#222222#333333");
    EXPECT_EQ(applyColorLine(s.grid, s.board, longer, false), 97);
    for (int slot = 1; slot <= kColourSlotCount; ++slot)
        EXPECT_EQ(s.grid.slotText(slot), "#111111") << slot;
    EXPECT_EQ(s.board.colour(bSwatch(1)), before.board.colour(bSwatch(1)));
}

TEST(ColorLineApply, LinesWithoutEntriesChangeNothing)
{
    for (const QString &text : {QString(), QStringLiteral("FFFFFF"), QStringLiteral("garbage")}) {
        Slots s;
        QSignalSpy swatches(&s.board, &SwatchBoard::swatchChanged);
        QSignalSpy rows(&s.grid, &ChartGrid::rowChanged);
        EXPECT_EQ(applyColorLine(s.grid, s.board, text, true), 0);
        EXPECT_EQ(swatches.count(), 0);
        EXPECT_EQ(rows.count(), 0);
    }
}

TEST(ColorLineApply, BadEntriesSetTheirTextAndAGreySwatch)
{
    Slots s;
    applyColorLine(s.grid, s.board, QStringLiteral("#zz#\"&=😀#"), false);
    EXPECT_EQ(s.grid.slotText(1), "#zz");
    EXPECT_EQ(s.grid.slotText(2), "#\"&=😀");
    EXPECT_EQ(s.grid.slotText(3), "#");
    EXPECT_EQ(s.board.colour(3), colorWithHexString(u"bad"));
}

TEST(ColorLineBuild, RoundTripsAndKeepsEverySlotInPlace)
{
    Slots s;
    s.grid.setSlotText(2, QString());                // an emptied field
    s.grid.setSlotText(3, QStringLiteral("#ab#cd")); // a mistyped one
    const QString built = buildColorLine(s.grid);
    EXPECT_EQ(splitColorLine(built).size(), kColourSlotCount);

    Slots reread;
    applyColorLine(reread.grid, reread.board, built, false);
    EXPECT_EQ(reread.grid.slotText(3), "#abcd");
    for (int slot = 4; slot <= kColourSlotCount; ++slot)
        EXPECT_EQ(reread.grid.slotText(slot), s.grid.slotText(slot)) << slot;
    EXPECT_TRUE(built.startsWith(QStringLiteral("#FFFFFF##abcd#FF8C00")));
    EXPECT_EQ(buildColorLine(reread.grid), built);
}

TEST(StartupSwatches, FieldTextsMatchTheirSwatchesAndDifferFromThePalette)
{
    const Slots s;
    const QStringList texts = startupSlotTexts();
    ASSERT_EQ(texts.size(), kColourSlotCount);
    for (int slot = 1; slot <= kColourSlotCount; ++slot) {
        EXPECT_EQ(hexStringFromColor(s.board.colour(slot)), texts[slot - 1]) << slot;
        EXPECT_EQ(s.grid.slotText(slot), texts[slot - 1]) << slot;
    }
    // Not the palette that New brings: the start-up table is a board of its own.
    EXPECT_NE(texts.join(QString()).remove(QLatin1Char('#')),
              splitColorLine(defaultPalette()).join(QString()).toUpper());
    for (int n = 1; n <= kBSwatchCount; ++n)
        EXPECT_EQ(s.board.colour(bSwatch(n)), s.board.colour(n)) << n;
}

TEST(SwatchBoard, SignalsRealChangesOfKnownSwatchesOnly)
{
    SwatchBoard board;
    QSignalSpy changes(&board, &SwatchBoard::swatchChanged);
    board.setColour(53, Qt::red);
    board.setColour(53, Qt::red);
    board.setColour(0, Qt::red);
    board.setColour(kSwatchCount + 1, Qt::red);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0).toInt(), 53);
    EXPECT_FALSE(board.colour(kSwatchCount + 1).isValid());
}

TEST(PickerTags, MapEachTagToItsSwatchTextSlotAndButton)
{
    EXPECT_EQ(pickerTarget(32), (PickerTarget{bSwatch(1), 1}));
    EXPECT_EQ(pickerTarget(53), (PickerTarget{40, 40}));
    for (int tag : {0, 109})
        EXPECT_FALSE(pickerTarget(tag).has_value()) << tag;
    EXPECT_EQ(pickerButtonName(53), "button9c");

    // Every swatch is reached by exactly one tag; rows 32-93 sit 13 tags after their row.
    QList<int> reached(kSwatchCount + 1, 0);
    for (int tag = 1; tag <= kPickerTagCount; ++tag)
        ++reached[pickerTarget(tag)->swatch];
    for (int swatch = 1; swatch <= kSwatchCount; ++swatch)
        EXPECT_EQ(reached[swatch], 1) << swatch;
    for (int row = 32; row <= kRowCount; ++row)
        EXPECT_EQ(pickerTarget(row + 13)->textSlot, row);
}
