#include "document/DocumentFormat.h"

#include <gtest/gtest.h>

using namespace plotwell;
using namespace plotwell::document;

namespace {

/// The row lines of rows `from`..93 when all of them are empty.
QString emptyRowLines(int from)
{
    QString text;
    for (int row = from; row <= kRowCount; ++row)
        text +=
            row % kPageSize == 0 ? QStringLiteral("\n\"\",\"\"") : QStringLiteral("\n\"\",\"\",");
    return text;
}

void fillChart(ChartGrid &grid)
{
    grid.setSetting(ChartSetting::ChartTitle, QStringLiteral("Räte, Ämter"));
    grid.setValueField(0, QStringLiteral("v1"));
    grid.setValueField(10, QStringLiteral("avg"));
    grid.setTitle(1, QStringLiteral("Åsa Lind(CEO)"));
    grid.setTitle(2, QStringLiteral("Bo \"the Boss\" Ek(CTO)"));
    grid.setParent(2, QStringLiteral("1_Åsa Lind(CEO)"));
    grid.setTitle(31, QStringLiteral("Last, of page one"));
    grid.setParent(31, QStringLiteral("2_Bo \"the Boss\" Ek(CTO)"));
    grid.setTitle(62, QStringLiteral("ends in a quote\""));
    grid.setTitle(93, QStringLiteral("Row 93(Intern)"));
    grid.setParent(93, QStringLiteral("62_ends in a quote\""));
}

} // namespace

TEST(DocumentText, WorkedExampleByteForByte)
{
    ChartGrid grid;
    grid.setSetting(ChartSetting::ChartTitle, QStringLiteral("Board"));
    grid.setTitle(1, QStringLiteral("Alice(CEO)"));
    grid.setTitle(2, QStringLiteral("Bob(CTO)"));
    grid.setParent(2, QStringLiteral("1_Alice(CEO)"));
    grid.setPosition(2, QStringLiteral("u")); // positions never reach the file

    const QByteArray expected = (QStringLiteral("Board,,,,,,,,,,,\n"
                                                "\"Alice(CEO)\",\"\",\n"
                                                "\"Bob(CTO)\",\"1_Alice(CEO)\",") +
                                 emptyRowLines(3))
                                    .toUtf8();
    EXPECT_EQ(documentText(grid).toUtf8(), expected);
}

TEST(PositionLine, NinetyThreeEntriesRowOneFirstAndBack)
{
    ChartGrid grid;
    grid.setPosition(1, QStringLiteral("NOT NULL"));
    grid.setPosition(2, QStringLiteral("u"));
    grid.setPosition(93, QStringLiteral("NULL"));
    const QString line = buildPositionLine(grid);
    EXPECT_EQ(line.count(QLatin1Char('~')), 92);
    EXPECT_TRUE(line.startsWith(QStringLiteral("NOT NULL~u~~")));
    EXPECT_TRUE(line.endsWith(QStringLiteral("~~NULL")));

    ChartGrid other;
    other.setPosition(50, QStringLiteral("stale"));
    applyPositionLine(other, line);
    other.forEachRow([&](int row, const ChartRow &fields) {
        EXPECT_EQ(fields.position, grid.position(row)) << "row " << row;
    });

    applyPositionLine(other, QStringLiteral("u~NULL"));
    EXPECT_EQ(other.position(2), QStringLiteral("NULL"));
    EXPECT_EQ(other.position(3), QString()) << "rows past a short line are emptied";
}

