#include "convert/JsonWriter.h"

#include "convert/Escaping.h"

#include <stdexcept>

namespace plotwell::convert {

namespace {

using JsonStops = StopSet<'"', '\\'>;

constexpr std::string_view kFirstItem = "{\n";
constexpr std::string_view kNextItem = "    \n},\n{\n";

} // namespace

void JsonWriter::begin(const QStringList &columnNames)
{
    if (!JsonStops::covers(m_escapes))
        throw std::logic_error("JsonWriter: a character that needs escaping is copied as it is");
    m_begun = true;
    m_out.append("{\n  \"items\":[\n");
    const QStringList keys = jsonKeys(columnNames);
    m_columnCount = keys.size();
    m_valueHeads.clear();
    for (const QString &key : keys) {
        const QByteArray head = (m_valueHeads.size() == 0 ? "    \"" : ",\n    \"") +
                                escapedUtf8(key, jsonEscapes()) + "\" : \"";
        m_valueHeads.append(std::string_view(head.constData(), std::size_t(head.size())));
    }
}

void JsonWriter::record(Fields fields, qsizetype)
{
    countShape(fields);
    const qsizetype present = std::min(m_columnCount, qsizetype(fields.size()));
    qsizetype units = 0;
    for (qsizetype j = 0; j < present; ++j)
        units += fields[j].size();
    // Each value closes with a quote or is the four letters of null.
    const qsizetype bound = qsizetype(kNextItem.size()) + m_valueHeads.totalSize() +
                            4 * m_columnCount + units * m_escapes.maxBytesPerUnit;
    writeRecord(m_out, bound, [&](auto &out) { write(out, fields); });
    ++m_written;
}

template <typename Output>
[[gnu::always_inline]] inline void JsonWriter::write(Output &out, Fields fields)
{
    // Members are read once: a store through the output could be taken to change them.
    const Piece *const heads = m_valueHeads.data();
    const EscapeTable &escapes = m_escapes;
    const qsizetype columns = m_columnCount;
    const qsizetype present = std::min(columns, qsizetype(fields.size()));
    // An item is closed when the next one starts or the array ends, because the last item
    // closes differently.
    out.put(m_written == 0 ? kFirstItem : kNextItem);
    for (qsizetype j = 0; j < present; ++j) {
        out.put(heads[j]);
        out.template putEscaped<JsonStops>(fields[j], escapes);
        out.put('"');
    }
    for (qsizetype j = present; j < columns; ++j) {
        out.put(heads[j].chopped(1));
        out.put(std::string_view("null"));
    }
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
