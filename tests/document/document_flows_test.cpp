// The document commands driven end to end through fake ports: files are real (in a temporary
// folder), panels, alerts, the desktop and the viewer are scripted.
#include "Fakes.h"
#include "TestFiles.h"
#include "base/AppState.h"
#include "base/CommandCenter.h"
#include "base/Commands.h"
#include "base/DocumentNames.h"
#include "base/Progress.h"
#include "colour/ColorLine.h"
#include "document/CompanionEntries.h"
#include "document/DocumentController.h"
#include "document/RecentDocuments.h"
#include "model/ChartEditor.h"
#include "model/GridClearing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plotwell;
using namespace plotwell::document;
using namespace plotwell::testing;

namespace {

const QString kInvalidFile = QStringLiteral("Invalid file");
const QString kConvertTsv = QStringLiteral("Conversion to CSV Required");
const QString kInvalidCsv = QStringLiteral("Invalid CSV file");

struct GridSnapshot
{
    QString chartTitle;
    QList<ChartRow> rows;
    QStringList slots;
    bool operator==(const GridSnapshot &) const = default;
};

GridSnapshot snapshot(const ChartGrid &grid)
{
    GridSnapshot shot{grid.setting(ChartSetting::ChartTitle), {}, {}};
    grid.forEachRow([&](int, const ChartRow &row) { shot.rows << row; });
    for (int slot = 1; slot <= kColourSlotCount; ++slot)
        shot.slots << grid.slotText(slot);
    return shot;
}

class DocumentFlows : public ::testing::Test, protected FakeApp
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        resetColors(grid, swatches);
        HandlerTable table;
        controller.addHandlers(table);
        table.install(commands, viewControllerCommands());
        DocumentHooks hooks;
        hooks.htmlWidth = [] { return 640; };
        hooks.chartRestored = [this] { ++chartsRestored; };
        hooks.appearanceRestored = [this] { ++appearanceRestores; };
        controller.setHooks(hooks);
        commands.observe(QStringLiteral("resizeWebView"),
                         [this](const QVariant &) { ++layoutPasses; });
    }

    QString path(const QString &name) const { return folder.filePath(name); }

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        return plotwell::testing::writeFile(path(name), bytes);
    }

    // The menu actions, as the window runs them.
    void save() { runDelegateAction(QStringLiteral("saveFile:"), state, commands); }
    void saveAs() { runDelegateAction(QStringLiteral("saveAsFile:"), state, commands); }
    void openFile() { runDelegateAction(QStringLiteral("openFile:"), state, commands); }
    void newFile() { runDelegateAction(QStringLiteral("newFile:"), state, commands); }

    void saveAs(const QString &target)
    {
        panels.savePaths.push_back(target);
        saveAs();
    }
    /// Opens \a target and lets a table preview it starts reach the viewer.
    void open(const QString &target)
    {
        openWithoutWaiting(target);
        settlePreview();
    }
    void openWithoutWaiting(const QString &target)
    {
        panels.openPaths.push_back(target);
        openFile();
        // Documents are offered alone; staff lists have their own panel.
        EXPECT_EQ(panels.openPanels.back().allowedTypes, QStringList{"csv"});
    }
    void settlePreview()
    {
        if (!controller.isPreviewPending())
            return;
        QSignalSpy shown(&controller, &DocumentController::tablePreviewShown);
        EXPECT_TRUE(shown.wait(60000));
    }
    void refresh()
    {
        commands.post(QStringLiteral("openRecentDocument"));
        settlePreview();
    }
    void confirmNew()
    {
        alerts.answers.push_back(kFirstButton);
        newFile();
    }

    /// A chart as a user builds it: titles, parents, positions, colours and node settings.
    void buildChart()
    {
        grid.setSetting(ChartSetting::ChartTitle, QStringLiteral("Crew, 2026"));
        grid.setTitle(1, QStringLiteral("Corin Ashdown(Managing Director)"));
        grid.setTitle(2, QStringLiteral("Yvette \"Vet\" Marlow(Finance)"));
        grid.setParent(2, QStringLiteral("1_Corin Ashdown(Managing Director)"));
        grid.setTitle(40, QStringLiteral("Åke Lindqvist(Lager, Nord)"));
        grid.setParent(40, QStringLiteral("2_Yvette \"Vet\" Marlow(Finance)"));
        grid.setPosition(1, QStringLiteral("NOT NULL"));
        grid.setPosition(2, QStringLiteral("u"));
        grid.setPosition(40, QStringLiteral("NULL"));
        grid.setSlotText(3, QStringLiteral("#123ABC"));
        grid.setSlotText(kLineSlot, QStringLiteral("#00FF7F"));
        setNodeSettings({"2", "9", "0"});
    }

    /// Node size, corner radius and the multicolour state.
    [[nodiscard]] QStringList nodeSettings() const
    {
        const ChartAppearance &look = state.appearance;
        return {QString::number(look.nodeWidth), QString::number(look.cornerRadius),
                QString::number(look.colourMode)};
    }
    void setNodeSettings(const QStringList &values)
    {
        state.appearance.nodeWidth = values[0].toInt();
        state.appearance.cornerRadius = values[1].toInt();
        state.appearance.colourMode = values[2].toInt();
    }
    /// The five companion entries a save of the grid as it is now should store.
    [[nodiscard]] QStringList savedEntries() const
    {
        return QStringList({buildColorLine(grid), buildPositionLine(grid)}) + nodeSettings();
    }
    /// The five companion entries stored for the file \a file.
    [[nodiscard]] QStringList entriesOf(const QString &file) const
    {
        const CompanionKeys keys = companionKeys(companionName(urlTextOfLocalFile(file)));
        QStringList values;
        for (const QString &key :
             {keys.colours, keys.positions, keys.nodeSize, keys.nodeRadius, keys.multiColour})
            values << preferences.value(key).value_or(QStringLiteral("<none>"));
        return values;
    }
    [[nodiscard]] QByteArray savedText() const
    {
        return documentText(grid, chartExtras(grid, state.appearance)).toUtf8();
    }

    QTemporaryDir folder;
    ChartGrid grid;
    SwatchBoard swatches;
    RecentDocuments recent{preferences};
    FakeChartViewer viewer;
    ChartEditor editor{grid, &state};
    DocumentController controller{{grid, swatches, state, preferences, recent, alerts, panels,
                                   desktop, commands, &viewer, &editor}};
    int chartsRestored = 0;
    int appearanceRestores = 0;
    int layoutPasses = 0;
};

