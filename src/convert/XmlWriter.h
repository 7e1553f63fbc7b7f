#pragma once

#include "convert/Escaping.h"
#include "convert/RecordOutput.h"
#include "convert/RecordSink.h"

namespace plotwell::convert {

/// An XML document: an <Items> element holding one <item> per data record, each value in a
/// CDATA section of an element named after its column.
class XmlWriter final : public TableWriter
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
    template <typename Output>
    void putCdata(Output &out, QStringView value, const EscapeTable &escapes);

    const EscapeTable &m_escapes = xmlCdataEscapes();
    PieceList m_openTags;  // "      <name><![CDATA["
    PieceList m_closeTags; // "]]></name>\n"
};

} // namespace plotwell::convert
