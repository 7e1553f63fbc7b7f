#include "model/ItemPickerModel.h"
#include "model/ParentReferences.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace plotwell;

TEST(ParentCandidates, TitledRowsInRowOrderAcrossPagesWithTitlesVerbatim)
{
    ChartGrid grid;
    EXPECT_EQ(initializeParents(grid), QStringList{"0_CLEAR PARENT"});
    grid.setTitle(40, QStringLiteral("  Zed_Ops (Lead)  "));
    grid.setTitle(2, QStringLiteral("Bo"));
    grid.setTitle(1, QStringLiteral("Niall Brent(CEO)"));
    grid.setTitle(5, QStringLiteral("   "));    // spaces only: no item
    grid.setTitle(93, QStringLiteral("%1 %s")); // titles are never used as a format
    EXPECT_EQ(initializeParents(grid), (QStringList{"0_CLEAR PARENT", "1_Niall Brent(CEO)", "2_Bo",
                                                    "40_  Zed_Ops (Lead)  ", "93_%1 %s"}));
}

TEST(ParentSearch, IgnoresCaseButNotAccents)
{
    ChartGrid grid;
    for (int row = 1; row <= 31; ++row)
        grid.setTitle(row, QStringLiteral("Item"));
    grid.setTitle(1, QStringLiteral("Niall Brent(CEO)"));
    grid.setTitle(2, QStringLiteral("René Ørsted"));
    const QStringList all = initializeParents(grid);

    EXPECT_EQ(searchParents(all, QStringLiteral("ceo")), QStringList{"1_Niall Brent(CEO)"});
    EXPECT_EQ(searchParents(all, QStringLiteral("clear")), QStringList{"0_CLEAR PARENT"});
    EXPECT_EQ(searchParents(all, QStringLiteral("RENÉ")), QStringList{"2_René Ørsted"});
    EXPECT_TRUE(searchParents(all, QStringLiteral("rene")).isEmpty());
    EXPECT_TRUE(searchParents(all, QStringLiteral("orsted")).isEmpty());
    // The row number is part of the entry, so it is searched too.
    const QStringList found = searchParents(all, QStringLiteral("1"));
    EXPECT_EQ(found.size(), 13); // 1, 10-19, 21 and 31
    EXPECT_TRUE(found.contains("10_Item") && found.contains("31_Item") &&
                !found.contains("20_Item"));
    EXPECT_EQ(searchParents(all, QString()), all);
}

TEST(ParentStripping, KeepsTextBeforeTheFirstUnderscoreOfRowsTwoToNinetyThree)
{
    ChartGrid grid;
    grid.setParent(1, QStringLiteral("5_Root keeps this"));
    grid.setParent(2, QStringLiteral("4_Ops_North_Team"));
    grid.setParent(3, QStringLiteral("4"));
    grid.setParent(4, QStringLiteral("0_CLEAR PARENT"));
    grid.setParent(5, QStringLiteral(" 7 _padded"));
    grid.setParent(6, QStringLiteral("_leading"));
    grid.setParent(7, QStringLiteral("no underscore at all"));
    grid.setParent(93, QStringLiteral("92_Last"));

    stripOffParentNames(grid);
    QStringList parents;
    for (int row : {1, 2, 3, 4, 5, 6, 7, 8, 93})
        parents << grid.parent(row);
    EXPECT_EQ(parents, (QStringList{"5_Root keeps this", "4", "4", "0", " 7 ", "",
                                    "no underscore at all", "", "92"}));
}

class ItemPicker : public ::testing::Test
{
protected:
    ItemPicker()
    {
        grid.setTitle(1, QStringLiteral("Niall Brent(CEO)"));
        grid.setTitle(2, QStringLiteral("Tobin Marsh(PR)"));
        grid.setTitle(40, QStringLiteral("Ilse Varga(BD)"));
        grid.setPosition(2, QStringLiteral("NULL"));
        grid.setPosition(40, QStringLiteral("NOT NULL"));
    }
    ChartGrid grid;
    AppState state;
    ItemPickerModel picker{grid, state};
};

