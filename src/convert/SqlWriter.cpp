#include "convert/SqlWriter.h"

#include "convert/Escaping.h"

#include <QIODevice>

#include <stdexcept>

namespace plotwell::convert {

namespace {

using SqlStops = StopSet<'\\', '\'', '"'>;

constexpr std::string_view kNextRow = "),\n(";

// Same length as "VARCHAR(255)", so that the type can be replaced where it stands.
// Each type is as long as "VARCHAR(255)", so that one can replace another where it stands.
constexpr std::string_view kVarchar = "VARCHAR(255)";
constexpr std::string_view kTextTypes[] = {"VARCHAR(255)", "TEXT        ", "MEDIUMTEXT  ",
                                           "LONGTEXT    "};
static_assert(kVarchar.size() == kTextTypes[3].size());
/// The most UTF-16 units a value of each of `kTextTypes` can take: characters for VARCHAR,
/// bytes for the others, of which utf8mb4 takes at most three a unit.
constexpr qsizetype kTextUnits[] = {255, 65535 / 3, 16777215 / 3};

int textTypeFor(qsizetype units)
{
    int type = 0;
    while (type < 3 && units > kTextUnits[type])
        ++type;
    return type;
}

/// What a VARCHAR(255) column of utf8mb4 takes of a row: four bytes a character and a length.
constexpr qsizetype kVarcharRowBytes = 255 * 4 + 2;
constexpr qsizetype kRecordIdRowBytes = 8;

} // namespace

void SqlWriter::begin(const QStringList &columnNames)
{
    if (!SqlStops::covers(m_escapes))
        throw std::logic_error("SqlWriter: a character that needs escaping is copied as it is");
    m_begun = true;
    const QString table = sqlTableIdentifier(m_settings.tableName);
    const QList<SqlColumn> columns = sqlColumns(columnNames);
    m_columnCount = columns.size();

    qsizetype defaultColumns = 0;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const QString type = m_settings.columnType(int(i + 1));
        defaultColumns += columns.at(i).untitled || type.startsWith(QLatin1String(kVarchar));
    }
    // Past the row-size limit the server refuses the table: its VARCHARs become TEXT, which
    // lies outside the row.
    m_tooWideForVarchar = kRecordIdRowBytes + defaultColumns * kVarcharRowBytes > kRowSizeLimit;

    // Without it a client of another default character set garbles or refuses the values.
    m_out.append("SET NAMES utf8mb4;\n");
    m_out.appendText(QStringLiteral(" CREATE TABLE IF NOT EXISTS `%1` (\n").arg(table));
    m_out.append("  `record_id`   bigint(20) unsigned NOT NULL AUTO_INCREMENT,\n");
    QString columnList;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const SqlColumn &column = columns.at(i);
        QString type =
            column.untitled ? QStringLiteral("VARCHAR(255)") : m_settings.columnType(int(i + 1));
        if (!column.untitled && m_settings.columnsWithoutSqlType.contains(int(i + 1)))
            m_untypedColumns.append(column.name);
        m_out.appendText(QStringLiteral("  `%1` ").arg(column.name));
        if (type.startsWith(QLatin1String(kVarchar))) {
            const int declared = m_tooWideForVarchar ? 1 : 0;
            m_widenable.push_back({i, column.name, m_out.bytesWritten(), declared, 0});
            type.replace(0, qsizetype(kVarchar.size()), QLatin1String(kTextTypes[declared]));
        }
        m_out.appendText(type + QStringLiteral(",\n"));
        columnList += QStringLiteral("  `%1`").arg(column.name);
        if (i + 1 < columns.size())
            columnList += QLatin1Char(',');
    }
    // utf8mb4: the server's three-byte "utf8" refuses characters outside the Basic
    // Multilingual Plane (emoji), and strict mode then rejects the whole statement.
    m_out.append("PRIMARY KEY (`record_id`)\n) ENGINE=MyISAM  DEFAULT CHARSET=utf8mb4;\n");
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
    // UTF-16 units: never fewer than the characters the server counts.
    for (WidenableColumn &column : m_widenable) {
        if (column.column < present)
            column.longest = std::max(column.longest, fields[column.column].size());
    }
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
    if (!m_out.flush())
        return;
    // The table comes before its values: a column is made TEXT where it was declared, once
    // every value has been seen.
    const qint64 end = m_device.pos();
    bool moved = false;
    for (const WidenableColumn &column : m_widenable) {
        const int needed = std::max(column.declared, textTypeFor(column.longest));
        if (needed > 0)
            m_textColumns.append(column.name);
        if (needed == column.declared)
            continue;
        if (m_device.isSequential())
            throw std::runtime_error("values too long for their column need a file to write to");
        moved = true;
        const std::string_view type = kTextTypes[needed];
        if (!m_device.seek(column.typeOffset) ||
            m_device.write(type.data(), qint64(type.size())) != qint64(type.size()))
            throw std::runtime_error(qPrintable(m_device.errorString()));
    }
    if (moved && !m_device.seek(end))
        throw std::runtime_error(qPrintable(m_device.errorString()));
}

WriterReport SqlWriter::report() const
{
    WriterReport report = TableWriter::report();
    if (!m_untypedColumns.isEmpty())
        report.notes.append(QStringLiteral("The grid gave no SQL type for column(s) %1: they "
                                           "were written as VARCHAR(255) without a constraint.")
                                .arg(m_untypedColumns.join(QStringLiteral(", "))));
    if (!m_textColumns.isEmpty())
        report.notes.append(
            m_tooWideForVarchar
                ? QStringLiteral("Column(s) %1 were made TEXT (or longer): as VARCHAR(255) the "
                                 "table would pass the server's row-size limit.")
                      .arg(m_textColumns.join(QStringLiteral(", ")))
                : QStringLiteral("Column(s) %1 were made TEXT (or longer): they hold values "
                                 "longer than 255 characters.")
                      .arg(m_textColumns.join(QStringLiteral(", "))));
    return report;
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
