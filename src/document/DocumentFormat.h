#pragma once

#include "model/ChartGrid.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace plotwell::document {

/// The document file as the save writes it: the header line (chart title and the eleven value
/// fields joined by ","), then one line per row, `"title","parent"`, with a trailing "," on
/// every row but the last of each page. Lines are separated by a single line feed and the text
/// does not end with one. Titles and parents go in verbatim, quotes and commas included.
[[nodiscard]] QString documentText(const ChartGrid &grid);

/// The 93 position markers, row 1 first, joined by "~".
[[nodiscard]] QString buildPositionLine(const ChartGrid &grid);

/// Sets each row's position from a PositionLine: entry r-1 goes to row r, rows past the last
/// entry get an empty marker.
void applyPositionLine(ChartGrid &grid, const QString &positionLine);

/// A chart read back from a file of the shape documentText() writes.
struct SavedChart
{
    QString chartTitle;
    QStringList valueFields; // kValueFieldCount entries
    std::array<QString, kRowCount> titles;
    std::array<QString, kRowCount> parents;
};

/// Recognises the text documentText() writes: a header line with at least eleven commas and
/// then exactly 93 row lines, each `"title","parent"` with the trailing "," where the save
/// puts one. One final line feed, as an editor may add, is tolerated. Anything else (any
/// ordinary CSV file) gives nothing. A title that itself holds `","` splits at its first one:
/// the written text cannot tell it apart.
[[nodiscard]] std::optional<SavedChart> parseSavedDocument(const QByteArray &bytes);

/// Puts a saved chart into the grid: chart title, value fields, every title and parent. The
/// axis labels become empty; positions and colours are left to the caller.
void restoreSavedChart(ChartGrid &grid, const SavedChart &chart);

} // namespace plotwell::document
