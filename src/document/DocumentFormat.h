#pragma once

#include "base/ChartAppearance.h"
#include "model/ChartGrid.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace plotwell {
class SwatchBoard;
}

namespace plotwell::document {

/// What a chart file carries beyond titles and parents, in records after the 93 rows, so that a
/// chart opened on another machine comes back whole. Written by every save from now on; files
/// of earlier versions have none, and a value missing from a file leaves the setting as it is.
struct ChartExtras
{
    std::optional<QString> positionLine; ///< as buildPositionLine() writes it
    std::optional<QString> colorLine;    ///< the 97 slots, as buildColorLine() writes it
    std::optional<int> nodeWidth;
    std::optional<int> cornerRadius;
    std::optional<int> colourMode;
    std::optional<QString> fontFamily;
    std::optional<int> fontSize;
    bool operator==(const ChartExtras &) const = default;
};

/// The extras of the chart on show: positions and colours from \a grid, the rest from
/// \a appearance.
[[nodiscard]] ChartExtras chartExtras(const ChartGrid &grid, const ChartAppearance &appearance);

/// Puts what \a extras hold into the grid (colours with their swatches, positions; a file
/// without positions empties them) and the appearance; what they lack stays as it is.
void applyChartExtras(ChartGrid &grid, SwatchBoard &swatches, ChartAppearance &appearance,
                      const ChartExtras &extras);

/// The first field of the record that starts the extras; its second field is the version.
inline const QString kExtrasMarker = QStringLiteral("plotwell-chart");

/// The document file as the save writes it: the header line (chart title and the eleven value
/// fields joined by ","), then one line per row, `"title","parent"`, with a trailing "," on
/// every row but the last of each page. Lines are separated by a single line feed and the text
/// does not end with one.
///
/// Without \a extras the text is that of earlier versions: titles and parents verbatim. With
/// them, the extras follow as `"name","value"` records (the marker record first) and the text
/// reads as standard CSV: a quotation mark inside a field is doubled, and a header field holding
/// one or a line break (a value field also a comma) is quoted. So titles with quotation marks,
/// commas or line breaks read back exactly, and for any other chart the lines up to the extras
/// are byte for byte those of earlier versions.
[[nodiscard]] QString documentText(const ChartGrid &grid,
                                   const std::optional<ChartExtras> &extras = std::nullopt);

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
    /// Set for files that carry extras.
    std::optional<ChartExtras> extras;
};

/// Recognises the text documentText() writes. With the extras' marker record after the 93 rows
/// the text is read as standard CSV and the extras are kept. Otherwise: a header line with at
/// least eleven commas and then exactly 93 row lines, each `"title","parent"` with the trailing
/// "," where the save puts one. CRLF line ends and one final line end, as another editor may
/// leave, are tolerated. Anything else (any ordinary CSV file) gives nothing. A row splits at its
/// last `","`, since a title may hold one and a parent (a row reference) does not.
[[nodiscard]] std::optional<SavedChart> parseSavedDocument(const QByteArray &bytes);

/// Why text that parseSavedDocument() does not take, but whose rows look like a chart
/// document's, is not one (the count of rows, a short title line); empty for other text.
[[nodiscard]] QString nearChartDocumentProblem(const QByteArray &bytes);

/// The most a chart document may hold; a larger file is refused before it is read.
inline constexpr qint64 kLargestChartDocument = 16 * 1024 * 1024;
/// How much of a file's start is looked at for binary data.
inline constexpr qsizetype kBinaryProbeBytes = 8192;

/// True when the start of a file holds a NUL byte and no UTF-16 byte order mark: an executable,
/// an image, /dev/zero; no text file of any encoding the CSV reader takes.
[[nodiscard]] bool looksBinary(const QByteArray &head);

/// A file's bytes, or why they are not read: open failure, more than \a limit bytes (read no
/// further than one past the limit, so a device without end is refused too), binary data.
struct ReadFile
{
    QByteArray bytes;
    QString problem; // empty when read
};
[[nodiscard]] ReadFile readTextFile(const QString &path, qint64 limit = kLargestChartDocument);

/// Writes through a temporary file that replaces the target only once everything is on disk,
/// so a failure never leaves half a file. Returns why it failed, or nothing.
std::optional<QString> writeAtomically(const QString &path, const QByteArray &bytes);

/// Puts a saved chart into the grid: chart title, value fields, every title and parent. The
/// axis labels become empty; positions and colours are left to the caller.
void restoreSavedChart(ChartGrid &grid, const SavedChart &chart);

} // namespace plotwell::document
