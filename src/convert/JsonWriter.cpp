#include "convert/JsonWriter.h"

#include "convert/Escaping.h"

namespace plotwell::convert {

void JsonWriter::begin(const QStringList &columnNames)
{
    m_begun = true;
    m_out.append("{\n  \"items\":[\n");
    const QStringList keys = jsonKeys(columnNames);
    m_columnCount = keys.size();
    m_linePrefixes.clear();
    for (const QString &key : keys)
        m_linePrefixes.append("    \"" + escapedUtf8(key, jsonEscapes()) + "\" : ");
}

void JsonWriter::record(Fields fields, qsizetype)
{
    countShape(fields);
    // An item is closed when the next one starts or the array ends, because the last item
    // closes differently.
    m_out.append(m_written == 0 ? std::string_view("{\n") : std::string_view("    \n},\n{\n"));
    const EscapeTable &escapes = jsonEscapes();
    for (qsizetype j = 0; j < m_columnCount; ++j) {
        if (j > 0)
            m_out.append(",\n");
        m_out.appendBytes(m_linePrefixes.at(j));
        if (j < qsizetype(fields.size())) {
            m_out.append('"');
            m_out.appendEscaped(fields[j], escapes);
            m_out.append('"');
        } else {
            m_out.append("null");
        }
    }
    ++m_written;
}

void JsonWriter::finish(qsizetype)
{
    if (!m_begun)
        return;
    m_out.append(m_written > 0 ? std::string_view("  \n}   \n]\n}") : std::string_view("]\n}"));
    m_out.flush();
}

QString JsonWriter::shortRecordNote() const
{
    return QStringLiteral("their missing values were written as null");
}

QString JsonWriter::longRecordNote() const
{
    return QStringLiteral("the values past the last column were left out, as they have no key");
}

} // namespace plotwell::convert
