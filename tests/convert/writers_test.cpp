// The four writers and the preview, fed with records directly.
#include "WriterHarness.h"
#include "convert/Escaping.h"
#include "convert/HtmlTable.h"
#include "convert/JsonWriter.h"
#include "convert/SqlWriter.h"
#include "convert/XmlWriter.h"

#include <gtest/gtest.h>

using namespace plotwell::convert;
using namespace plotwell::convert::test;

namespace {

const QStringList kNames = {QStringLiteral("Name"), QStringLiteral("Dept")};
const QList<QStringList> kStaff = {{QStringLiteral("Ann"), QStringLiteral("Sales")},
                                   {QStringLiteral("Bob"), QStringLiteral("IT")}};

ConversionSettings staffSettings()
{
    ConversionSettings settings;
    settings.tableName = QStringLiteral("staff");
    settings.columnTypes = {QStringLiteral("VARCHAR(255) "), QStringLiteral("VARCHAR(255) ")};
    return settings;
}

QList<QStringList> numberedRows(int count)
{
    QList<QStringList> rows;
    for (int i = 1; i <= count; ++i)
        rows.append({QStringLiteral("n%1").arg(i), QStringLiteral("d%1").arg(i)});
    return rows;
}

} // namespace

/// What a writer of type W makes of \a value, found by writing a marker in its place.
template <typename W> QByteArray writtenAround(const QString &value, const QByteArray &escaped)
{
    ConversionSettings settings;
    settings.columnTypes = {QStringLiteral("TEXT"), QStringLiteral("TEXT")};
    const QStringList names = {QStringLiteral("k"), QStringLiteral("second")};
    // Records of one value and of two take different paths through the writers.
    const auto rows = [](const QString &v) {
        return QList<QStringList>{{v}, {v, QStringLiteral("w")}};
    };
    QByteArray expected = written<W>(names, rows(QStringLiteral("MARKmarkMARK")), settings);
    expected.replace("MARKmarkMARK", escaped);
    EXPECT_EQ(written<W>(names, rows(value), settings), expected);
    return expected;
}

