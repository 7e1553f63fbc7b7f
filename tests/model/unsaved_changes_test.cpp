// When the chart has changes that are not saved: what a document would hold, compared.
#include "model/ParentReferences.h"
#include "model/UnsavedChanges.h"

#include <gtest/gtest.h>

using namespace plotwell;

TEST(UnsavedChanges, FollowWhatADocumentWouldHoldNotTheHistory)
{
    ChartGrid grid;
    ChartEditor editor(grid);
    UnsavedChanges unsaved(editor);
    EXPECT_FALSE(unsaved.isModified());

    ASSERT_TRUE(editor.setTitle(1, QStringLiteral("Ann(CEO)")).done);
    ASSERT_TRUE(editor.setTitle(2, QStringLiteral("Bo(CTO)")).done);
    ASSERT_TRUE(editor.setParent(2, 1).done);
    EXPECT_TRUE(unsaved.isModified());
    unsaved.markSaved();
    EXPECT_FALSE(unsaved.isModified());

    // A render writes "1" for "1_Ann(CEO)": the same parent, nothing to save.
    stripOffParentNames(grid);
    EXPECT_FALSE(unsaved.isModified());

    // Undone back to the saved chart, nothing is unsaved; the redo is a change again.
    ASSERT_TRUE(editor.setColour(2, QStringLiteral("#123456")).done);
    EXPECT_TRUE(unsaved.isModified());
    editor.undo();
    EXPECT_FALSE(unsaved.isModified());
    editor.redo();
    EXPECT_TRUE(unsaved.isModified());
    editor.undo();

    // Undone past the save, the chart differs from the saved one.
    editor.undo();
    EXPECT_TRUE(unsaved.isModified());
    editor.redo();
    EXPECT_FALSE(unsaved.isModified());

    // A change that bypasses the editor counts too.
    grid.setSetting(ChartSetting::ChartTitle, QStringLiteral("Board"));
    EXPECT_TRUE(unsaved.isModified());
}
