#pragma once

// Generated inputs and the counting delegate, shared by the benchmark and the command-line
// counter.
#include "csv/CsvParser.h"

#include <QByteArray>
#include <QString>

namespace plotwell::csv::bench {

enum class Shape {
    Narrow,      // many short fields, a few quoted
    QuoteHeavy,  // long quoted fields with doubled quotes and line breaks
    Wide,        // 200 fields per record
    NarrowUtf16, // Narrow, as UTF-16LE with a byte-order mark
};

/// About `bytes` of text of the given shape (deterministic).
QByteArray generate(Shape shape, qsizetype bytes);

/// Writes the text to a file in the temporary folder once and returns its path.
QString generatedFile(Shape shape, qsizetype bytes);

/// The processor's model name with its family and model numbers, as /proc/cpuinfo gives them.
QString processorModel();

/// One line naming the processor and the vector path the parser uses on it.
QString machineLine();

/// Counts records, fields and characters: the parser's own cost plus the least a delegate does.
/// With `wholeRecords`, it takes a record at a time rather than a field at a time.
class CountingDelegate : public CsvParserDelegate
{
public:
    explicit CountingDelegate(bool wholeRecords = false) : m_wholeRecords(wholeRecords) {}
    qsizetype records = 0;
    qsizetype fields = 0;
    qsizetype characters = 0;

    void parserDidEndLine(CsvParser &, qsizetype) override { ++records; }
    void parserDidReadField(CsvParser &, QStringView field, qsizetype) override
    {
        ++fields;
        characters += field.size();
    }
    bool readsWholeRecords() const override { return m_wholeRecords; }
    void parserDidReadRecord(CsvParser &, qsizetype, CsvFields record) override
    {
        ++records;
        fields += qsizetype(record.size());
        for (QStringView field : record)
            characters += field.size();
    }

private:
    bool m_wholeRecords;
};

} // namespace plotwell::csv::bench