TEST(Escaping, EachSpecialCharacterAloneInsideLongValuesAndThroughItsWriter)
{
    const EscapeTable &sql = sqlValueEscapes();
    const EscapeTable &json = jsonEscapes();
    const EscapeTable &xml = xmlCdataEscapes();
    const EscapeTable &html = htmlEscapes();
    const QByteArray replaced = "\xEF\xBF\xBD";
    const struct
    {
        const EscapeTable *table;
        QString character;
        QByteArray escaped;
    } rows[] = {
        {&sql, QString(QChar(0)), "\\0"},
        {&sql, "\n", "\\n"},
        {&sql, "\x1A", "\\Z"},
        {&sql, "\\", "\\\\"},
        {&sql, "'", "\\'"},
        {&sql, "\t", "\t"},
        {&json, QString(QChar(0)), "\\u0000"},
        {&json, "\b", "\\b"},
        {&json, "\x1F", "\\u001f"},
        {&json, "\\", "\\\\"},
        {&json, "'", "'"},
        {&xml, "\x01", replaced},
        {&xml, "\r", "]]>&#13;<![CDATA["},
        {&xml, "\uFFFE", replaced},
        {&html, "&", "&amp;"},
        {&html, "<", "&lt;"},
        {&html, ">", "&gt;"},
        {&html, "\"", "&quot;"},
        {&html, "'", "&#39;"},
        {&html, "\r", "&#13;"},
        {&html, QString(QChar(0)), replaced},
        {&sql, "\u00E9", "\xC3\xA9"},
        {&json, QString::fromUtf8("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80"},
        {&html, QString(QChar(0xD800)), replaced},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE("U+" + QString::number(row.character.at(0).unicode(), 16).toStdString());
        EXPECT_EQ(escapedUtf8(row.character, *row.table), row.escaped);
        // Long values are copied many units at a time and in steps of a few thousand; neither
        // may change how a character comes out.
        for (int at : {0, 1, 15, 16, 17, 2047, 2048, 2099}) {
            const QString text = QString(at, u'a') + row.character + QString(2100 - at, u'z');
            ASSERT_EQ(escapedUtf8(text, *row.table),
                      QByteArray(at, 'a') + row.escaped + QByteArray(2100 - at, 'z'))
                << at;
        }
        for (int at : {0, 9, 19999}) {
            const QString value = QString(at, u'a') + row.character + QString(19999 - at, u'z');
            const QByteArray escaped =
                QByteArray(at, 'a') + row.escaped + QByteArray(19999 - at, 'z');
            if (row.table == &sql)
                writtenAround<SqlWriter>(value, escaped);
            else if (row.table == &json)
                writtenAround<JsonWriter>(value, escaped);
            else if (row.table == &xml)
                writtenAround<XmlWriter>(value, escaped);
            else
                writtenAround<HtmlTableWriter>(value, escaped);
        }
    }
}

TEST(SqlWriter, WritesTheStaffScript)
{
    WriterReport report;
    const QByteArray sql = written<SqlWriter>(kNames, kStaff, staffSettings(), &report);
    EXPECT_EQ(sql, "SET NAMES utf8mb4;\n"
                   " CREATE TABLE IF NOT EXISTS `staff` (\n"
                   "  `record_id`   bigint(20) unsigned NOT NULL AUTO_INCREMENT,\n"
                   "  `Name` VARCHAR(255) ,\n"
                   "  `Dept` VARCHAR(255) ,\n"
                   "PRIMARY KEY (`record_id`)\n"
                   ") ENGINE=MyISAM  DEFAULT CHARSET=utf8mb4;\n"
                   "\n"
                   "INSERT INTO `staff` (  `Name`,  `Dept`) VALUES ('Ann','Sales'),\n"
                   "('Bob','IT');");
    EXPECT_TRUE(report.notes.isEmpty());
}

TEST(SqlWriter, StartsANewInsertEveryThousandRecords)
{
    const QByteArray sql = written<SqlWriter>(kNames, numberedRows(2001), staffSettings());
    EXPECT_EQ(sql.count("INSERT INTO"), 3);
    EXPECT_TRUE(sql.contains("('n1000','d1000');\nINSERT INTO `staff` (  `Name`,  `Dept`) VALUES "
                             "('n1001','d1001'),\n"));
    EXPECT_TRUE(sql.contains("('n2000','d2000');\nINSERT INTO"));
}

TEST(JsonWriter, WritesTheStaffItems)
{
    EXPECT_EQ(written<JsonWriter>(kNames, kStaff), "{\n"
                                                   "  \"items\":[\n"
                                                   "{\n"
                                                   "    \"Name\" : \"Ann\",\n"
                                                   "    \"Dept\" : \"Sales\"    \n"
                                                   "},\n"
                                                   "{\n"
                                                   "    \"Name\" : \"Bob\",\n"
                                                   "    \"Dept\" : \"IT\"  \n"
                                                   "}   \n"
                                                   "]\n"
                                                   "}");
}

TEST(XmlWriter, WritesTheStaffItems)
{
    EXPECT_EQ(written<XmlWriter>(kNames, kStaff), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                                  "<Items>\n"
                                                  " <item>\n"
                                                  "      <Name><![CDATA[Ann]]></Name>\n"
                                                  "      <Dept><![CDATA[Sales]]></Dept>\n"
                                                  "</item>\n"
                                                  " <item>\n"
                                                  "      <Name><![CDATA[Bob]]></Name>\n"
                                                  "      <Dept><![CDATA[IT]]></Dept>\n"
                                                  "</item>\n"
                                                  "</Items>");
}

TEST(HtmlTableWriter, WritesTheStaffTable)
{
    const ConversionSettings settings;
    const QByteArray html = written<HtmlTableWriter>(kNames, kStaff, settings);
    EXPECT_EQ(html, fileHead(settings).toUtf8() +
                        "\n<table cellpadding='0' cellspading='3' style='min-width:785px;'>\n"
                        "  <tr>\n"
                        "       <th>Name</th>\n"
                        "       <th>Dept</th>\n"
                        "\n  </tr>\n  <tr class='even-cell'>  \n     <td>Ann</td>  \n     "
                        "<td>Sales</td>"
                        "\n  </tr>\n  <tr class='odd-cell'>  \n     <td>Bob</td>  \n     "
                        "<td>IT</td>"
                        "\n  </tr>\n <tr style='background:#FFF;color:#FFF;'>\n     <td "
                        "colspan='2' style='padding-bottom:100px;'>&nbsp;</td>\n  </tr>\n"
                        "</table>\n</body>\n</html>");
}

TablePreview preview(const QStringList &names, const QList<QStringList> &rows)
{
    TablePreviewBuilder builder{ConversionSettings{}};
    feed(builder, names, rows);
    return builder.result();
}

TEST(TablePreview, ShowsTheFirstHundredRowsCleansHeadersAndClosesRaggedRows)
{
    const TablePreview shown = preview(kNames, numberedRows(150));
    EXPECT_TRUE(shown.truncated);
    EXPECT_EQ(shown.recordCount, 150);
    EXPECT_TRUE(shown.html.contains("'>First 100 Rows HTML Preview of 150 Total Records found."));
    EXPECT_EQ(shown.html.count("<tr class="), 100);
    EXPECT_TRUE(shown.html.contains("<td>n100</td>") && !shown.html.contains("<td>n101</td>"));

    const TablePreview ragged = preview(
        {QStringLiteral("  "), QStringLiteral("\"\u201D"), QStringLiteral("A \"B\" <C>")},
        {{QString(), QStringLiteral("<img>"), QStringLiteral("&")}, {"a"}, {"b", "c", "d", "e"}});
    EXPECT_TRUE(ragged.html.contains(
        "<tr><th>&nbsp;&nbsp;</th><th>Untitled2</th><th>A&nbsp;B&nbsp;&lt;C&gt;</th>"));
    for (const char *cell : {"<td>&nbsp;</td>", "<td>&lt;img&gt;</td>", "<td>&amp;</td>"})
        EXPECT_TRUE(ragged.html.contains(cell)) << cell;
    EXPECT_EQ(ragged.html.count("<tr"), ragged.html.count("</tr>"));
}