TEST(SavedDocument, WithExtrasAnyTitleReadsBackAndPlainRowsKeepTheirBytes)
{
    ChartGrid plainGrid;
    plainGrid.setSetting(ChartSetting::ChartTitle, QStringLiteral("Räte, Ämter"));
    plainGrid.setTitle(1, QStringLiteral("Ann, Jr(CEO)"));
    plainGrid.setParent(2, QStringLiteral("1_Ann, Jr(CEO)"));
    ChartGrid grid;
    fillChart(grid);
    const ChartExtras extras{QStringLiteral("u~NULL"),
                             QStringLiteral("#FFFFFF#123abc"),
                             120,
                             7,
                             0,
                             QStringLiteral("Font \"X\", Y"),
                             18};
    EXPECT_TRUE(documentText(plainGrid, extras)
                    .startsWith(documentText(plainGrid) + QStringLiteral("\n\"plotwell-chart\",")));

    const QStringList odd = {QStringLiteral("A \"q\""), QStringLiteral("a,\"b\",\"c"),
                             QStringLiteral("two\nlines\r\n"), QStringLiteral("\""),
                             QStringLiteral("\",\"")};
    for (int i = 0; i < odd.size(); ++i) {
        grid.setTitle(i + 1, odd[i]);
        grid.setParent(i + 2, odd[i]);
    }
    grid.setSetting(ChartSetting::ChartTitle, QStringLiteral("Board \"1\",\n2"));
    grid.setValueField(3, QStringLiteral("x,\"y"));
    const std::optional<SavedChart> saved =
        parseSavedDocument((documentText(grid, extras) + QStringLiteral("\n")).toUtf8());
    ASSERT_TRUE(saved);
    ASSERT_TRUE(saved->extras);
    EXPECT_EQ(*saved->extras, extras);
    EXPECT_EQ(saved->chartTitle, grid.setting(ChartSetting::ChartTitle));
    EXPECT_EQ(saved->valueFields.value(3), grid.valueField(3));
    for (int row = 1; row <= kRowCount; ++row) {
        EXPECT_EQ(saved->titles[std::size_t(row - 1)], grid.title(row)) << "row " << row;
        EXPECT_EQ(saved->parents[std::size_t(row - 1)], grid.parent(row)) << "row " << row;
    }
}

TEST(SavedDocument, OtherShapesAreOrdinaryCsvFilesOneFinalLineFeedIsNot)
{
    ChartGrid grid;
    fillChart(grid);
    const QString text = documentText(grid);
    QStringList lines = text.split(QLatin1Char('\n'));

    const auto variant = [&](const std::function<void(QStringList &)> &change) {
        QStringList changed = lines;
        change(changed);
        return parseSavedDocument(changed.join(QLatin1Char('\n')).toUtf8());
    };
    EXPECT_FALSE(variant([](QStringList &l) { l.removeLast(); })) << "92 row lines";
    EXPECT_FALSE(variant([](QStringList &l) { l[5].chop(1); })) << "row 5 without its comma";
    EXPECT_FALSE(variant([](QStringList &l) { l[7] = QStringLiteral("a,b,"); })) << "unquoted";
    EXPECT_FALSE(variant([](QStringList &l) { l[0] = QStringLiteral("Board,,,"); }))
        << "a short header";
    EXPECT_TRUE(parseSavedDocument(QByteArray(text.toUtf8()).replace('\n', "\r\n") + "\r\n"))
        << "CRLF line ends and a final one, as another editor leaves them";
    EXPECT_TRUE(parseSavedDocument(text.toUtf8() + "\n")) << "one final line feed is tolerated";
    EXPECT_FALSE(parseSavedDocument(text.toUtf8() + "\n\n"));
    EXPECT_FALSE(parseSavedDocument("Name(CEO),Other(CTO)\n1,2\n"));
    EXPECT_FALSE(parseSavedDocument(QByteArray()));

    QByteArray latin1 = text.toUtf8();
    latin1.replace("\xc3\x85", "\xc5"); // Å as a single Latin-1 byte
    EXPECT_FALSE(parseSavedDocument(latin1)) << "not UTF-8";
}

TEST(SavedDocument, NearMissesSayWhatAChartDocumentIs)
{
    ChartGrid grid;
    fillChart(grid);
    const QString text = documentText(grid);
    EXPECT_TRUE(nearChartDocumentProblem(text.toUtf8()).contains(QStringLiteral("rows are not")));
    QStringList lines = text.split(QLatin1Char('\n'));
    lines.removeLast();
    EXPECT_EQ(nearChartDocumentProblem(lines.join(QLatin1Char('\n')).toUtf8()),
              "a chart document has a title line and 93 rows; this one has 92");
    EXPECT_EQ(nearChartDocumentProblem("Name,Role\nAnn,Boss\nBo,Dev\n"), QString());
}

TEST(ReadTextFile, RefusesBinaryDataAndFilesPastTheLimitWithoutReadingThemWhole)
{
    EXPECT_TRUE(looksBinary(QByteArray("MZ\x90\0\x03", 5)));
    EXPECT_FALSE(looksBinary(QByteArray("\xFF\xFEN\0a\0", 6))) << "UTF-16 with its mark";
    EXPECT_FALSE(looksBinary("Name,Role\n"));

    const ReadFile zeros = readTextFile(QStringLiteral("/dev/zero"));
    EXPECT_EQ(zeros.problem, "larger than 16 MB, the most a chart document may hold");
    EXPECT_TRUE(zeros.bytes.isEmpty());
    EXPECT_FALSE(readTextFile(QStringLiteral("/no/such/file")).problem.isEmpty());
}