// ---- Save --------------------------------------------------------------------------------

TEST_F(DocumentFlows, SaveAsksOnceWritesStraightAfterAndNeverOverAnExportOrADataFile)
{
    buildChart();
    const QString target = path(QStringLiteral("My Chart.csv"));
    panels.savePaths.push_back(target);
    save();
    ASSERT_EQ(panels.savePanels.size(), 1);
    EXPECT_EQ(panels.savePanels[0].allowedTypes, QStringList{QStringLiteral("csv")});
    EXPECT_EQ(readFile(target), savedText());
    EXPECT_EQ(*state.saveUrl, urlTextOfLocalFile(target).replace(QStringLiteral("%20"), " "));
    EXPECT_EQ(entriesOf(target), savedEntries());

    // The straight save files its entries under the same keys, node settings included, so a
    // later open brings back what was saved last.
    grid.setTitle(5, QStringLiteral("Later(Addition)"));
    grid.setSlotText(4, QStringLiteral("#ABCDEF"));
    setNodeSettings({"5", "7", "1"});
    save();
    EXPECT_EQ(panels.savePanels.size(), 1) << "the second Save writes without asking";
    EXPECT_EQ(readFile(target), savedText());
    EXPECT_EQ(entriesOf(target), savedEntries());

    const QString exported = writeFile(QStringLiteral("table.sql"), "CREATE TABLE t;");
    state.saveUrl = urlTextOfLocalFile(exported);
    panels.savePaths.push_back(std::nullopt);
    save();
    EXPECT_EQ(panels.savePanels.size(), 2) << "an export is never the chart's file";
    EXPECT_EQ(readFile(exported), QByteArray("CREATE TABLE t;"));

    // After a data file, Save proposes a name of its own and asks before replacing the data.
    const QByteArray data = "Name,Role\nAnn,Boss\n";
    const QString people = writeFile(QStringLiteral("people.csv"), data);
    open(people);
    alerts.shown.clear();
    panels.savePaths.push_back(people);
    save();
    ASSERT_EQ(panels.savePanels.size(), 3);
    EXPECT_EQ(panels.savePanels[2].proposedName, QStringLiteral("people chart.csv"));
    EXPECT_EQ(alerts.messages(),
              QStringList{QStringLiteral("Replace \"people.csv\" with the chart?")});
    EXPECT_EQ(readFile(people), data);
}

