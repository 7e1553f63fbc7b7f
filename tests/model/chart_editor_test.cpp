// Editing the chart: every edit as an undoable step, rows rearranged with their references, the
// position words and the problems list.
#include "model/ChartEditor.h"
#include "model/ChartProblems.h"
#include "model/NodePositions.h"
#include "model/RowEdits.h"

#include <QMap>

#include <gtest/gtest.h>

using namespace plotwell;

namespace {

/// Who reports to whom, by title, resolving every reference by its row number: what must not
/// change when rows are inserted, moved or deleted. Also checks each "N_Title" text names its row.
QMap<QString, QString> managers(const ChartGrid &grid)
{
    QMap<QString, QString> result;
    grid.forEachRow([&](int row, const ChartRow &item) {
        const auto parent = referencedRow(item.parent);
        if (!parent)
            return;
        if (item.parent.contains(QLatin1Char('_'))) {
            EXPECT_EQ(item.parent, parentReference(*parent, grid.title(*parent))) << "row " << row;
        }
        result.insert(item.title, grid.title(*parent));
    });
    return result;
}

TEST(ChartEditor, EveryStepKeepsTheManagersAndUndoRedoWalkTheWholeGrid)
{
    ChartGrid grid;
    ChartEditor editor(grid);
    QList<ChartEditor::Snapshot> steps{editor.snapshot()};
    const auto step = [&](EditResult result) {
        ASSERT_TRUE(result.done) << result.refusal.toStdString();
        steps << editor.snapshot();
    };
    step(editor.setTitle(1, QStringLiteral("Ann(CEO)")));
    step(editor.setTitle(2, QStringLiteral("Bo(CTO)")));
    step(editor.setTitle(3, QStringLiteral("Cy \"C\", Jr.\n(CFO)")));
    step(editor.setParent(2, 1));
    step(editor.setParent(3, 2));
    step(editor.setPosition(3, kRightMarker));
    step(editor.setColour(3, QStringLiteral("#123456")));
    step(editor.setColour(kLineSlot, QStringLiteral("#00FF7F")));
    EXPECT_EQ(grid.slotText(kLineSlot), QStringLiteral("#00FF7F"));
    const QMap<QString, QString> org{
        {QStringLiteral("Bo(CTO)"), QStringLiteral("Ann(CEO)")},
        {QStringLiteral("Cy \"C\", Jr.\n(CFO)"), QStringLiteral("Bo(CTO)")}};
    EXPECT_EQ(managers(grid), org);

    int inserted = 0;
    step(editor.insertRowAbove(2, &inserted));
    EXPECT_EQ(inserted, 2);
    EXPECT_TRUE(grid.title(2).isEmpty());
    EXPECT_EQ(grid.row(4),
              (ChartRow{QStringLiteral("Cy \"C\", Jr.\n(CFO)"), QStringLiteral("3_Bo(CTO)"),
                        kRightMarker, QStringLiteral("#123456")}));
    EXPECT_EQ(managers(grid), org);
    step(editor.setTitle(2, QStringLiteral("Di(COO)")));
    step(editor.setParent(2, 1));
    step(editor.moveRow(2, 4));
    EXPECT_EQ(grid.title(4), QStringLiteral("Di(COO)"));
    step(editor.setTitle(2, QStringLiteral("Bob(CTO)"))); // the references follow the title
    auto renamed = org;
    renamed.remove(QStringLiteral("Bo(CTO)"));
    renamed.insert(QStringLiteral("Bob(CTO)"), QStringLiteral("Ann(CEO)"));
    renamed[QStringLiteral("Cy \"C\", Jr.\n(CFO)")] = QStringLiteral("Bob(CTO)");
    renamed.insert(QStringLiteral("Di(COO)"), QStringLiteral("Ann(CEO)"));
    EXPECT_EQ(managers(grid), renamed);
    step(editor.moveRowUp(4));
    step(editor.moveRowDown(1));
    EXPECT_EQ(managers(grid), renamed);
    step(editor.deleteRow(2)); // Ann, now row 2: her reports lose their manager with her
    EXPECT_EQ(managers(grid), (QMap<QString, QString>{{QStringLiteral("Cy \"C\", Jr.\n(CFO)"),
                                                       QStringLiteral("Bob(CTO)")}}));
    EXPECT_FALSE(editor.setTitle(5, QString()).done) << "no change, no step";

    for (qsizetype i = steps.size() - 1; i > 0; --i) {
        editor.undo();
        ASSERT_EQ(editor.snapshot(), steps[i - 1]) << "undo to step " << i - 1;
    }
    EXPECT_FALSE(editor.canUndo());
    for (qsizetype i = 1; i < steps.size(); ++i) {
        editor.redo();
        ASSERT_EQ(editor.snapshot(), steps[i]) << "redo to step " << i;
    }
}

TEST(ChartEditor, DeletingAManagerHangsTheReportsUnderItsParent)
{
    ChartGrid grid;
    ChartEditor editor(grid);
    for (int row = 1; row <= 4; ++row)
        editor.setTitle(row, QStringLiteral("P%1").arg(row));
    editor.setParent(2, 1);
    editor.setParent(3, 2);
    grid.setParent(4, QStringLiteral("2")); // a reference a render has stripped
    ASSERT_TRUE(editor.deleteRow(2).done);
    EXPECT_EQ(grid.parent(2), QStringLiteral("1_P1"));
    EXPECT_EQ(grid.parent(3), QStringLiteral("1_P1"));
}

TEST(ChartEditor, InsertionTakesAFreeRowAndIsRefusedWhenAll93AreInUse)
{
    ChartGrid grid;
    ChartEditor editor(grid);
    for (int row = 1; row <= kRowCount; ++row)
        grid.setTitle(row, QStringLiteral("P%1").arg(row));
    grid.setTitle(50, QString());
    grid.setParent(93, QStringLiteral("92_P92"));
    ASSERT_TRUE(editor.insertRowBelow(93).done) << "row 50 makes room";
    EXPECT_EQ(grid.title(92), QStringLiteral("P93"));
    EXPECT_EQ(grid.parent(92), QStringLiteral("91_P92"));
    EXPECT_TRUE(grid.title(93).isEmpty());

    editor.setTitle(93, QStringLiteral("Last"));
    const ChartEditor::Snapshot full = editor.snapshot();
    const int steps = editor.undoStack().count();
    const EditResult refused = editor.insertRowAbove(2);
    EXPECT_FALSE(refused.done);
    EXPECT_EQ(refused.refusal, kAllRowsInUseMessage);
    EXPECT_EQ(editor.snapshot(), full);
    EXPECT_EQ(editor.undoStack().count(), steps);
}

// A list copied from a text or a spreadsheet: a title a line, "Name(Job)" from two cells, its
// blank lines kept in place, the copy's last line break adding nothing.
TEST(ChartEditor, APastedListFillsRowsAsOneStepOrNotAtAll)
{
    EXPECT_EQ(titlesFromPastedText(QStringLiteral("Ann Lee\tCEO\r\n Bo \t\r\n\nCy\tOps\tx\n")),
              QStringList({"Ann Lee(CEO)", "Bo", "", "Cy(Ops)"}));
    EXPECT_EQ(titlesFromPastedText(QStringLiteral("One line")), QStringList{"One line"});
    EXPECT_EQ(titlesFromPastedText(QStringLiteral("Mac\rline")), QStringList({"Mac", "line"}));

    ChartGrid grid;
    ChartEditor editor(grid);
    editor.setTitle(1, QStringLiteral("Old"));
    editor.setTitle(4, QStringLiteral("Di"));
    editor.setParent(4, 2);
    ASSERT_TRUE(editor.setTitle(2, QStringLiteral("Boss")).done);
    const ChartEditor::Snapshot before = editor.snapshot();
    ASSERT_TRUE(editor.pasteTitles(2, {QStringLiteral("Ann(CEO)"), QStringLiteral("Bo")}).done);
    EXPECT_EQ(grid.title(2), QStringLiteral("Ann(CEO)"));
    EXPECT_EQ(grid.title(3), QStringLiteral("Bo"));
    EXPECT_EQ(grid.parent(4), QStringLiteral("2_Ann(CEO)")) << "a reference follows its row";
    editor.undo();
    EXPECT_EQ(editor.snapshot(), before) << "one step";

    // Past row 93: refused whole, with why.
    const EditResult refused = editor.pasteTitles(90, QStringList(5, QStringLiteral("X")));
    EXPECT_FALSE(refused.done);
    EXPECT_TRUE(refused.refusal.contains(QStringLiteral("rows 90 to 94")));
    EXPECT_EQ(editor.snapshot(), before);
}

TEST(ChartEditor, PositionWordsStandForTheStoredMarkers)
{
    const struct
    {
        QString marker, word;
    } cases[] = {
        {kLeftMarker, "Left"}, {kRightMarker, "Right"}, {kBottomMarker, "Below"}, {"", ""}};
    for (const auto &c : cases) {
        EXPECT_EQ(positionWord(c.marker), c.word);
        EXPECT_EQ(markerOfWord(c.word), c.marker);
        EXPECT_EQ(markerOfWord(c.word.toLower()), c.marker);
    }
    EXPECT_EQ(positionWord(QStringLiteral("odd")), QStringLiteral("odd"));
    EXPECT_EQ(markerOfWord(QStringLiteral("Above")), std::nullopt);
}

TEST(ChartProblems, FoundByRowAndRecomputedOnEveryEdit)
{
    ChartGrid grid;
    ProblemListModel problems(grid);
    for (int row = 1; row <= 6; ++row)
        grid.setTitle(row, QStringLiteral("P%1").arg(row));
    EXPECT_EQ(problems.rowCount(), 0);
    grid.setParent(2, QStringLiteral("4_P4")); // 2 -> 4 -> 3 -> 2
    grid.setParent(4, QStringLiteral("3"));
    grid.setParent(3, QStringLiteral("2_P2"));
    grid.setParent(5, QStringLiteral("5_P5"));
    grid.setParent(6, QStringLiteral("9_"));
    grid.setParent(10, QStringLiteral("1_P1")); // not titled, parent fine
    ASSERT_EQ(problems.rowCount(), 3);
    EXPECT_EQ(problems.problems()[0].kind, ChartProblem::Kind::Loop);
    EXPECT_EQ(problems.problems()[0].rows, (QList<int>{2, 3, 4}));
    EXPECT_EQ(problems.problems()[1].kind, ChartProblem::Kind::OwnParent);
    EXPECT_EQ(problems.gridRowAt(2), 6);
    EXPECT_EQ(problems.data(problems.index(2), Qt::DisplayRole).toString(),
              QStringLiteral("Row 6 (P6): its parent, row 9, is empty."));
    grid.setParent(3, QString());
    grid.setTitle(9, QStringLiteral("P9"));
    grid.setTitle(5, QString());
    EXPECT_EQ(problems.rowCount(), 0);
}

} // namespace
