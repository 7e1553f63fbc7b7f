#pragma once

#include <QString>
#include <QStringList>

namespace plotwell::document {

/// Preference key holding the document name of the document last opened or saved.
inline const QString kOpenedFilenameKey = QStringLiteral("openedFilename");

/// The name a document is known by: the last "/" piece of its URL text, percent escapes kept
/// ("My%20Chart.csv"). The companion entries are filed under it.
[[nodiscard]] QString documentName(const QString &urlText);

/// The text after the last "." of a document name; empty when there is no ".".
[[nodiscard]] QString pathExtension(const QString &name);

/// The document name without its extension and the dot before it; the whole name when it has
/// no extension.
[[nodiscard]] QString baseName(const QString &name);

/// A save panel's choice with the extension of its file type: `path` as it is when it already
/// ends in one of `types` (any case), else with the first of them added ("out.txt" ->
/// "out.txt.sql").
[[nodiscard]] QString withTypeExtension(const QString &path, const QStringList &types);

/// A document name as people read it: percent escapes decoded ("My%20Chart" -> "My Chart",
/// "%C3%9Cbersicht" -> "Übersicht"). Text that is not a valid escape sequence is kept.
[[nodiscard]] QString readableName(const QString &escaped);

/// The name a picture of the chart is offered under: the chart's title, else the name of the
/// document it came from (a file name or an address, extension dropped), else "Org Chart".
/// Characters that file systems refuse become spaces.
[[nodiscard]] QString exportFileName(const QString &chartTitle, const QString &document);

/// Preference keys of a document's companion entries: the document name with every "."
/// replaced by a fixed text each.
struct CompanionKeys
{
    QString colours;     // dots removed: the ColorLine
    QString positions;   // "~": the PositionLine
    QString nodeSize;    // "n"
    QString nodeRadius;  // "NULL"
    QString multiColour; // "m"
};
[[nodiscard]] CompanionKeys companionKeys(const QString &documentName);

/// The name a document's companion entries are filed under from now on: the document name, "@"
/// and sixteen hex digits of the SHA-1 of the file's absolute path, so that two files of the
/// same name in different folders keep entries of their own. Entries filed under the bare
/// document name (by earlier versions) are still read when these are missing.
[[nodiscard]] QString companionName(const QString &urlText);

/// URL text of a local file the way a file panel reports it: "file://" and the absolute path
/// with spaces, non-ASCII letters and other unsafe characters percent-escaped.
[[nodiscard]] QString urlTextOfLocalFile(const QString &path);

/// The URL a path or URL text handed over by the system or the recent list stands for. Text
/// that already holds "file:/" (spaces ignored) is a URL: its spaces become "%20". Anything else
/// is a path: "file:///" followed by the path, escaped like a panel's URL (so an absolute path
/// gives four slashes in a row, which still names the same file).
[[nodiscard]] QString urlTextFromPath(const QString &pathOrUrl);

/// The local file a document URL text names; empty when the text is not a file URL.
[[nodiscard]] QString localFileOfUrlText(const QString &urlText);

/// What the extension gate does with a document name.
enum class FileKind {
    Csv,     // "csv" or "CSV": imported
    Tsv,     // "tsv" or "TSV": the user is asked to convert it first
    Invalid, // anything else, other letter cases and no extension included
};
[[nodiscard]] FileKind classifyDocumentName(const QString &name);

} // namespace plotwell::document
