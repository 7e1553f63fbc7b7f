#pragma once

#include "model/ChartGrid.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace plotwell {

/// The 93 rows as values, row r at index r - 1: what the rearranging rules work on before the
/// grid is written once.
using GridRows = std::array<ChartRow, kRowCount>;

[[nodiscard]] GridRows rowsOf(const ChartGrid &grid);

/// The row a parent reference names: the text before its first "_" (spaces around it ignored)
/// when that is a number of 1..93. "0_CLEAR PARENT", column types such as "VARCHAR(255)" and
/// free text name no row.
[[nodiscard]] std::optional<int> referencedRow(const QString &reference);

/// The reference \a reference made to name \a row instead: its number replaced, the rest ("_" and
/// the title) kept. An empty text when \a row is 0.
[[nodiscard]] QString referenceToRow(const QString &reference, int row);

/// The reference the picker writes for a parent: "N_Title".
[[nodiscard]] QString parentReference(int row, const QString &title);

/// A row is in use when it holds a title or a parent, or another row's parent names it. Only a
/// row not in use can be given up to make room for an inserted one.
[[nodiscard]] bool rowInUse(const GridRows &rows, int row);

/// Sets row \a row's title and rewrites every "N_Title" reference naming it to the new title,
/// so the link and its text stay together. Bare numbers stay as they are.
void retitleRow(GridRows &rows, int row, const QString &title);

/// Text copied from a list or a spreadsheet, as titles: one a line, whatever its line breaks. A
/// line of cells (a spreadsheet's tabs) is "Name(Job)" from its first two. A blank line keeps
/// its place as an empty title; the copy's own last line break adds none.
[[nodiscard]] QStringList titlesFromPastedText(const QString &text);

/// Moves row \a from to index \a to, the rows between closing up; every reference is renumbered,
/// so each row keeps the same parent. False (nothing changed) for rows outside 1..93.
bool moveRow(GridRows &rows, int from, int to);

/// Puts a blank row at index \a at (1..93), the rows from there on moving down one. The room
/// comes from the first row not in use at or after \a at; when there is none, from the last one
/// before it (the rows between then move up one and the blank row lands right above the row
/// that was at \a at). The blank row keeps the colour of the row it was made from. False when
/// every row is in use.
bool insertRow(GridRows &rows, int &at);

/// Removes row \a row: the rows below move up one and row 93 becomes blank (with the removed
/// row's colour). Rows whose parent was the removed row take its parent instead, so they stay
/// in the tree; every other reference is renumbered.
bool deleteRow(GridRows &rows, int row);

/// Shown when an insertion finds every row in use.
inline const QString kAllRowsInUseMessage =
    QStringLiteral("All 93 rows are in use. Delete a row before inserting another.");

} // namespace plotwell
