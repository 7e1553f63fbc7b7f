#pragma once

#include "convert/Escaping.h"
#include "convert/RecordOutput.h"
#include "convert/RecordSink.h"

namespace plotwell::convert {

/// A JSON object whose "items" array holds one object per data record, keyed by column name.
class JsonWriter final : public TableWriter
{
public:
    using TableWriter::TableWriter;

    void begin(const QStringList &columnNames) override;
    void record(Fields fields, qsizetype index) override;
    void finish(qsizetype recordCount) override;

protected:
    QString shortRecordNote() const override;
    QString longRecordNote() const override;

private:
    template <typename Output> void write(Output &out, Fields fields);

    /// Per column, what comes before its value: the separator from the previous line, the
    /// key and the opening quote of a string (left out before null).
    PieceList m_valueHeads;
    const EscapeTable &m_escapes = jsonEscapes();
    qsizetype m_written = 0;
};

} // namespace plotwell::convert
