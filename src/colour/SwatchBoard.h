#pragma once

#include "model/ChartGrid.h"

#include <QColor>
#include <QObject>
#include <QStringList>

#include <array>

namespace plotwell {

/// Swatch ids: 1..97 are the swatches of the 97 colour slots (rows 1-93, background, labels,
/// items, lines); 98..108 are the eleven "b" swatches, which belong to no slot.
inline constexpr int kBSwatchCount = 11;
inline constexpr int kSwatchCount = kColourSlotCount + kBSwatchCount;

/// Id of "b" swatch \a n, 1..11.
[[nodiscard]] constexpr int bSwatch(int n)
{
    return kColourSlotCount + n;
}
[[nodiscard]] constexpr bool isValidSwatch(int swatch)
{
    return swatch >= 1 && swatch <= kSwatchCount;
}

/// The colour each swatch shows. Picks set it from colours; followSlotTexts() keeps the swatches
/// of the 97 slots showing what their texts say.
class SwatchBoard : public QObject
{
    Q_OBJECT
public:
    explicit SwatchBoard(QObject *parent = nullptr);

    /// An invalid QColor for ids outside 1..108.
    [[nodiscard]] QColor colour(int swatch) const;
    void setColour(int swatch, const QColor &colour);

Q_SIGNALS:
    void swatchChanged(int swatch);

private:
    std::array<QColor, kSwatchCount> m_colours;
};

/// Colours every swatch as the window shows it at start: the four chart-wide swatches, then
/// rows 1-93, then the "b" swatches (which take the start colours of rows 1-11).
void initializeSwatches(SwatchBoard &board);

/// From now on, a colour slot's swatch follows its text whenever the text names a colour (as
/// typed, as a Quick colour pick writes rows 1-11, as a document restores it); a text that
/// names none leaves the swatch as it was.
void followSlotTexts(const ChartGrid &grid, SwatchBoard &board);

/// The start texts of the 97 colour fields: the start-up swatch colours as upper-case hex, so
/// every swatch shows its field's colour from the first moment.
[[nodiscard]] QStringList startupSlotTexts();

/// Writes startupSlotTexts() into the 97 colour slots of \a grid, as the window starts.
void applyStartupSlotTexts(ChartGrid &grid);

} // namespace plotwell