TEST_F(ItemPicker, OpeningPublishesCandidatesOrAsksForTheCsvFileWhenTheRowHasNoItem)
{
    grid.setTitle(7, QStringLiteral("  "));
    for (int row : {7, 8, 0, 94})
        EXPECT_EQ(picker.open(row), ItemPickerModel::Opening::ShowAlert) << row;

    QSignalSpy reloads(&picker, &ItemPickerModel::entriesChanged);
    EXPECT_EQ(picker.open(40), ItemPickerModel::Opening::ShowPicker);
    EXPECT_EQ((QStringList{state.btSender, picker.selectedItem(), picker.selectedItemDisp()}),
              (QStringList{"40", "40", "Ilse Varga(BD)"}));
    EXPECT_EQ(picker.editedRow(), 40);
    EXPECT_EQ(state.theParents, (QStringList{"0_CLEAR PARENT", "1_Niall Brent(CEO)",
                                             "2_Tobin Marsh(PR)", "40_Ilse Varga(BD)"}));
    EXPECT_EQ(picker.entries(), state.theParents);
    EXPECT_GE(reloads.count(), 1);
}

TEST_F(ItemPicker, ChoosingWritesTheShownEntryAndTheLastChoiceWins)
{
    picker.open(40);
    picker.search(QStringLiteral("tobin"));
    EXPECT_TRUE(picker.choose(0));
    EXPECT_EQ(grid.parent(40), "2_Tobin Marsh(PR)");
    picker.search(QString());
    EXPECT_TRUE(picker.choose(0));
    EXPECT_EQ(grid.parent(40), "0_CLEAR PARENT");
    EXPECT_FALSE(picker.choose(4));
    EXPECT_FALSE(picker.choose(-1));
    EXPECT_EQ(grid.parent(40), "0_CLEAR PARENT");
}

TEST_F(ItemPicker, ReopeningClearsSearchAndSelectionAndRebuildsTheList)
{
    picker.open(2);
    picker.search(QStringLiteral("ilse"));
    picker.choose(0);
    EXPECT_EQ(picker.selectedIndex(), 0);
    grid.setTitle(3, QStringLiteral("New hire"));

    picker.open(40);
    EXPECT_TRUE(picker.searchText().isEmpty());
    EXPECT_FALSE(state.searching);
    EXPECT_EQ(picker.selectedIndex(), -1);
    EXPECT_EQ(picker.entries().size(), 5);
    EXPECT_TRUE(picker.choose(2));
    EXPECT_EQ(grid.parent(40), "2_Tobin Marsh(PR)");
}

TEST(ParentDisplay, ShowsTheParentRowsCurrentTitleOrTheReferenceItself)
{
    ChartGrid grid;
    grid.setTitle(1, QStringLiteral("Niall Bren"));
    grid.setTitle(3, QStringLiteral("Ops"));
    const struct
    {
        QString reference;
        QString shown;
    } cases[] = {
        {QStringLiteral("1_Niall Bren"), QStringLiteral("Niall Bren")},
        {QStringLiteral("1_Old name"), QStringLiteral("Niall Bren")}, // renamed since picked
        {QStringLiteral("3"), QStringLiteral("Ops")},
        {QStringLiteral(" 3 "), QStringLiteral("Ops")},
        {QStringLiteral("0_CLEAR PARENT"), QString()},
        {QString(), QString()},
        {QStringLiteral("4_Untitled row"), QStringLiteral("4_Untitled row")},
        {QStringLiteral("120"), QStringLiteral("120")},
        {QStringLiteral("Ops"), QStringLiteral("Ops")},
    };
    for (const auto &c : cases) {
        grid.setParent(2, c.reference);
        EXPECT_EQ(parentDisplayName(grid, 2), c.shown) << c.reference.toStdString();
    }
}
