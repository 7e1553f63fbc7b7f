#include "model/SampleCharts.h"
#include "render/DataString.h"

#include <gtest/gtest.h>

using namespace plotwell;

namespace {

// The grid of the worked example: rows 1 and 2 set, rows 3-93 empty in #418cf0.
void workedExample(ChartGrid &grid)
{
    grid.setTitle(1, QStringLiteral("Niall Brent(CEO)"));
    grid.setPosition(1, QStringLiteral("NOT NULL"));
    grid.setColour(1, QStringLiteral("#FFFFFF"));
    grid.setTitle(2, QStringLiteral("Tobin Marsh(Public Relations)"));
    grid.setParent(2, QStringLiteral("1_Niall Brent(CEO)"));
    grid.setPosition(2, QStringLiteral("u"));
    grid.setColour(2, QStringLiteral("#CD6A80"));
    for (int row = 3; row <= kRowCount; ++row)
        grid.setColour(row, QStringLiteral("#418cf0"));
    grid.setSetting(ChartSetting::ChartTitle, QStringLiteral("My Chart"));
}

QStringList blocksOf(const RenderResult &result)
{
    return result.dataString.split(QLatin1Char('*'));
}

} // namespace

TEST(DataString, WorkedExampleComesOutByteForByte)
{
    ChartGrid grid;
    AppState state;
    workedExample(grid);
    const RenderResult result = submitData(grid, state);
    ASSERT_EQ(result.kind, RenderResult::Load);

    QString expected = QStringLiteral(
        "Niall+Brent(CEO)__NOT+NULL_FFFFFF__1*Tobin+Marsh(Public+Relations)_1_u_CD6A80_2");
    for (int row = 3; row <= kRowCount; ++row)
        expected += QStringLiteral("*___418cf0_%1").arg(row);
    EXPECT_EQ(result.dataString, expected);
    EXPECT_EQ(grid.parent(2), "1");
    EXPECT_EQ(state.chartTitle, "My Chart");
}

TEST(DataString, RowOneKeepsThePlainFormWhenAFieldHoldsAnUnderscore)
{
    EXPECT_EQ(rowPiece({"Niall_Brent", "", "u", "#FFFFFF"}, 1), "Niall_Brent__u_#FFFFFF_1*");
    EXPECT_EQ(rowPiece({"Niall", "9_x", "", ""}, 1), "Niall_9_x___1*");
}

TEST(DataString, BothSamplesRenderAsTheirTablesSayAndTwiceTheSame)
{
    for (int sample : {1, 2}) {
        ChartGrid grid;
        AppState state;
        for (int row = 1; row <= kRowCount; ++row)
            grid.setColour(row, QStringLiteral("#00ae00"));
        sample == 1 ? loadSampleData(grid, state) : loadSampleData2(grid, state);
        const RenderResult result = submitData(grid, state);
        ASSERT_EQ(result.kind, RenderResult::Load) << sample;
        const QStringList blocks = blocksOf(result);
        ASSERT_EQ(blocks.size(), kRowCount);
        EXPECT_EQ(blocks[0], "Niall+Brent(CEO)__NOT+NULL_00ae00__1");
        EXPECT_EQ(blocks[5], "Mara+Quill(Mergers+~amp~+acquisitions)_3_u_00ae00_6");
        EXPECT_EQ(blocks[8], sample == 1 ? "Petra+Hale(Recruiting)_5_NULL_00ae00_9"
                                         : "Petra+Hale(Recruiting)_3_NULL_00ae00_9");
        EXPECT_EQ(blocks.mid(10, 4),
                  (QStringList{"Jory+Kemble(Social+Media+Stategist)_1_u_00ae00_11", "__u_00ae00_12",
                               "__NOT+NULL_00ae00_13", "___00ae00_14"}));
        EXPECT_EQ(state.chartTitle, "Sample Org Chart");
        // The parents are row numbers now; a second render sends the same string.
        EXPECT_EQ(submitData(grid, state).dataString, result.dataString);
    }
}

