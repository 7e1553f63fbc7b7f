#include "colour/SwatchBoard.h"

#include "colour/Colour.h"

namespace plotwell {

namespace {

// One page of start-up swatches; pages "c" and "d" differ only in their first row.
constexpr std::array<const char16_t *, kPageSize> kStartupPage = {
    u"FFFFFF", u"CD6A80", u"504DCD", u"FF8C00", u"8E388E", u"00AE00", u"C6E2FF", u"935C24",
    u"388E8E", u"5483A2", u"B0171F", u"912CEE", u"192CEE", u"00868B", u"698B22", u"FFA500",
    u"7171C6", u"71C671", u"00BFFF", u"4682B4", u"FF8C00", u"0000EE", u"6E7B8B", u"FF6103",
    u"FFE4E1", u"808000", u"9BCD9B", u"87CEFA", u"D02090", u"308014", u"9ACD32"};
constexpr const char16_t *kStartupFirstRowOfLaterPages = u"418CF0";

// Background, labels, items, lines: slots 94..97.
constexpr std::array<const char16_t *, 4> kStartupChartWide = {u"328AA4", u"E5F1F4", u"000000",
                                                               u"FFFBFC"};

QString startupDigits(int slot)
{
    if (slot > kRowCount)
        return QString::fromUtf16(kStartupChartWide[std::size_t(slot - kRowCount - 1)]);
    const RowPlace where = placeOfRow(slot);
    if (where.page > 0 && where.place == 1)
        return QString::fromUtf16(kStartupFirstRowOfLaterPages);
    return QString::fromUtf16(kStartupPage[std::size_t(where.place - 1)]);
}

} // namespace

SwatchBoard::SwatchBoard(QObject *parent) : QObject(parent)
{}

QColor SwatchBoard::colour(int swatch) const
{
    return isValidSwatch(swatch) ? m_colours[std::size_t(swatch - 1)] : QColor();
}

void SwatchBoard::setColour(int swatch, const QColor &colour)
{
    if (!isValidSwatch(swatch) || m_colours[std::size_t(swatch - 1)] == colour)
        return;
    m_colours[std::size_t(swatch - 1)] = colour;
    Q_EMIT swatchChanged(swatch);
}

void initializeSwatches(SwatchBoard &board)
{
    for (int slot = kBackgroundSlot; slot <= kLineSlot; ++slot)
        board.setColour(slot, colorWithHexString(startupDigits(slot)));
    for (int row = 1; row <= kRowCount; ++row)
        board.setColour(row, colorWithHexString(startupDigits(row)));
    for (int n = 1; n <= kBSwatchCount; ++n)
        board.setColour(bSwatch(n), colorWithHexString(startupDigits(n)));
}

QStringList startupSlotTexts()
{
    QStringList texts;
    texts.reserve(kColourSlotCount);
    for (int slot = 1; slot <= kColourSlotCount; ++slot)
        texts << QLatin1Char('#') + startupDigits(slot);
    return texts;
}

void applyStartupSlotTexts(ChartGrid &grid)
{
    const QStringList texts = startupSlotTexts();
    for (int slot = 1; slot <= kColourSlotCount; ++slot)
        grid.setSlotText(slot, texts.at(slot - 1));
}

void followSlotTexts(const ChartGrid &grid, SwatchBoard &board)
{
    const auto follow = [&grid, &board](int slot) {
        if (const std::optional<QColor> colour = colourOfSlotText(grid.slotText(slot)))
            board.setColour(slot, *colour);
    };
    QObject::connect(&grid, &ChartGrid::rowChanged, &board, [follow](int row, RowField field) {
        if (field == RowField::Colour)
            follow(row);
    });
    QObject::connect(&grid, &ChartGrid::settingChanged, &board, [follow] {
        for (int slot = kBackgroundSlot; slot <= kColourSlotCount; ++slot)
            follow(slot);
    });
}

} // namespace plotwell