TEST_F(DocumentFlows, SaveAsAlwaysAsksAndAFailedWriteChangesNoEntryAndNoTarget)
{
    buildChart();
    saveAs(path(QStringLiteral("Team Chart.csv")));
    panels.savePaths.push_back(std::nullopt);
    saveAs();
    ASSERT_EQ(panels.savePanels.size(), 2);
    EXPECT_EQ(panels.savePanels[1].proposedName, QStringLiteral("Team Chart.csv"));

    // A plain file where the folder should be refuses the write, whoever runs the test.
    writeFile(QStringLiteral("locked"), "not a folder");
    const QMap<QString, QString> entriesBefore = preferences.values();
    const std::optional<QString> saveUrlBefore = state.saveUrl;
    grid.setTitle(1, QStringLiteral("Changed(Title)"));
    saveAs(path(QStringLiteral("locked/Other.csv")));
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].message, QStringLiteral("The document could not be saved."));
    EXPECT_EQ(preferences.values(), entriesBefore);
    EXPECT_EQ(state.saveUrl, saveUrlBefore) << "Save keeps going to the file that exists";
}

// ---- Save, then open -----------------------------------------------------------------------

class SavedChartRoundTrip : public DocumentFlows, public ::testing::WithParamInterface<const char *>
{
};

TEST_P(SavedChartRoundTrip, OpeningASavedChartBringsItBackWholeAsOneUndoStep)
{
    buildChart();
    // What only a chart saved whole can hold: quotes, commas and a line break in its titles.
    grid.setTitle(3, QStringLiteral("Quinn \"Q\", Ops\nNorth \"\",\""));
    grid.setParent(3, QStringLiteral("2_Yvette \"Vet\" Marlow(Finance)"));
    grid.setSetting(ChartSetting::ChartTitle, QStringLiteral("Crew \"A\", 2026"));
    state.appearance.fontFamily = QStringLiteral("DejaVu Serif");
    state.appearance.fontSize = 17;
    const GridSnapshot saved = snapshot(grid);
    const ChartAppearance look = state.appearance;
    const QString target = path(QString::fromUtf8(GetParam()));
    saveAs(target);
    ASSERT_TRUE(alerts.shown.isEmpty());

    // Work on something else before opening the chart again.
    confirmNew();
    grid.setTitle(7, QStringLiteral("Scratch(Temp)"));
    grid.setPosition(40, QStringLiteral("u"));
    grid.setPosition(60, QStringLiteral("NOT NULL"));
    setNodeSettings({"0", "3", "1"});
    ASSERT_NE(snapshot(grid), saved);

    open(target);
    EXPECT_TRUE(alerts.shown.size() == 1)
        << "only New's question: " << alerts.messages().join(", ").toStdString();
    EXPECT_EQ(snapshot(grid), saved);
    EXPECT_EQ(state.appearance, look);
    EXPECT_EQ(desktop.windowTitle(), QFileInfo(target).completeBaseName());
    EXPECT_EQ(recent.paths().value(0), target);
    EXPECT_EQ(chartsRestored, 1);
    EXPECT_EQ(appearanceRestores, 1);
    EXPECT_EQ(state.fileUrl, urlTextOfLocalFile(target)) << "converted as its own file";
    EXPECT_TRUE(viewer.loads.isEmpty()) << "no table preview";

    // Handed over by the system or the command line, with no stored entries at all, the file
    // alone brings everything back, and its open is one step of the edit history.
    confirmNew();
    for (const QString &key : preferences.values().keys())
        preferences.remove(key);
    state.appearance = ChartAppearance();
    const GridSnapshot empty = snapshot(grid);
    controller.openFileRequest(target);
    EXPECT_TRUE(state.openRecent);
    EXPECT_TRUE(state.openDoubleClicked);
    EXPECT_EQ(snapshot(grid), saved);
    EXPECT_EQ(state.appearance, look);
    editor.undo();
    EXPECT_EQ(snapshot(grid), empty);
    EXPECT_EQ(state.appearance, ChartAppearance());
    editor.undo(); // New
    EXPECT_EQ(snapshot(grid), saved);
}

INSTANTIATE_TEST_SUITE_P(Names, SavedChartRoundTrip,
                         ::testing::Values("q1.team.v2.csv", "Übersicht Zürich ÅÄÖ.csv"));

TEST_F(DocumentFlows, SameNamedFilesInTwoFoldersKeepTheirOwnEntries)
{
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("a")));
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("b")));
    const QString first = path(QStringLiteral("a/chart.csv"));
    const QString second = path(QStringLiteral("b/chart.csv"));
    grid.setTitle(1, QStringLiteral("Boss"));
    grid.setSlotText(1, QStringLiteral("#AA0000"));
    saveAs(first);
    grid.setSlotText(1, QStringLiteral("#00BB00"));
    saveAs(second);
    EXPECT_EQ(entriesOf(first).first(), buildColorLine(grid).replace("#00BB00", "#AA0000"));
    EXPECT_EQ(entriesOf(second).first(), buildColorLine(grid));
    open(first);
    EXPECT_EQ(grid.slotText(1), QStringLiteral("#AA0000"));
    open(second);
    EXPECT_EQ(grid.slotText(1), QStringLiteral("#00BB00"));
}

