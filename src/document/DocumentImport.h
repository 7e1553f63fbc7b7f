#pragma once

#include "model/ChartGrid.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace plotwell::document {

/// The fields of a file's first record, read with the delimiter "," and no options, so a
/// quoted field keeps its quotes. The parse stops after that record, so the size of the rest of
/// the file does not matter. Nothing when the file holds no record or cannot be read.
[[nodiscard]] std::optional<QStringList> readFirstRecord(const QString &path);

/// The title field k (from 0) of the first record gives: the six kinds of quote removed, and
/// "Untitled<k+1>" when nothing but spaces is left.
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
