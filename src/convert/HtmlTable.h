#pragma once

#include "convert/RecordSink.h"

#include <QBuffer>
#include <QByteArray>

namespace plotwell::convert {

/// The styled page heads, filled with the table's colours, font and node settings.
[[nodiscard]] QString previewHead(const ConversionSettings &settings);
[[nodiscard]] QString fileHead(const ConversionSettings &settings);

/// An HTML page holding every record as a table row.
class HtmlTableWriter final : public TableWriter
{
public:
    using TableWriter::TableWriter;

    void begin(const QStringList &columnNames) override;
    void record(Fields fields, qsizetype index) override;
    void finish(qsizetype recordCount) override;

protected:
    QString shortRecordNote() const override;
    QString longRecordNote() const override;
};

/// The table preview shown in the viewer after a file is opened.
struct TablePreview
{
    QString html;
    /// False when the file held no record at all; the caller then tells the user.
    bool hasColumnNames = false;
    qsizetype recordCount = 0; // data records in the whole file
    bool truncated = false;    // shows the "first 100 rows" caption and row
    /// Why reading stopped before the end (a malformed record, with its record and line); the
    /// count is then only of the records before it.
    QString problem;
    /// What the user should know about how the file was read (encoding, undecodable bytes,
    /// an open quote at the end).
    QStringList notes;
    /// The user stopped the count: `recordCount` is of the records read until then.
    bool countStopped = false;
};

/// Builds the preview from the first `kPreviewRows` data records and counts the rest.
class TablePreviewBuilder final : public RecordSink
{
public:
    static constexpr qsizetype kPreviewRows = 100;

    explicit TablePreviewBuilder(ConversionSettings settings);

    void begin(const QStringList &columnNames) override;
    void record(Fields fields, qsizetype index) override;
    void finish(qsizetype recordCount) override;
    /// Marks the preview as partial when reading stopped at `problem` (when not empty), and
    /// adds the notes on how the file was read.
    void setProblem(const QString &problem, const QStringList &notes);
    /// Marks the count as stopped by the user.
    void setCountStopped();

    [[nodiscard]] const TablePreview &result() const { return m_result; }

private:
    void compose();

    ConversionSettings m_settings;
    QByteArray m_tableBytes;
    QBuffer m_table;
    std::unique_ptr<OutputBuffer> m_out;
    qsizetype m_columnCount = 0;
    TablePreview m_result;
};

} // namespace plotwell::convert
