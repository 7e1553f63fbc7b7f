// An organisation as a chart: the 93-row grid, subsets that fit, and the page's
// data string at any size, read back by the page's own parser.
#include "staff/StaffChart.h"

#include "StaffTestSupport.h"

#include <QColor>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace plotwell;
using namespace plotwell::staff;

namespace {

Organisation organisationOf(const QByteArray &bytes)
{
    const StaffTable table = readStaffTable(bytes);
    return buildOrganisation(table, guessColumns(table.header));
}

// A line break inside a quoted name must not reach the grid: it would end the document's row line.
const QByteArray kSmall = "Name,Title,Manager,Department\n"
                          "Ann Lee,CEO,,Board\n"
                          "Bob Stone,CFO,Ann Lee,Finance\n"
                          "\"Cy \"\"Ace\"\"\r\nMoe\",Clerk,Dee Ray,Sales\n"
                          "Dee Ray,Sales Lead,Ann Lee,sales \n"
                          "Eve,,Bob Stone,Finance\n";

QStringList rowsOf(const ChartGrid &grid, int count)
{
    QStringList rows;
    for (int row = 1; row <= count; ++row)
        rows << grid.title(row) + u'|' + grid.parent(row) + u'|' + grid.position(row);
    return rows;
}

} // namespace

TEST(StaffGrid, FillsInChartOrderOverWhatWasThere)
{
    const Organisation organisation = organisationOf(kSmall);
    ChartGrid grid;
    grid.setTitle(50, QStringLiteral("left over"));
    grid.setPosition(50, QStringLiteral("NULL"));
    const GridFill fill = fillGrid(grid, organisation, everyone(organisation));
    ASSERT_TRUE(fill.filled);
    EXPECT_EQ(fill.people, 5);
    EXPECT_EQ(rowsOf(grid, 6), QStringList({
                                   "Ann Lee(CEO)||u",
                                   "Bob Stone(CFO)|1_Ann Lee(CEO)|u",
                                   "Eve|2_Bob Stone(CFO)|u",
                                   "Dee Ray(Sales Lead)|1_Ann Lee(CEO)|u",
                                   "Cy 'Ace' Moe(Clerk)|4_Dee Ray(Sales Lead)|u",
                                   "||",
                               }));
    EXPECT_EQ(rowsOf(grid, 93).mid(5), QStringList(88, "||"));
}

TEST(StaffGrid, MoreThanTheGridHoldsIsRefusedWithTheCount)
{
    const Organisation organisation = organisationOf(test::generateStaff(94).csv);
    ChartGrid grid;
    grid.setTitle(1, QStringLiteral("kept"));
    const GridFill fill = fillGrid(grid, organisation, everyone(organisation));
    EXPECT_FALSE(fill.filled);
    EXPECT_EQ(fill.people, 94);
    EXPECT_EQ(fill.message, "The grid holds 93 people; this staff list has 94.");
    EXPECT_EQ(grid.title(1), "kept");
    EXPECT_TRUE(grid.title(2).isEmpty());
}

TEST(StaffGrid, OneDepartmentOrOneBranch)
{
    const Organisation organisation = organisationOf(kSmall);
    EXPECT_EQ(departments(organisation),
              QList<DepartmentSize>({{"Board", 1}, {"Finance", 2}, {"Sales", 2}}));

    ChartGrid grid;
    // Dee's manager is outside the department: Dee starts the chart.
    ASSERT_TRUE(fillGrid(grid, organisation, departmentMembers(organisation, u" SALES")).filled);
    EXPECT_EQ(rowsOf(grid, 3), QStringList({"Dee Ray(Sales Lead)||u",
                                            "Cy 'Ace' Moe(Clerk)|1_Dee Ray(Sales Lead)|u", "||"}));

    EXPECT_EQ(branchMembers(organisation, 0), QList<int>({0, 1, 2, 3, 4}));
    // The branch to import is named as a manager column would name its head.
    const QList<int> bob = PersonLookup(organisation.people).find(u" stone,  BOB");
    ASSERT_EQ(bob, QList<int>({1}));
    EXPECT_EQ(branchMembers(organisation, bob.first()), QList<int>({1, 4}));
    ASSERT_TRUE(fillGrid(grid, organisation, branchMembers(organisation, bob.first())).filled);
    EXPECT_EQ(rowsOf(grid, 3), QStringList({"Bob Stone(CFO)||u", "Eve|1_Bob Stone(CFO)|u", "||"}));
}

