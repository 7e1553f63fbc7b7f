#pragma once

#include "convert/FirstRecord.h"
#include "model/ChartGrid.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace plotwell::document {

/// The title field k (from 0) of the first record gives: the field as read, less a pair of curved
/// quotes around all of it, and "Untitled<k+1>" when nothing but spaces is left.
[[nodiscard]] QString importedTitle(const QString &field, int k);

/// Puts the first record's fields into the titles of rows 2-93 (fields past the 92nd are
/// dropped) and logs "MAX COLS=%d". True when row 2 or row 3 ends up without a title, which
/// the import reports as a file that is not laid out as expected.
[[nodiscard]] bool importTitles(ChartGrid &grid, const QStringList &fields);

/// The column set-up the converters expect after an import: an empty chart title becomes
/// "table_name", row 1's title "record_id(PK)", and every titled row without a parent gets
/// "VARCHAR(255)".
void initializeDataTypes(ChartGrid &grid);

} // namespace plotwell::document
