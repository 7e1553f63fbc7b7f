#pragma once

#include "model/ChartGrid.h"

#include <QString>
#include <QStringList>

namespace plotwell {

/// The picker entry that removes a row's parent; parent id 0.
inline const QString kClearParentEntry = QStringLiteral("0_CLEAR PARENT");

/// True when \a title names an item: anything but the empty text once every space is removed.
[[nodiscard]] bool titleHoldsItem(const QString &title);

/// The meaningful part of a parent reference: the text before its first "_", untrimmed. A
/// reference without "_" is returned whole.
[[nodiscard]] QString parentRowNumber(const QString &reference);

/// How a table shows the parent of \a row: the title the parent row has now, so that a renamed
/// parent reads right at once; the reference itself when it names no titled row (a bare text,
/// a number out of range); empty for no parent or a cleared one.
[[nodiscard]] QString parentDisplayName(const ChartGrid &grid, int row);

/// The name part of a "Name(Job)" title, what a narrow column shows of a parent: the text
/// before its first "(", trimmed; the whole title when that leaves nothing.
[[nodiscard]] QString personName(const QString &title);

/// Cuts the parent reference of rows 2..93 down to its row number, in the grid itself. Row 1's
/// parent is never touched, and a reference without "_" stays as it is.
void stripOffParentNames(ChartGrid &grid);

/// The item picker's candidates: "0_CLEAR PARENT", then "N_title" for every row N whose title
/// holds an item, in row order, titles verbatim. Nothing checks for loops: the edited row itself
/// is offered too.
[[nodiscard]] QStringList initializeParents(const ChartGrid &grid);

/// The candidates containing \a text, ignoring letter case but not accents, in list order. An
/// empty text matches every candidate.
[[nodiscard]] QStringList searchParents(const QStringList &candidates, const QString &text);

/// Writes \a entry verbatim as the parent of \a editedRow. Only rows 2..93 take a parent from the
/// picker; returns whether the grid was written.
bool chooseParent(ChartGrid &grid, int editedRow, const QString &entry);

} // namespace plotwell