/// The forest the page's own parser reads from \a data: its roots and each node's row, title,
/// parent row and colour; empty when node is not there to run it.
static QJsonObject pageReading(const QString &data)
{
    const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    if (node.isEmpty())
        return {};
    // The page's own reading of the query value; its parent limit is given as the highest row.
    const QString script = QStringLiteral(R"(
        const d = require(process.argv[1]);
        let raw = '';
        process.stdin.setEncoding('utf8');
        process.stdin.on('data', c => { raw += c; });
        process.stdin.on('end', () => {
            const rows = d.parseData(d.decodeValue(raw));
            const maxRow = rows.reduce((m, r) => Math.max(m, r.row), 0);
            const forest = d.buildForest(rows, {maxRow: maxRow});
            process.stdout.write(JSON.stringify({
                roots: forest.roots.length,
                nodes: forest.nodes.map(n => [n.row, n.title, n.parent ? n.parent.row : 0, n.colour])
            }));
        });)");
    QProcess process;
    process.start(node, {QStringLiteral("-e"), script,
                         QStringLiteral(PLOTWELL_SOURCE_DIR "/resources/orgchart/chart-data.js")});
    if (!process.waitForStarted())
        return {};
    process.write(data.toUtf8());
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        ADD_FAILURE() << process.readAllStandardError().toStdString();
        return {};
    }
    return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
}

TEST(StaffDataString, TheChartPageReadsEveryPersonOfTenThousand)
{
    if (QStandardPaths::findExecutable(QStringLiteral("node")).isEmpty())
        GTEST_SKIP() << "node is not installed";

    const Organisation organisation = organisationOf(test::generateStaff(10000).csv);
    const QJsonObject forest = pageReading(staffDataString(organisation, everyone(organisation)));

    const QList<int> order = chartOrder(organisation, everyone(organisation));
    std::vector<int> rowOf(std::size_t(organisation.people.size()));
    for (qsizetype k = 0; k < order.size(); ++k)
        rowOf[std::size_t(order[k])] = int(k + 1);
    const QJsonArray nodes = forest.value(u"nodes").toArray();
    ASSERT_EQ(nodes.size(), 10000);
    EXPECT_EQ(forest.value(u"roots").toInt(), 1);
    for (qsizetype k = 0; k < nodes.size(); ++k) {
        const QJsonArray n = nodes[k].toArray();
        const Person &person = organisation.people[order[k]];
        ASSERT_EQ(n[0].toInt(), k + 1);
        ASSERT_EQ(n[1].toString(), boxTitle(person)) << k;
        ASSERT_EQ(n[2].toInt(), person.manager >= 0 ? rowOf[std::size_t(person.manager)] : 0) << k;
    }
}

// A "#" is part of a name or a title like any other character; the grid's charts keep it too.
TEST(StaffDataString, KeepsEveryCharacterOfANameAndTitle)
{
    if (QStandardPaths::findExecutable(QStringLiteral("node")).isEmpty())
        GTEST_SKIP() << "node is not installed";
    const Organisation organisation = organisationOf(
        "Name,Title,Manager\nAnn #1,Lead #2 & 50% ~ops~,\nBo + Co,Desk [A]=1,Ann #1\n");
    const QJsonArray nodes = pageReading(staffDataString(organisation, everyone(organisation)))
                                 .value(u"nodes")
                                 .toArray();
    ASSERT_EQ(nodes.size(), 2);
    EXPECT_EQ(nodes[0].toArray()[1].toString(), QStringLiteral("Ann #1(Lead #2 & 50% ~ops~)"));
    EXPECT_EQ(nodes[1].toArray()[1].toString(), QStringLiteral("Bo + Co(Desk [A]=1)"));
}

// A department reads as one: its people share a colour however its name is spelt, departments
// differ, and a person without one keeps the row's colour. The page is given the same colours.
TEST(StaffGrid, ColoursEachDepartmentAsOne)
{
    const Organisation organisation =
        organisationOf(QByteArray(kSmall).append("Fay,Temp,Ann Lee,\n"));
    ChartGrid grid;
    grid.setColour(6, QStringLiteral("#123456"));
    ASSERT_TRUE(fillGrid(grid, organisation, everyone(organisation)).filled);
    ASSERT_EQ(grid.title(6), QStringLiteral("Fay(Temp)"));
    // Rows: Ann (Board), Bob and Eve (Finance), Dee ("sales ") and Cy ("Sales"), Fay (none).
    EXPECT_EQ(grid.colour(2), grid.colour(3));
    EXPECT_EQ(grid.colour(4), grid.colour(5));
    EXPECT_EQ(QSet<QString>({grid.colour(1), grid.colour(2), grid.colour(4)}).size(), 3);
    EXPECT_TRUE(QColor::isValidColorName(grid.colour(1)));
    EXPECT_EQ(grid.colour(6), QStringLiteral("#123456"));

    if (QStandardPaths::findExecutable(QStringLiteral("node")).isEmpty())
        GTEST_SKIP() << "node is not installed";
    const QJsonArray nodes = pageReading(staffDataString(organisation, everyone(organisation)))
                                 .value(u"nodes")
                                 .toArray();
    ASSERT_EQ(nodes.size(), 6);
    for (int row = 1; row <= 5; ++row)
        EXPECT_EQ(nodes[row - 1].toArray()[3].toString(), grid.colour(row).toLower()) << row;
    EXPECT_TRUE(nodes[5].toArray()[3].isNull()) << "the chart's item colour";
}
