#pragma once

#include "convert/Escaping.h"
#include "convert/RecordOutput.h"
#include "convert/RecordSink.h"

namespace plotwell::convert {

/// A MySQL/MariaDB script: the table definition, then the records as INSERT statements of at
/// most `kRecordsPerInsert` rows each, so that no statement outgrows a client's packet limit.
class SqlWriter final : public TableWriter
{
public:
    static constexpr qsizetype kRecordsPerInsert = 1000;

    using TableWriter::TableWriter;

    void begin(const QStringList &columnNames) override;
    void record(Fields fields, qsizetype index) override;
    void finish(qsizetype recordCount) override;

protected:
    QString shortRecordNote() const override;
    QString longRecordNote() const override;

private:
    template <typename Output> void write(Output &out, Fields fields);

    const EscapeTable &m_escapes = sqlValueEscapes();
    QByteArray m_insertHead;
    qsizetype m_written = 0;
};

} // namespace plotwell::convert
