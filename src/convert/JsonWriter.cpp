#include "convert/JsonWriter.h"

#include "convert/Escaping.h"

namespace plotwell::convert {

void JsonWriter::begin(const QStringList &columnNames)
{
    m_begun = true;
    m_out.append("{\n  \"items\":[\n");
    const QStringList keys = jsonKeys(columnNames);
    m_columnCount = keys.size();
    m_valueHeads.clear();
    for (const QString &key : keys)
        m_valueHeads.append((m_valueHeads.isEmpty() ? "    \"" : ",\n    \"") +
                            escapedUtf8(key, jsonEscapes()) + "\" : \"");
}

void JsonWriter::record(Fields fields, qsizetype)
{
    countShape(fields);
    // An item is closed when the next one starts or the array ends, because the last item
    // closes differently.
    m_out.append(m_written == 0 ? std::string_view("{\n") : std::string_view("    \n},\n{\n"));
    const EscapeTable &escapes = jsonEscapes();
    const qsizetype present = std::min(m_columnCount, qsizetype(fields.size()));
    for (qsizetype j = 0; j < present; ++j) {
        m_out.appendBytes(m_valueHeads.at(j));
        m_out.appendEscaped(fields[j], escapes);
        m_out.append('"');
    }
    for (qsizetype j = present; j < m_columnCount; ++j) {
        const QByteArray &head = m_valueHeads.at(j);
        m_out.append(std::string_view(head.constData(), std::size_t(head.size() - 1)));
        m_out.append("null");
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
