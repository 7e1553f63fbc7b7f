#pragma once

#include "convert/RecordSink.h"

#include <QByteArrayList>

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
    void appendCdata(QStringView value);

    QByteArrayList m_openTags;  // "      <name><![CDATA["
    QByteArrayList m_closeTags; // "]]></name>\n"
};

} // namespace plotwell::convert
