// The four writers and the preview, fed with records directly.
#include "WriterHarness.h"
#include "convert/Escaping.h"
#include "convert/HtmlTable.h"
#include "convert/JsonWriter.h"
#include "convert/SqlWriter.h"
#include "convert/XmlWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>

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

TEST(Escaping, ACharacterIsWrittenAsItIsAloneWhereverItStandsInALongValue)
{
    // Long values are copied many units at a time and in steps of a few thousand; neither may
    // change how a character comes out.
    QStringList characters;
    for (char16_t c = 0; c < 0x80; ++c)
        characters.append(QString(QChar(c)));
    characters << QStringLiteral("\u00E9") << QStringLiteral("\u00FF") << QStringLiteral("\u0100")
               << QStringLiteral("\u6771") << QStringLiteral("\uFFFE")
               << QString::fromUtf8("\xF0\x9F\x98\x80") << QString(QChar(0xD800))
               << QString(QChar(0xDC00));
    QList<int> places;
    for (int at = 0; at <= 40; ++at)
        places << at << 2030 + at;
    const int length = 2100;
    for (const EscapeTable *table :
         {&sqlValueEscapes(), &jsonEscapes(), &xmlCdataEscapes(), &htmlEscapes()}) {
        for (const QString &c : characters) {
            const QByteArray alone = escapedUtf8(c, *table);
            for (int at : places) {
                const QString text = QString(at, u'a') + c + QString(length - at, u'z');
                ASSERT_EQ(escapedUtf8(text, *table),
                          QByteArray(at, 'a') + alone + QByteArray(length - at, 'z'))
                    << "U+" << std::hex << int(c.at(0).unicode()) << std::dec << " at " << at;
            }
        }
    }
}

/// Every writer puts a record together in one of two ways, and short values one at a time:
/// what it makes of each value must be what the escaping alone makes of it, whatever the
/// value's length and wherever its one special character stands.
template <typename W> void expectEachValueWrittenAsEscaped(const EscapeTable &table)
{
    const QString marker = QStringLiteral("MARKmarkMARK");
    QStringList characters;
    for (char16_t c = 0; c < 0x80; ++c)
        characters.append(QString(QChar(c)));
    characters << QStringLiteral("\u00E9") << QStringLiteral("\u0100") << QStringLiteral("\u6771")
               << QStringLiteral("\uFFFF") << QString::fromUtf8("\xF0\x9F\x98\x80")
               << QString(QChar(0xDC00));
    const QStringList names = {QStringLiteral("k"), QStringLiteral("second")};
    for (const QString &c : characters) {
        // The escaping test above shows that the text around a character comes out as it is.
        const QByteArray alone = escapedUtf8(c, table);
        QList<QStringList> rows;
        QList<QStringList> marked;
        QList<QByteArray> escaped;
        const auto add = [&](int before, int after) {
            const QString value = QString(before, u'a') + c + QString(after, u'z');
            const bool single = before % 2 == 1;
            rows.append(single ? QStringList{value} : QStringList{value, QStringLiteral("w")});
            marked.append(single ? QStringList{marker} : QStringList{marker, QStringLiteral("w")});
            escaped.append(QByteArray(before, 'a') + alone + QByteArray(after, 'z'));
        };
        // Every place in values up to a little past 16 units, a few in longer ones, and for
        // two characters values so long that a record no longer fits in one piece of room.
        for (int length = 1; length <= 40; length += length < 18 ? 1 : 11) {
            for (int at = 0; at < length; at += length < 18 ? 1 : 7)
                add(at, length - 1 - at);
        }
        if (c == u"\"" || c == u"\u00E9") {
            for (int at : {0, 7001, 19999})
                add(at, 19999 - at);
        }
        // Declared TEXT, the SQL table is the same whatever the values' lengths.
        ConversionSettings settings;
        settings.columnTypes = {QStringLiteral("TEXT"), QStringLiteral("TEXT")};
        const QByteArray around = written<W>(names, marked, settings);
        QByteArray expected;
        qsizetype from = 0;
        for (const QByteArray &value : escaped) {
            const qsizetype at = around.indexOf(marker.toLatin1(), from);
            ASSERT_GE(at, 0);
            expected += around.mid(from, at - from) + value;
            from = at + marker.size();
        }
        expected += around.mid(from);
        ASSERT_EQ(written<W>(names, rows, settings), expected)
            << "U+" << std::hex << int(c.at(0).unicode());
    }
}

