#include "convert/SqlWriter.h"

#include "convert/Escaping.h"

namespace plotwell::convert {

void SqlWriter::begin(const QStringList &columnNames)
{
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
    if (m_written == 0) {
        m_out.appendBytes(m_insertHead);
    } else if (m_written % kRecordsPerInsert == 0) {
        m_out.append(");");
        m_out.appendBytes(m_insertHead);
    } else {
        m_out.append("),\n(");
    }
    const EscapeTable &escapes = sqlValueEscapes();
    const qsizetype present = std::min(m_columnCount, qsizetype(fields.size()));
    for (qsizetype j = 0; j < present; ++j) {
        m_out.append(j == 0 ? std::string_view("'") : std::string_view(",'"));
        m_out.appendEscaped(fields[j], escapes);
        m_out.append('\'');
    }
    for (qsizetype j = present; j < m_columnCount; ++j)
        m_out.append(j == 0 ? std::string_view("NULL") : std::string_view(",NULL"));
    ++m_written;
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
