#pragma once

#include "convert/ConversionSettings.h"

namespace plotwell {
class ChartGrid;
struct AppState;
} // namespace plotwell

namespace plotwell::convert {

/// A column's SQL type and constraint, and whether the grid's texts for them were SQL.
struct ColumnType
{
    QString sql;
    bool fromGrid = true;
};

/// The SQL type of column `column` (from 1): the parent and position texts of row column+1,
/// as the import's column set-up (document::initializeDataTypes) leaves them, when they are a
/// MySQL type and NULL or NOT NULL; VARCHAR(255) and no constraint in place of anything else.
[[nodiscard]] ColumnType columnTypeOf(const ChartGrid &grid, int column);
[[nodiscard]] QString getDataType(const ChartGrid &grid, int column);

/// The precondition of every conversion: rows 2 and 3 hold column names. When it fails, the
/// user gets the alert `kNoColumnLabels`.
[[nodiscard]] bool hasColumnLabels(const ChartGrid &grid);

/// An alert's message and informative text.
struct AlertText
{
    const char *message;
    const char *informative;
};
inline constexpr AlertText kNoColumnLabels = {
    "Invalid or Incorrectly formatted CSV file",
    "No Column labels detected. Click Open to load a new CSV file or to  download a Sample CSV "
    "file and see how data should be formatted."};
/// Shown when an HTML export reads a file without records.
inline constexpr AlertText kInvalidCsvForHtml = {
    "Invalid CSV file",
    "Your CSV file may not be correctly formatted. Please download the provided template and see "
    "how data should be formatted.  All column names must be added in the first row for it to "
    "load correctly"};
/// Shown when a written XML file does not parse (`ConversionResult::xmlValidationError`).
inline constexpr AlertText kXmlValidation = {
    "XML Validation",
    "Your XML may not be well formed due to some invalid characters in your data. If you have any "
    "issues parsing the XML, Please remove any special characters in your CSV file & Retry. "};

/// What the converters need of the grid and the appearance settings, copied so that a
/// conversion thread never reads the grid. A \a htmlWidth that is not positive keeps the
/// default width.
[[nodiscard]] ConversionSettings conversionSettings(const ChartGrid &grid, const AppState &state,
                                                    int htmlWidth);

} // namespace plotwell::convert
