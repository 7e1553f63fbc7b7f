// The workspace's edit history and "update as I edit", with fake viewers and ports.
#include "Fakes.h"
#include "TestFiles.h"
#include "base/Commands.h"
#include "shell/ChartWorkspace.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace plotwell;
using namespace plotwell::testing;

namespace {

class NoPictures final : public ChartPictures
{
public:
    QSizeF viewerSize(const ChartViewer &) const override { return {}; }
    void takePicture(ChartViewer &, double, ImageDone) override {}
    void printToPdf(ChartViewer &, PdfDone) override {}
};

struct Workspace : FakeApp, ::testing::Test
{
    FakeChartViewer webView, webViewM, webViewL;
    NoPictures pictures;
    ChartWorkspace workspace{context, {webView, webViewM, webViewL, pictures}};
    ChartEditor &editor = workspace.editor();

    Workspace()
    {
        HandlerTable table;
        workspace.addHandlers(table);
        table.install(commands, viewControllerCommands());
    }
};

TEST_F(Workspace, SampleImportAndEditsAreStepsUndoneByTheEditCommands)
{
    const ChartEditor::Snapshot empty = editor.snapshot();
    ASSERT_TRUE(workspace.loadSample(2));
    const ChartEditor::Snapshot sample = editor.snapshot();
    QTemporaryDir folder;
    const QString file =
        writeFile(folder.filePath(QStringLiteral("people.csv")), "Ann(CEO),Bo(CTO)\n1,2\n");
    panels.openPaths.push_back(file);
    // The sample is not saved anywhere: the open asks first, and goes on without saving it.
    alerts.answers = {kFirstButton + 1};
    runDelegateAction(QStringLiteral("openFile:"), state, commands);
    ASSERT_EQ(alerts.messages().value(0),
              QStringLiteral("Do you want to save the chart before opening \"people.csv\"?"));
    ASSERT_EQ(workspace.grid().title(2), QStringLiteral("Ann(CEO)"));
    editor.setTitle(2, QStringLiteral("Ann Lee(CEO)"));
    EXPECT_EQ(editor.undoStack().count(), 3);

    runDelegateAction(QStringLiteral("undoEdit:"), state, commands);
    EXPECT_EQ(workspace.grid().title(2), QStringLiteral("Ann(CEO)"));
    runDelegateAction(QStringLiteral("undoEdit:"), state, commands);
    EXPECT_EQ(editor.snapshot(), sample) << "the whole import is one step";
    runDelegateAction(QStringLiteral("undoEdit:"), state, commands);
    EXPECT_EQ(editor.snapshot(), empty);
    runDelegateAction(QStringLiteral("redoEdit:"), state, commands);
    EXPECT_EQ(editor.snapshot(), sample);
}

TEST_F(Workspace, UpdateAsIEditRedrawsOnceAfterABurstInPlaceOfTheChartOnShow)
{
    EXPECT_FALSE(workspace.liveUpdate().isEnabled()) << "off by default";
    workspace.loadSample(1);
    EXPECT_FALSE(workspace.liveUpdate().isPending());
    ASSERT_EQ(workspace.render().kind, RenderResult::Load);
    const qsizetype loads = webView.loads.size();

    workspace.liveUpdate().setEnabled(true);
    EXPECT_EQ(preferences.value(QLatin1String(kLiveUpdateKey)), QStringLiteral("1"));
    QSignalSpy due(&workspace.liveUpdate(), &LiveUpdate::redrawDue);
    editor.setTitle(2, QStringLiteral("A"));
    editor.setTitle(2, QStringLiteral("Ab"));
    editor.setTitle(2, QStringLiteral("Abe(CFO)"));
    ASSERT_TRUE(due.wait(5000));
    EXPECT_EQ(due.size(), 1);
    EXPECT_EQ(webView.loads.size(), loads) << "no page added to the viewer's history";
    ASSERT_FALSE(webView.replacements.isEmpty());
    EXPECT_TRUE(webView.replacements.last().contains(QStringLiteral("Abe(CFO)")));

    LiveUpdate again(preferences);
    EXPECT_TRUE(again.isEnabled()) << "remembered";
}

TEST_F(Workspace, OpeningOrNewOverUnsavedChangesAsksFirst)
{
    QTemporaryDir folder;
    const QString file =
        writeFile(folder.filePath(QStringLiteral("people.csv")), "Ann(CEO),Bo(CTO)\n1,2\n");
    editor.setTitle(1, QStringLiteral("Zed(Boss)"));
    // Cancel, or Save with its panel cancelled: nothing opens.
    for (const int answer : {kFirstButton + 2, kFirstButton}) {
        alerts.answers = {answer};
        workspace.documents().openFileRequest(file);
        EXPECT_EQ(workspace.grid().title(1), QStringLiteral("Zed(Boss)"));
    }
    // Saved into a file, the chart is on disk before the open replaces it.
    alerts.answers = {kFirstButton};
    panels.savePaths.push_back(folder.filePath(QStringLiteral("zed.csv")));
    workspace.documents().openFileRequest(file);
    EXPECT_TRUE(QFileInfo::exists(folder.filePath(QStringLiteral("zed.csv"))));
    EXPECT_EQ(workspace.grid().title(2), QStringLiteral("Ann(CEO)"));
    EXPECT_FALSE(workspace.unsavedChanges().isModified());
    // Nothing unsaved now: the next open asks nothing.
    const qsizetype asked = alerts.shown.size();
    workspace.documents().openFileRequest(file);
    EXPECT_EQ(alerts.shown.size(), asked);

    // New asks one question: to save the changes when there are some, else to go on at all.
    editor.setTitle(1, QStringLiteral("Zed(Boss)"));
    for (const int answer : {kFirstButton + 2, kFirstButton + 1}) { // Cancel, Don't Save
        alerts.answers = {answer};
        workspace.documents().clearAlert();
        EXPECT_EQ(alerts.messages().last(),
                  QStringLiteral("Do you want to save the chart before starting a new one?"));
    }
    EXPECT_EQ(alerts.shown.size(), asked + 2);
    EXPECT_EQ(workspace.grid().title(1), QString());
    alerts.answers = {kFirstButton + 1}; // Cancel
    workspace.documents().clearAlert();
    EXPECT_EQ(alerts.shown.last().buttons, (QStringList{"Continue", "Cancel"}));
}

// Render says why titles typed below an empty row 1 draw nothing; an empty grid is no mistake.
TEST_F(Workspace, RenderSaysWhyTitlesWithoutATopBoxDrawNothing)
{
    EXPECT_EQ(workspace.render().kind, RenderResult::NoLoad);
    EXPECT_TRUE(alerts.shown.isEmpty());
    editor.setTitle(2, QStringLiteral("Bo Li(CTO)"));
    EXPECT_EQ(workspace.render().kind, RenderResult::NoLoad);
    EXPECT_EQ(alerts.messages(), QStringList{QStringLiteral("Row 1 has no title.")});
    editor.setTitle(1, QStringLiteral("Ann(CEO)"));
    EXPECT_EQ(workspace.render().kind, RenderResult::Load);
}

// A crash loses nothing: the chart with unsaved changes is copied once edits pause, the copy
// goes once the chart is saved, and a copy left behind comes back in the next run as an
// untitled chart with unsaved changes.
TEST_F(Workspace, AnUnsavedChartIsCopiedForRecoveryUntilSavedOrGivenUp)
{
    QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("data/Unsaved chart.csv"));
    workspace.keepRecoveryCopyIn(copy);
    EXPECT_FALSE(workspace.hasRecoveryCopy());
    ASSERT_TRUE(workspace.loadSample(1));
    editor.setTitle(12, QStringLiteral("Quinn \"Q\" Ash, Ops(Analyst)"));
    editor.setColour(12, QStringLiteral("#123456"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(copy); }, 5000));
    const ChartEditor::Snapshot edited = editor.snapshot();
    const ChartAppearance look = state.appearance;

    {
        // The next run, after a crash: the copy is offered and brought back whole.
        FakeApp next;
        FakeChartViewer view, viewM, viewL;
        ChartWorkspace after(next.context, {view, viewM, viewL, pictures});
        after.keepRecoveryCopyIn(copy);
        ASSERT_TRUE(after.hasRecoveryCopy());
        QSignalSpy recovered(&after, &ChartWorkspace::chartRecovered);
        ASSERT_TRUE(after.recoverChart());
        EXPECT_EQ(recovered.size(), 1);
        EXPECT_EQ(after.editor().snapshot().rows, edited.rows);
        EXPECT_EQ(after.grid().setting(ChartSetting::ChartTitle),
                  workspace.grid().setting(ChartSetting::ChartTitle));
        EXPECT_EQ(next.state.appearance, look);
        EXPECT_TRUE(after.unsavedChanges().isModified()) << "not saved anywhere yet";
        EXPECT_FALSE(next.state.saveUrl.has_value() && !next.state.saveUrl->isEmpty());
        after.editor().undo();
        EXPECT_FALSE(after.unsavedChanges().isModified()) << "one step, undone";
    }

    // Saved: the copy goes.
    panels.savePaths.push_back(folder.filePath(QStringLiteral("board.csv")));
    ASSERT_TRUE(workspace.documents().save());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !QFileInfo::exists(copy); }, 5000));

    // Changed again and quit without saving: given up, so gone too.
    editor.setTitle(13, QStringLiteral("Rue(Intern)"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(copy); }, 5000));
    alerts.answers = {kFirstButton + 1}; // Don't Save
    EXPECT_TRUE(workspace.confirmQuit());
    EXPECT_FALSE(QFileInfo::exists(copy));
}

} // namespace
