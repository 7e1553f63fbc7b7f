#pragma once

#include "convert/RecordSink.h"

#include <QByteArrayList>

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
    /// Per column, what comes before its value: the separator from the previous line, the
    /// key and the opening quote of a string (left out before null).
    QByteArrayList m_valueHeads;
    qsizetype m_written = 0;
};

} // namespace plotwell::convert