TEST_F(DocumentFlows, AFileOfThePreviousVersionOpensAsBeforeWithItsBareNameEntries)
{
    buildChart();
    const GridSnapshot saved = snapshot(grid);
    const QString old = writeFile(QStringLiteral("old.csv"), documentText(grid).toUtf8());
    for (const auto &[infix, value] : {std::pair{"", buildColorLine(grid)},
                                       {"~", buildPositionLine(grid)},
                                       {"n", QStringLiteral("2")},
                                       {"NULL", QStringLiteral("9")},
                                       {"m", QStringLiteral("0")}})
        preferences.setValue(QStringLiteral("old") + QLatin1String(infix) + "csv", value);
    confirmNew();
    setNodeSettings({"0", "3", "1"});
    open(old);
    EXPECT_EQ(snapshot(grid), saved);
    EXPECT_EQ(nodeSettings(), (QStringList{"2", "9", "0"}));
}

// ---- Import ------------------------------------------------------------------------------

TEST_F(DocumentFlows, ImportTakesTheFirstRecordUnquotedAndBlanksNamed)
{
    grid.setPosition(3, QStringLiteral("NULL"));
    grid.setTitle(50, QStringLiteral("old"));
    grid.setSetting(ChartSetting::XaxisLabel, QStringLiteral("x"));
    const QString file = writeFile(
        QStringLiteral("people.csv"),
        QStringLiteral("\"Ann(CEO)\",,  ,“Bo”,'Cy',‘Di’, Ed Fox (CFO) ,\"O'Brien \"\"Jo\"\" ‘x’\"\n"
                       "not,a,title\n")
            .toUtf8());
    open(file);

    EXPECT_TRUE(alerts.shown.isEmpty());
    QStringList titles;
    for (int row = 2; row <= 10; ++row)
        titles << grid.title(row);
    EXPECT_EQ(titles, (QStringList{"Ann(CEO)", "Untitled2", "Untitled3", "Bo", "'Cy'", "Di",
                                   " Ed Fox (CFO) ", "O'Brien \"Jo\" ‘x’", ""}));
    EXPECT_TRUE(grid.title(50).isEmpty());
    EXPECT_TRUE(grid.setting(ChartSetting::XaxisLabel).isEmpty());

    // The column set-up for the converters.
    EXPECT_EQ(grid.title(1), QStringLiteral("record_id(PK)"));
    EXPECT_EQ(grid.setting(ChartSetting::ChartTitle), QStringLiteral("table_name"));
    EXPECT_EQ(grid.parent(8), QStringLiteral("VARCHAR(255)"));
    EXPECT_EQ(grid.position(3), QStringLiteral("NULL")) << "positions are not touched";

    EXPECT_EQ(state.fileUrl, urlTextOfLocalFile(file));
    EXPECT_EQ(viewer.loads.size(), 1);
    EXPECT_TRUE(controller.isPreviewShown());

    QStringList fields;
    for (int i = 1; i <= 100; ++i)
        fields << QStringLiteral("P%1(Job)").arg(i);
    open(writeFile(QStringLiteral("wide.CSV"), fields.join(QLatin1Char(',')).toUtf8()));
    EXPECT_TRUE(alerts.shown.isEmpty());
    EXPECT_EQ(grid.title(93), QStringLiteral("P92(Job)")) << "rows 2 to 93 take the first 92";

    open(writeFile(QStringLiteral("one.csv"), "A\n"));
    EXPECT_EQ(alerts.messages(), QStringList{kInvalidCsv});
    EXPECT_TRUE(grid.title(3).isEmpty());

    alerts.shown.clear();
    open(writeFile(QStringLiteral("d.tsv"), "A\tB\n"));
    EXPECT_EQ(alerts.messages(), QStringList{kConvertTsv});
    EXPECT_EQ(grid.title(2), QStringLiteral("A")) << "no import";
}

TEST_F(DocumentFlows, ABinaryFileIsRefusedBeforeAnythingChanges)
{
    buildChart();
    const GridSnapshot before = snapshot(grid);
    open(writeFile(QStringLiteral("tool.csv"), QByteArray("\x7F"
                                                          "ELF\x02\x01\0\0",
                                                          8)));
    EXPECT_EQ(alerts.messages(), QStringList{QStringLiteral("\"tool.csv\" cannot be opened.")});
    EXPECT_EQ(snapshot(grid), before);
    EXPECT_TRUE(recent.paths().isEmpty());
}