TEST(Escaping, WritersWriteEachValueAsTheEscapingDoesWhateverItsLength)
{
    expectEachValueWrittenAsEscaped<SqlWriter>(sqlValueEscapes());
    expectEachValueWrittenAsEscaped<JsonWriter>(jsonEscapes());
    expectEachValueWrittenAsEscaped<XmlWriter>(xmlCdataEscapes());
    expectEachValueWrittenAsEscaped<HtmlTableWriter>(htmlEscapes());
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

TEST(SqlWriter, NamesEveryColumnUniquelyAndTypesUntitledOnes)
{
    ConversionSettings settings;
    settings.columnTypes = {QStringLiteral("INT NOT NULL"), QStringLiteral("TEXT "),
                            QStringLiteral("DATE "), QStringLiteral("TEXT ")};
    const QByteArray sql =
        written<SqlWriter>({QStringLiteral("First Name"), QStringLiteral("\"\u201C'"),
                            QStringLiteral("record_ID"), QStringLiteral("first_name")},
                           {}, settings);
    EXPECT_TRUE(sql.contains("CREATE TABLE IF NOT EXISTS `table_name` (\n"
                             "  `record_id`   bigint(20) unsigned NOT NULL AUTO_INCREMENT,\n"
                             "  `First_Name` INT NOT NULL,\n  `Untitled2` VARCHAR(255),\n"
                             "  `record_ID_2` DATE ,\n  `first_name_2` TEXT ,\n"));
    // A file of column names alone gives the table and no INSERT.
    EXPECT_TRUE(sql.endsWith("DEFAULT CHARSET=utf8mb4;\n"));
}

TEST(SqlWriter, StartsANewInsertEveryThousandRecords)
{
    EXPECT_EQ(written<SqlWriter>(kNames, numberedRows(1000), staffSettings()).count("INSERT INTO"),
              1);
    const QByteArray sql = written<SqlWriter>(kNames, numberedRows(2001), staffSettings());
    EXPECT_EQ(sql.count("INSERT INTO"), 3);
    EXPECT_TRUE(sql.contains("('n1000','d1000');\nINSERT INTO `staff` (  `Name`,  `Dept`) VALUES "
                             "('n1001','d1001'),\n"));
    EXPECT_TRUE(sql.contains("('n2000','d2000');\nINSERT INTO"));
    EXPECT_TRUE(sql.endsWith("('n2001','d2001');"));
    EXPECT_EQ(sql.count("),\n("), 2001 - 3);
}

TEST(SqlWriter, RaggedRecordsKeepTheScriptValidAndAreReported)
{
    WriterReport report;
    const QByteArray sql =
        written<SqlWriter>(kNames,
                           {{QStringLiteral("Ann")},
                            {QStringLiteral("Bob"), QStringLiteral("IT"), QStringLiteral("extra")},
                            {QStringLiteral("Cy"), QStringLiteral("Ops")}},
                           staffSettings(), &report);
    EXPECT_TRUE(sql.endsWith("VALUES ('Ann',NULL),\n('Bob','IT'),\n('Cy','Ops');"));
    EXPECT_FALSE(sql.contains("extra"));
    EXPECT_EQ(std::pair(report.shortRecords, report.longRecords),
              (std::pair<qsizetype, qsizetype>(1, 1)));
    ASSERT_EQ(report.notes.size(), 2);
    EXPECT_TRUE(report.notes.at(0).contains("NULL") && report.notes.at(1).contains("left out"));
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

TEST(JsonWriter, ControlCharactersAreEscapedAndParseBack)
{
    // The round trip covers quotes, backslashes and line breaks; these are not in its file.
    const QString controls = QStringLiteral("\u0001\u001F\b\f\u007F");
    const QByteArray json = written<JsonWriter>({"c"}, {{controls}, {"O'Brien"}});
    const QJsonArray items = QJsonDocument::fromJson(json).object().value("items").toArray();
    ASSERT_EQ(items.size(), 2) << json.toStdString();
    EXPECT_EQ(items.at(0)["c"].toString(), controls);
    EXPECT_TRUE(json.contains("\"O'Brien\"")); // an apostrophe needs no escape in JSON
}

TEST(JsonWriter, KeysAreCleanedNamedAndUnique)
{
    const QByteArray json =
        written<JsonWriter>({QStringLiteral("First Name"), QStringLiteral("\u2018\u2019"),
                             QStringLiteral("a\\b"), QStringLiteral("First_Name")},
                            {{"1", "2", "3", "4"}});
    const QJsonObject item =
        QJsonDocument::fromJson(json).object().value("items").toArray().at(0).toObject();
    EXPECT_EQ(item.keys(), (QStringList{"First_Name", "First_Name_2", "Untitled2", "a\\b"}));
    EXPECT_EQ(item.value("Untitled2").toString(), "2");
}

TEST(JsonWriter, HeaderOnlyAndRaggedFilesStayValid)
{
    const QByteArray empty = written<JsonWriter>(kNames, {});
    EXPECT_EQ(empty, "{\n  \"items\":[\n]\n}");
    EXPECT_FALSE(QJsonDocument::fromJson(empty).isNull());

    WriterReport report;
    const QByteArray json = written<JsonWriter>(
        kNames, {{QStringLiteral("Ann")}, {QStringLiteral("Bob"), "IT", "x"}}, {}, &report);
    const QJsonArray items = QJsonDocument::fromJson(json).object().value("items").toArray();
    ASSERT_EQ(items.size(), 2);
    EXPECT_TRUE(items.at(0).toObject().value("Dept").isNull());
    EXPECT_EQ(items.at(1).toObject().size(), 2);
    EXPECT_EQ(std::pair(report.shortRecords, report.longRecords),
              (std::pair<qsizetype, qsizetype>(1, 1)));
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

/// Every item as a list of (element name, text) pairs.
QList<QList<std::pair<QString, QString>>> readItems(const QByteArray &xml, QString *error)
{
    QList<QList<std::pair<QString, QString>>> items;
    QXmlStreamReader reader(xml);
    reader.readNextStartElement(); // Items
    while (reader.readNextStartElement()) {
        items.emplace_back();
        while (reader.readNextStartElement()) {
            const QString name = reader.name().toString();
            items.last().append(std::pair(name, reader.readElementText()));
        }
    }
    if (reader.hasError())
        *error = reader.errorString();
    return items;
}

TEST(XmlWriter, ElementNamesAreMadeValid)
{
    // Full-width letters are name characters of XML's fifth edition only: expat refuses them.
    const QStringList names = {"2024",  "Price ($)", "First Name", "a:b",  "\"\"",
                               "Größe", "x&<y>",     "-dash",      "名前", "\uFF21\uFF22c"};
    const QByteArray xml = written<XmlWriter>(names, {names});
    QString error;
    const auto items = readItems(xml, &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    QStringList got;
    for (const auto &[name, text] : items.at(0))
        got.append(name);
    EXPECT_EQ(got, (QStringList{"_2024", "Price____", "First_Name", "a_b", "Untitled5", "Größe",
                                "xy", "_-dash", "名前", "__c"}));
}

TEST(XmlWriter, CharactersXmlCannotHoldAreReplacedAndCounted)
{
    WriterReport report;
    const QByteArray xml = written<XmlWriter>(
        kNames, {{QStringLiteral("a\u0001b\uFFFE"), QStringLiteral("ok")}, {"short"}}, {}, &report);
    QString error;
    const auto items = readItems(xml, &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(items.at(0).at(0).second, QStringLiteral("a\uFFFDb\uFFFD"));
    EXPECT_EQ(items.at(1).size(), 1); // the missing value has no element
    EXPECT_EQ(report.replacedCharacters, 2);
    EXPECT_EQ(report.shortRecords, 1);
    EXPECT_EQ(report.notes.size(), 2);
    EXPECT_TRUE(written<XmlWriter>(kNames, {}).endsWith("<Items>\n</Items>"));
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
    EXPECT_TRUE(
        html.startsWith("<!DOCTYPE html>\n<html>\n<head>\n<title>Convexo Document</title>"));
    EXPECT_TRUE(html.contains("th{\n      background:#104E8B;"));
}

TEST(HtmlTableWriter, EscapesHeaderCells)
{
    // Cells are read back by the round trip, with an empty one as a non-breaking space.
    EXPECT_TRUE(written<HtmlTableWriter>({QStringLiteral("<b>Name</b>")}, {})
                    .contains("<th>&lt;b&gt;Name&lt;/b&gt;</th>"));
}

TablePreview preview(const QStringList &names, const QList<QStringList> &rows)
{
    TablePreviewBuilder builder{ConversionSettings{}};
    feed(builder, names, rows);
    return builder.result();
}

TEST(TablePreview, ShowsTheFirstHundredRowsOfALargerFile)
{
    const TablePreview shown = preview(kNames, numberedRows(150));
    EXPECT_TRUE(shown.truncated);
    EXPECT_EQ(shown.recordCount, 150);
    EXPECT_TRUE(shown.html.contains("'>First 100 Rows HTML Preview of 150 Total Records found."));
    EXPECT_TRUE(shown.html.contains("<td>n100</td>") && !shown.html.contains("<td>n101</td>"));
    EXPECT_EQ(shown.html.count("<tr class="), 100);
    EXPECT_TRUE(shown.html.contains("<tr style='background:red;color:#FFFFFF;'><td colspan='2' "
                                    "style='color:#FFFFFF;'>This preview has been truncated"));
    EXPECT_TRUE(shown.html.startsWith(previewHead(ConversionSettings{})));
    EXPECT_TRUE(shown.html.contains("<title>Tabrio Document</title>"));
    EXPECT_TRUE(shown.html.endsWith("</table>"));

    // Exactly 100 data records still shows the truncation row and caption; 99 does not.
    EXPECT_TRUE(preview(kNames, numberedRows(100)).html.contains("First 100 Rows"));
    const TablePreview small = preview(kNames, numberedRows(99));
    EXPECT_TRUE(small.html.contains("'>Preview of 99 Total Records found.<span"));
    EXPECT_FALSE(small.truncated || small.html.contains("background:red"));
}

TEST(TablePreview, CleansHeaderCellsAndEscapesText)
{
    const TablePreview shown =
        preview({QStringLiteral("  "), QStringLiteral("\"\u201D"), QStringLiteral("A \"B\" <C>")},
                {{QString(), QStringLiteral("<img src=x onerror=alert(1)>"), QStringLiteral("&")}});
    EXPECT_TRUE(shown.html.contains(
        "<tr><th>&nbsp;&nbsp;</th><th>Untitled2</th><th>A&nbsp;B&nbsp;&lt;C&gt;</th>"));
    for (const char *cell :
         {"<td>&nbsp;</td>", "<td>&lt;img src=x onerror=alert(1)&gt;</td>", "<td>&amp;</td>"})
        EXPECT_TRUE(shown.html.contains(cell)) << cell;
}

TEST(TablePreview, RaggedRowsAreEachClosedOnce)
{
    const TablePreview shown = preview(kNames, {{"a"}, {"b", "c", "d"}, {"e", "f"}});
    EXPECT_EQ(shown.html.count("<tr"), shown.html.count("</tr>"));
    EXPECT_TRUE(shown.html.contains("<td>d</td>  </tr>"));
}
