#pragma once

#include "colour/SwatchBoard.h"
#include "model/ChartGrid.h"

#include <QString>
#include <QStringList>

namespace plotwell {

/// The default palette: 97 entries, one per colour slot, in slot order.
[[nodiscard]] const QString &defaultPalette();

/// The 97 slot texts as one line: "#" and the slot's text without its "#", per slot. Every slot
/// gives exactly one entry, even an empty or mistyped one, so a later slot never moves up.
[[nodiscard]] QString buildColorLine(const ChartGrid &grid);

/// The entries of a line: the pieces after its first "#"; none when it holds no "#".
[[nodiscard]] QStringList splitColorLine(const QString &line);

/// Entry k sets slot k's text to "#" and the entry (its case kept) and slot k's swatch to the
/// entry's colour, for k up to 97; further entries are ignored and slots beyond the last entry
/// keep what they had. With \a writeDiagnostics each entry is logged. Returns the slots set.
int applyColorLine(ChartGrid &grid, SwatchBoard &board, const QString &line, bool writeDiagnostics);

/// Puts the default palette on all 97 slots, logging each entry.
void resetColors(ChartGrid &grid, SwatchBoard &board);

} // namespace plotwell