// ---- The refresh request -------------------------------------------------------------------

TEST_F(DocumentFlows, OpenAppliesStoredColoursRefreshRestylesThePreviewAndKeepsEveryChoice)
{
    preferences.setValue(QStringLiteral("teamcsv"), QStringLiteral("#111111#22aa22"));
    open(writeFile(QStringLiteral("team.csv"), "Ann(CEO),Bo(CTO),Cy(CFO)\n"));
    EXPECT_EQ(grid.slotText(1), QStringLiteral("#111111"));
    EXPECT_EQ(grid.slotText(2), QStringLiteral("#22aa22"));
    EXPECT_EQ(swatches.colour(2), QColor(0x22, 0xaa, 0x22));
    grid.setParent(3, QStringLiteral("2_Ann(CEO)"));
    grid.setParent(4, QStringLiteral("3_Bo(CTO)"));
    grid.setSlotText(1, QStringLiteral("#FF0000")); // a colour pick
    const GridSnapshot chosen = snapshot(grid);

    state.appearance.fontFamily = QStringLiteral("Verdana");
    state.openRecent = true;
    refresh();
    EXPECT_EQ(snapshot(grid), chosen);
    EXPECT_TRUE(alerts.shown.isEmpty());
    ASSERT_EQ(viewer.loads.size(), 2);
    EXPECT_TRUE(viewer.loads.last().contains(QStringLiteral("Verdana")));

    // Once a chart is drawn the refresh leaves the viewer alone.
    viewer.load(QUrl(QStringLiteral("file:///orgchart.html?data=x")));
    refresh();
    EXPECT_FALSE(controller.isPreviewPending());
    EXPECT_EQ(viewer.loads.size(), 3);
    EXPECT_EQ(snapshot(grid), chosen);
}

// ---- New -----------------------------------------------------------------------------------

TEST_F(DocumentFlows, NewAsksThenEmptiesTheChartResetsColoursAndForgetsTheFile)
{
    open(writeFile(QStringLiteral("team.csv"), "Ann(CEO),Bo(CTO)\n"));
    grid.setPosition(93, QStringLiteral("u"));
    grid.setSlotText(1, QStringLiteral("#010203"));
    const GridSnapshot before = snapshot(grid);
    alerts.answers.push_back(kFirstButton + 1); // Cancel keeps everything
    newFile();
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].message,
              QStringLiteral("This action will clear data from all cells & reset all colors."));
    EXPECT_EQ(snapshot(grid), before);
    EXPECT_EQ(preferences.value(kOpenedFilenameKey), QStringLiteral("team.csv"));
    EXPECT_EQ(layoutPasses, 0);

    confirmNew();

    EXPECT_EQ(desktop.windowTitle(), QStringLiteral("Untitled"));
    EXPECT_EQ(state.saveUrl, QString());
    EXPECT_EQ(preferences.value(kOpenedFilenameKey), QString());
    EXPECT_FALSE(state.fileUrl);
    grid.forEachRow([](int row, const ChartRow &fields) {
        EXPECT_TRUE(fields.title.isEmpty() && fields.parent.isEmpty()) << "row " << row;
    });
    EXPECT_TRUE(grid.setting(ChartSetting::ChartTitle).isEmpty());
    EXPECT_EQ(grid.position(93), QStringLiteral("u"));
    EXPECT_EQ(grid.slotText(1), QStringLiteral("#FFFFFF"));
    EXPECT_EQ(grid.slotText(kLineSlot), QStringLiteral("#3388DD"));
    EXPECT_EQ(layoutPasses, 1);

    // The old file comes back neither with the next settings change nor as Save's target.
    const int loads = int(viewer.loads.size());
    refresh();
    EXPECT_EQ(viewer.loads.size(), loads);
    EXPECT_TRUE(grid.title(2).isEmpty());
    panels.savePaths.push_back(std::nullopt);
    save();
    ASSERT_EQ(panels.savePanels.size(), 1);
    EXPECT_TRUE(panels.savePanels[0].proposedName.isEmpty());
    // With a chart title, the chart is proposed under it.
    grid.setSetting(ChartSetting::ChartTitle, QStringLiteral("Board: 2027"));
    panels.savePaths.push_back(std::nullopt);
    save();
    EXPECT_EQ(panels.savePanels.last().proposedName, QStringLiteral("Board 2027.csv"));
}

} // namespace
