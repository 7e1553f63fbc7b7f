#include "convert/SqlWriter.h"

#include "convert/Escaping.h"

#include <stdexcept>

namespace plotwell::convert {

namespace {

using SqlStops = StopSet<'\\', '\'', '"'>;

constexpr std::string_view kNextRow = "),\n(";

} // namespace

void SqlWriter::begin(const QStringList &columnNames)
{
    if (!SqlStops::covers(m_escapes))
        throw std::logic_error("SqlWriter: a character that needs escaping is copied as it is");
    m_begun = true;
    const QString table = sqlTableIdentifier(m_settings.tableName);
    const QList<SqlColumn> columns = sqlColumns(columnNames);
    m_columnCount = columns.size();

    QString definition = QStringLiteral(" CREATE TABLE IF NOT EXISTS `%1` (\n").arg(table);
    definition += QStringLiteral("  `record_id`   bigint(20) unsigned NOT NULL AUTO_INCREMENT,\n");
    QString columnList;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const SqlColumn &column = columns.at(i);
        const QString type =
            column.untitled ? QStringLiteral("VARCHAR(255)") : m_settings.columnType(int(i + 1));
        definition += QStringLiteral("  `%1` %2,\n").arg(column.name, type);
        columnList += QStringLiteral("  `%1`").arg(column.name);
        if (i + 1 < columns.size())
            columnList += QLatin1Char(',');
    }
    // utf8mb4: the server's three-byte "utf8" refuses characters outside the Basic
    // Multilingual Plane (emoji), and strict mode then rejects the whole statement.
    definition +=
        QStringLiteral("PRIMARY KEY (`record_id`)\n) ENGINE=MyISAM  DEFAULT CHARSET=utf8mb4;\n");
    m_out.appendText(definition);
    m_insertHead =
        QStringLiteral("\nINSERT INTO `%1` (%2) VALUES (").arg(table, columnList).toUtf8();
}

void SqlWriter::record(Fields fields, qsizetype)
{
    countShape(fields);
    if (m_written % kRecordsPerInsert == 0) {
        if (m_written > 0)
            m_out.append(");");
        m_out.appendBytes(m_insertHead);
    }
    const qsizetype present = std::min(m_columnCount, qsizetype(fields.size()));
    qsizetype units = 0;
    for (qsizetype j = 0; j < present; ++j)
        units += fields[j].size();
    // Per value at most a comma and two quotes, or a comma and NULL.
    const qsizetype bound =
        qsizetype(kNextRow.size()) + 5 * m_columnCount + units * m_escapes.maxBytesPerUnit;
    writeRecord(m_out, bound, [&](auto &out) { write(out, fields); });
    ++m_written;
}

template <typename Output>
[[gnu::always_inline]] inline void SqlWriter::write(Output &out, Fields fields)
{
    // Members are read once: a store through the output could be taken to change them.
    const EscapeTable &escapes = m_escapes;
    const qsizetype columns = m_columnCount;
    const qsizetype present = std::min(columns, qsizetype(fields.size()));
    if (m_written % kRecordsPerInsert != 0)
        out.put(kNextRow);
    // The first value apart, so that each piece has a length known when compiling.
    if (present > 0) {
        out.put('\'');
        out.template putEscaped<SqlStops>(fields[0], escapes);
        out.put('\'');
    } else if (columns > 0) {
        out.put(std::string_view("NULL"));
    }
    for (qsizetype j = 1; j < present; ++j) {
        out.put(std::string_view(",'"));
        out.template putEscaped<SqlStops>(fields[j], escapes);
        out.put('\'');
    }
    for (qsizetype j = std::max<qsizetype>(present, 1); j < columns; ++j)
        out.put(std::string_view(",NULL"));
}

void SqlWriter::finish(qsizetype)
{
    if (!m_begun)
        return;
    // With no data there is no INSERT at all: "VALUES (" with nothing after it is no SQL.
    if (m_written > 0)
        m_out.append(");");
    m_out.flush();
}

QString SqlWriter::shortRecordNote() const
{
    return QStringLiteral("their missing values were written as NULL");
}

QString SqlWriter::longRecordNote() const
{
    return QStringLiteral("the values past the last column were left out, as the table has no "
                          "column for them");
}

} // namespace plotwell::convert