TEST(DataString, QueryCharactersBecomeTokensAndHashesStay)
{
    ChartGrid grid;
    AppState state;
    grid.setTitle(1, QStringLiteral("Root"));
    grid.setTitle(2, QStringLiteral("R&D=Core [x]|50%"));
    grid.setTitle(3, QStringLiteral("Team #1"));
    grid.setTitle(4, QStringLiteral("~amp~ stays, C++"));
    const QStringList blocks = blocksOf(submitData(grid, state));
    EXPECT_EQ(blocks[1], "R~amp~D~eq~Core+~lbra~x~rbra~~pipe~50~pct~____2");
    EXPECT_EQ(blocks[2], "Team+#1____3");
    EXPECT_EQ(blocks[3], "~tilde~amp~tilde~+stays,+C~plus~~plus~____4");
}

TEST(DataString, BlankRowOneLoadsNothingAndSendsTheSampleTitle)
{
    for (const QString &title : {QString(), QStringLiteral("   ")}) {
        ChartGrid grid;
        AppState state;
        grid.setTitle(1, title);
        grid.setTitle(2, QStringLiteral("Child"));
        grid.setParent(2, QStringLiteral("1_x"));
        grid.setSetting(ChartSetting::ChartTitle, QStringLiteral("Typed title"));
        const RenderResult result = submitData(grid, state);
        EXPECT_EQ(result.kind, RenderResult::NoLoad);
        EXPECT_TRUE(result.dataString.isEmpty());
        EXPECT_EQ(state.chartTitle, "Sample Org Chart");
        EXPECT_EQ(grid.parent(2), "1"); // the stripping has happened already
    }
}

TEST(DataString, StarInRowTwoAsksToReassignParentsElsewhereItOnlyAddsABlock)
{
    ChartGrid grid;
    AppState state;
    grid.setTitle(1, QStringLiteral("Root"));
    grid.setTitle(5, QStringLiteral("A*B"));
    const RenderResult result = submitData(grid, state);
    ASSERT_EQ(result.kind, RenderResult::Load);
    EXPECT_EQ(blocksOf(result).size(), kRowCount + 1);

    grid.setTitle(2, QStringLiteral("Half*Other"));
    EXPECT_EQ(submitData(grid, state).kind, RenderResult::ReassignParents);
    EXPECT_TRUE(submitData(grid, state).dataString.isEmpty());
    EXPECT_EQ(reassignParentsAlert().message, "Reassign Parents");

    // A "*" in row 1 leaves a short second block; that is a broken chart only once row 2 has
    // a title.
    ChartGrid rowOne;
    rowOne.setTitle(1, QStringLiteral("Root"));
    rowOne.setPosition(1, QStringLiteral("u*v")); // second block "v___1": four pieces
    EXPECT_EQ(submitData(rowOne, state).kind, RenderResult::Load);
    rowOne.setTitle(2, QStringLiteral("Kid"));
    EXPECT_EQ(submitData(rowOne, state).kind, RenderResult::ReassignParents);
}

TEST(DataString, HostileTitlesNeverBreakTheRender)
{
    ChartGrid grid;
    AppState state;
    const QString huge(10000, QLatin1Char('x'));
    const QStringList titles = {"a_b_c", "\"q\" 'q'", "line\nbreak", "😀 emoji", huge, "%00%zz"};
    grid.setTitle(1, QStringLiteral("Root"));
    for (int i = 0; i < titles.size(); ++i) {
        grid.setTitle(i + 3, titles[i]);
        grid.setParent(i + 3, titles[i]);
    }
    const RenderResult result = submitData(grid, state);
    ASSERT_EQ(result.kind, RenderResult::Load);
    for (const QString &piece : {huge, QStringLiteral("😀+emoji"), QStringLiteral("line\nbreak"),
                                 QStringLiteral("~pct~00~pct~zz")})
        EXPECT_TRUE(result.dataString.contains(piece)) << piece.left(20).toStdString();
    EXPECT_EQ(grid.parent(3), "a");
}
