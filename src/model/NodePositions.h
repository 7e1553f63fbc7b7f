#pragma once

#include "model/ChartGrid.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace plotwell {

/// Node position markers, compared exactly (case and spaces count). Any other text, the empty
/// one included, means no position and reaches the chart page unchanged.
inline const QString kLeftMarker = QStringLiteral("NOT NULL");
inline const QString kRightMarker = QStringLiteral("NULL");
inline const QString kBottomMarker = QStringLiteral("u");

/// The words the window shows for the markers, which stay as they are in documents, the data
/// string and the SQL column set-up: "Left" for "NOT NULL", "Right" for "NULL", "Below" for
/// "u", nothing for no marker. Any other stored text is shown as it is, so nothing is hidden.
[[nodiscard]] QString positionWord(const QString &marker);
/// The marker a word stands for (letter case ignored, the empty word for no marker); a marker
/// itself is taken as it is. Nothing for other text.
[[nodiscard]] std::optional<QString> markerOfWord(const QString &word);
/// The choices of a position field, in order: "", "Left", "Right", "Below".
[[nodiscard]] const QStringList &positionWords();

/// The three position buttons of the item picker (tags 1, 2 and anything else).
enum class PositionButton { Left, Right, Bottom };

[[nodiscard]] PositionButton positionForButtonTag(int tag);
[[nodiscard]] const QString &markerOf(PositionButton button);
/// The button whose marker \a marker is, if it is one of the three.
[[nodiscard]] std::optional<PositionButton> buttonForMarker(const QString &marker);

/// A press of the position button with \a tag while the picker edits \a editedRow: rows 2..93
/// take the button's marker, other rows keep theirs. Returns the button to highlight, which is
/// the pressed one whatever the row.
PositionButton applyPositionButton(ChartGrid &grid, int editedRow, int tag);

/// The highlight when the picker opens for \a row: the button of the row's marker, or
/// \a current unchanged when the row is outside 2..93 or holds no known marker.
[[nodiscard]] std::optional<PositionButton>
autoSelectPositionValue(const ChartGrid &grid, int row, std::optional<PositionButton> current);

/// Whether \a button shows its title in the highlight colour. Until an opening or a press has
/// decided a highlight, the window shows the left and right buttons highlighted.
[[nodiscard]] bool showsHighlighted(std::optional<PositionButton> highlight, PositionButton button);

} // namespace plotwell
