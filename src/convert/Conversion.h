#pragma once

#include "convert/ConversionSettings.h"
#include "convert/HtmlTable.h"
#include "convert/RecordSink.h"

#include <atomic>
#include <memory>

class QIODevice;

namespace plotwell::convert {

/// Shared between a conversion thread and the thread that shows its progress: the only state
/// they share, and all of it atomic.
struct ConversionProgress
{
    std::atomic<int> percent{0};
    std::atomic<bool> done{false};
    std::atomic<bool> cancelRequested{false};
};

/// What a conversion did, for the user and the log.
struct [[nodiscard]] ConversionResult
{
    bool ok = false;
    /// Why the conversion stopped, when it did not succeed.
    QString error;
    qsizetype recordCount = 0; // data records written
    qint64 bytesWritten = 0;
    WriterReport report;
    /// Characters read as U+FFFD because their bytes did not decode.
    qsizetype undecodableCharacters = 0;
    bool endedInsideQuotedField = false;
    /// The encoding the file was read in, when nothing in it said so and it was not UTF-8.
    QString assumedEncoding;
    bool cancelled = false;
    /// Refused before anything was read or written (the output is the input).
    bool refused = false;
    /// XML only, when checked: why the written file does not parse.
    QString xmlValidationError;

    /// Everything the user should be told about the output, one sentence each.
    [[nodiscard]] QStringList notes() const;
    /// One message: the outcome, then the notes.
    [[nodiscard]] QString message() const;
};

[[nodiscard]] std::unique_ptr<TableWriter> makeWriter(Format format, QIODevice &output,
                                                      const ConversionSettings &settings);

/// Reads the CSV file at `inputPath` and streams its records to `sink`, field values as a CSV
/// reader sees them (quotes removed, doubled quotes undone). Progress is the share of the file's
/// bytes read. Fills the reading part of `result`.
void readRecords(const QString &inputPath, RecordSink &sink, ConversionResult &result,
                 ConversionProgress *progress = nullptr);

/// Whether the two paths name one file, through links of either kind.
[[nodiscard]] bool isSameFile(const QString &a, const QString &b);
/// Why a conversion onto its own input is refused.
[[nodiscard]] QString sameFileRefusal(const QString &outputPath);

/// Converts the CSV file at `inputPath` into `outputPath`. The output replaces the previous file
/// only when the conversion succeeds; the output being the input is refused.
ConversionResult convertFile(Format format, const QString &inputPath, const QString &outputPath,
                             const ConversionSettings &settings,
                             ConversionProgress *progress = nullptr);

/// The table preview of the file at `inputPath`.
[[nodiscard]] TablePreview buildTablePreview(const QString &inputPath,
                                             const ConversionSettings &settings);

/// Parses the XML file at `path` to the end; the error text when it is not well-formed.
[[nodiscard]] QString xmlValidationError(const QString &path);

} // namespace plotwell::convert
