// The workspace's edit history and "update as I edit", with fake viewers and ports.
#include "Fakes.h"
#include "TestFiles.h"
#include "base/Commands.h"
#include "shell/ChartWorkspace.h"

#include <QSignalSpy>
#include <QTemporaryDir>

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
    runDelegateAction(QStringLiteral("openFile:"), state, commands);
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

} // namespace
