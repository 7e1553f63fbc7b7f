#pragma once

#include "convert/ConversionSettings.h"
#include "convert/OutputBuffer.h"

#include <QStringList>
#include <QStringView>

#include <span>

class QIODevice;

namespace plotwell::convert {

/// The fields of one record. The views stay valid only during the call they are passed to.
using Fields = std::span<const QStringView>;

/// Receives the records of a CSV file in order: the column names first, then each data record
/// as soon as it has been read, then the end.
class RecordSink
{
public:
    virtual ~RecordSink() = default;
    virtual void begin(const QStringList &columnNames) = 0;
    /// `index` counts the data records from 1 (the column names are record 0).
    virtual void record(Fields fields, qsizetype index) = 0;
    /// `recordCount` is the number of data records.
    virtual void finish(qsizetype recordCount) = 0;
};

/// What a writer had to change to keep its output well-formed, for telling the user.
struct WriterReport
{
    qsizetype shortRecords = 0; // fewer fields than column names
    qsizetype longRecords = 0;  // more fields than column names
    qsizetype replacedCharacters = 0;

    /// One sentence per kind of change, in the words of the output format.
    QStringList notes;
};

/// A writer of one output format: streams what it receives to a device, appending only, and
/// keeps the output well-formed whatever the records hold.
class TableWriter : public RecordSink
{
public:
    explicit TableWriter(QIODevice &device, ConversionSettings settings);

    /// False once a write to the device failed; the error says why.
    [[nodiscard]] bool ok() const { return m_out.ok(); }
    [[nodiscard]] QString errorString() const { return m_out.errorString(); }
    [[nodiscard]] qint64 bytesWritten() const { return m_out.bytesWritten(); }
    [[nodiscard]] virtual WriterReport report() const;

protected:
    /// Notes how `fields` differs in length from the column names.
    void countShape(Fields fields)
    {
        const auto size = qsizetype(fields.size());
        m_shortRecords += size < m_columnCount;
        m_longRecords += size > m_columnCount;
    }
    /// The sentences for short and long records, in this format's words.
    [[nodiscard]] virtual QString shortRecordNote() const = 0;
    [[nodiscard]] virtual QString longRecordNote() const = 0;

    OutputBuffer m_out;
    ConversionSettings m_settings;
    qsizetype m_columnCount = 0;
    bool m_begun = false; // nothing is closed that was never opened
    qsizetype m_shortRecords = 0;
    qsizetype m_longRecords = 0;
    qsizetype m_replaced = 0;
};

} // namespace plotwell::convert
