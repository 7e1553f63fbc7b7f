#include "convert/XmlWriter.h"

#include "convert/Escaping.h"

namespace plotwell::convert {

void XmlWriter::begin(const QStringList &columnNames)
{
    m_begun = true;
    m_out.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Items>\n");
    const QStringList names = xmlElementNames(columnNames);
    m_columnCount = names.size();
    m_openTags.clear();
    m_closeTags.clear();
    for (const QString &name : names) {
        const QByteArray utf8 = name.toUtf8();
        m_openTags.append("      <" + utf8 + "><![CDATA[");
        m_closeTags.append("]]></" + utf8 + ">\n");
    }
}

void XmlWriter::record(Fields fields, qsizetype)
{
    countShape(fields);
    m_out.append(" <item>\n");
    const qsizetype count = std::min(m_columnCount, qsizetype(fields.size()));
    for (qsizetype j = 0; j < count; ++j) {
        m_out.appendBytes(m_openTags.at(j));
        appendCdata(fields[j]);
        m_out.appendBytes(m_closeTags.at(j));
    }
    m_out.append("</item>\n");
}

void XmlWriter::appendCdata(QStringView value)
{
    // "]]>" would end the section: the section is closed between "]]" and ">".
    const EscapeTable &escapes = xmlCdataEscapes();
    qsizetype from = 0;
    for (qsizetype end; (end = value.indexOf(u"]]>", from)) >= 0; from = end + 2) {
        m_replaced += m_out.appendEscaped(value.sliced(from, end + 2 - from), escapes);
        m_out.append("]]><![CDATA[");
    }
    m_replaced += m_out.appendEscaped(value.sliced(from), escapes);
}

void XmlWriter::finish(qsizetype)
{
    if (!m_begun)
        return;
    m_out.append("</Items>");
    m_out.flush();
}

QString XmlWriter::shortRecordNote() const
{
    return QStringLiteral("their items have no element for the missing values");
}

QString XmlWriter::longRecordNote() const
{
    return QStringLiteral("the values past the last column were left out, as they have no "
                          "element name");
}

} // namespace plotwell::convert
