#include "convert/XmlWriter.h"

#include "convert/Escaping.h"

#include <stdexcept>

namespace plotwell::convert {

namespace {

// "]" too, where the writer looks for "]]>".
using CdataStops = StopSet<']'>;

constexpr std::string_view kItemStart = " <item>\n";
constexpr std::string_view kItemEnd = "</item>\n";

} // namespace

void XmlWriter::begin(const QStringList &columnNames)
{
    if (!CdataStops::covers(m_escapes))
        throw std::logic_error("XmlWriter: a character that needs escaping is copied as it is");
    m_begun = true;
    m_out.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Items>\n");
    const QStringList names = xmlElementNames(columnNames);
    m_columnCount = names.size();
    m_openTags.clear();
    m_closeTags.clear();
    for (const QString &name : names) {
        const QByteArray utf8 = name.toUtf8();
        const QByteArray open = "      <" + utf8 + "><![CDATA[";
        const QByteArray close = "]]></" + utf8 + ">\n";
        m_openTags.append(std::string_view(open.constData(), std::size_t(open.size())));
        m_closeTags.append(std::string_view(close.constData(), std::size_t(close.size())));
    }
}

void XmlWriter::record(Fields fields, qsizetype)
{
    countShape(fields);
    const qsizetype count = std::min(m_columnCount, qsizetype(fields.size()));
    qsizetype units = 0;
    for (qsizetype j = 0; j < count; ++j)
        units += fields[j].size();
    // A split "]]>" adds fewer bytes than the longest replacement of its three characters.
    const qsizetype bound = qsizetype(kItemStart.size() + kItemEnd.size()) +
                            m_openTags.totalSize() + m_closeTags.totalSize() +
                            units * m_escapes.maxBytesPerUnit;
    m_replaced += writeRecord(m_out, bound, [&](auto &out) { write(out, fields); });
}

template <typename Output>
[[gnu::always_inline]] inline void XmlWriter::write(Output &out, Fields fields)
{
    // Members are read once: a store through the output could be taken to change them.
    const Piece *const openTags = m_openTags.data();
    const Piece *const closeTags = m_closeTags.data();
    const EscapeTable &escapes = m_escapes;
    const qsizetype count = std::min(m_columnCount, qsizetype(fields.size()));
    out.put(kItemStart);
    for (qsizetype j = 0; j < count; ++j) {
        out.put(openTags[j]);
        putCdata(out, fields[j], escapes);
        out.put(closeTags[j]);
    }
    out.put(kItemEnd);
}

template <typename Output>
[[gnu::always_inline]] inline void XmlWriter::putCdata(Output &out, QStringView value,
                                                       const EscapeTable &escapes)
{
    if (out.template putPlain<CdataStops>(value))
        return;
    // "]]>" would end the section: the section is closed between "]]" and ">".
    qsizetype from = 0;
    for (qsizetype end; (end = value.indexOf(u"]]>", from)) >= 0; from = end + 2) {
        out.template putEscaped<CdataStops>(value.sliced(from, end + 2 - from), escapes);
        out.put(std::string_view("]]><![CDATA["));
    }
    out.template putEscaped<CdataStops>(value.sliced(from), escapes);
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
