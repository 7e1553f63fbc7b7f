// The document commands driven end to end through fake ports: files are real (in a temporary
// folder), panels, alerts, the desktop and the viewer are scripted.
#include "Fakes.h"
#include "TestFiles.h"
#include "base/Commands.h"
#include "base/DocumentNames.h"
#include "colour/ColorLine.h"
#include "document/CompanionEntries.h"
#include "document/DocumentController.h"
#include "document/RecentDocuments.h"
#include "model/GridClearing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef __linux__
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

using namespace plotwell;
using namespace plotwell::document;
using namespace plotwell::testing;

namespace {

const QString kNoColumnNames = QStringLiteral("Invalid or Incorrectly formatted CSV file");

/// The chart title, every row and every colour text: what a document and its entries hold.
auto snapshot(const ChartGrid &grid)
{
    std::pair<QStringList, QList<ChartRow>> shot{{grid.setting(ChartSetting::ChartTitle)}, {}};
    grid.forEachRow([&](int, const ChartRow &row) { shot.second << row; });
    for (int slot = 1; slot <= kColourSlotCount; ++slot)
        shot.first << grid.slotText(slot);
    return shot;
}

/// A folder nobody may write into, not even root (which ignores permission bits): the
/// immutable flag is set as well when the process can.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(QString path) : m_path(std::move(path))
    {
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ExeOwner);
        m_immutable = !refusesWrites() && setImmutable(true);
    }
    ~ReadOnlyFolder()
    {
        if (m_immutable)
            setImmutable(false);
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    [[nodiscard]] bool refusesWrites() const
    {
        QFile probe(m_path + QStringLiteral("/.probe"));
        return !probe.open(QIODevice::WriteOnly) || !probe.remove();
    }

private:
    bool setImmutable([[maybe_unused]] bool on) const
    {
#ifdef __linux__
        const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0)
            ::close(fd);
        return done;
#else
        return false;
#endif
    }

    QString m_path;
    bool m_immutable = false;
};

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

    // The menu actions, as the window runs them; a path is the panel's answer.
    void menu(const char *action) { runDelegateAction(QLatin1String(action), state, commands); }
    void save() { menu("saveFile:"); }
    void saveAs(const std::optional<QString> &target)
    {
        panels.savePaths.push_back(target);
        menu("saveAsFile:");
    }
    void newFile(int answer = kFirstButton)
    {
        alerts.answers.push_back(answer);
        menu("newFile:");
    }
    /// Opens \a target and lets a table preview it starts reach the viewer.
    void open(const std::optional<QString> &target)
    {
        openWithoutWaiting(target);
        settlePreview();
    }
    void openWithoutWaiting(const std::optional<QString> &target)
    {
        panels.openPaths.push_back(target);
        menu("openFile:");
    }
    void refresh()
    {
        commands.post(QStringLiteral("openRecentDocument"));
        settlePreview();
    }
    void settlePreview()
    {
        if (!controller.isPreviewPending())
            return;
        QSignalSpy shown(&controller, &DocumentController::tablePreviewShown);
        EXPECT_TRUE(shown.wait(60000));
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
        grid.setPosition(40, QStringLiteral("NULL"));
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
    /// The five companion entries stored for \a base + ".csv", against those of the grid now.
    [[nodiscard]] std::pair<QStringList, QStringList> entriesOf(const QString &base) const
    {
        QStringList stored;
        for (const char *infix : {"", "~", "n", "NULL", "m"})
            stored << preferences.value(base + QLatin1String(infix) + QStringLiteral("csv"))
                          .value_or(QStringLiteral("<none>"));
        return {stored,
                QStringList({buildColorLine(grid), buildPositionLine(grid)}) + nodeSettings()};
    }

    QTemporaryDir folder;
    ChartGrid grid;
    SwatchBoard swatches;
    RecentDocuments recent{preferences};
    FakeChartViewer viewer;
    DocumentController controller{
        {grid, swatches, state, preferences, recent, alerts, panels, desktop, commands, &viewer}};
    int chartsRestored = 0;
    int appearanceRestores = 0;
    int layoutPasses = 0;
};

TEST_F(DocumentFlows, SaveAsksOnceThenWritesStraightSaveAsAlwaysAsksNewAsksAgain)
{
    buildChart();
    const QString target = path(QStringLiteral("My Chart.csv"));
    panels.savePaths.push_back(target);
    save();
    ASSERT_EQ(panels.savePanels.size(), 1);
    EXPECT_EQ(panels.savePanels[0].allowedTypes, QStringList{"csv"});
    EXPECT_EQ(panels.savePanels[0].proposedName, "");
    EXPECT_EQ(*state.saveUrl, urlTextOfLocalFile(target).replace(QStringLiteral("%20"), " "));
    EXPECT_EQ(preferences.value(kOpenedFilenameKey), QStringLiteral("My%20Chart.csv"));

    // The straight save writes the file and its entries, node settings included.
    grid.setTitle(5, QStringLiteral("Later(Addition)"));
    grid.setPosition(3, QStringLiteral("u"));
    setNodeSettings({"5", "7", "1"});
    save();
    EXPECT_EQ(panels.savePanels.size(), 1);
    EXPECT_EQ(readFile(target), documentText(grid).toUtf8());
    const auto [stored, expected] = entriesOf(QStringLiteral("My%20Chart"));
    EXPECT_EQ(stored, expected);

    saveAs(std::nullopt);
    ASSERT_EQ(panels.savePanels.size(), 2);
    EXPECT_EQ(panels.savePanels[1].proposedName, QStringLiteral("My Chart.csv"));
    newFile();
    panels.savePaths.push_back(std::nullopt);
    save();
    ASSERT_EQ(panels.savePanels.size(), 3);
    EXPECT_EQ(panels.savePanels[2].proposedName, "");
}

TEST_F(DocumentFlows, SaveDoesNotWriteOverAnExportFile)
{
    const QString exported = writeFile(QStringLiteral("table.sql"), "CREATE TABLE t;");
    state.saveUrl = urlTextOfLocalFile(exported);
    panels.savePaths.push_back(std::nullopt);
    save();
    EXPECT_EQ(panels.savePanels.size(), 1);
    EXPECT_EQ(readFile(exported), QByteArray("CREATE TABLE t;"));
}

TEST_F(DocumentFlows, FailedWriteIsReportedAndLeavesFileAndEntriesUntouched)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("locked")));
    const QString target = path(QStringLiteral("locked/Team Chart.csv"));
    buildChart();
    saveAs(target);
    const QByteArray writtenBefore = readFile(target);
    const QMap<QString, QString> entriesBefore = preferences.values();
    const std::optional<QString> saveUrlBefore = state.saveUrl;
    ReadOnlyFolder locked(path(QStringLiteral("locked")));
    if (!locked.refusesWrites())
        GTEST_SKIP() << "this process can write into a read-only folder";

    grid.setTitle(1, QStringLiteral("Changed(Title)"));
    grid.setSlotText(1, QStringLiteral("#000001"));
    save(); // straight save to the same file
    EXPECT_EQ(alerts.messages(), QStringList{"The document could not be saved."});
    EXPECT_TRUE(alerts.shown.value(0).informativeText.contains("Team Chart.csv"));
    EXPECT_EQ(readFile(target), writtenBefore);

    saveAs(path(QStringLiteral("locked/Other.csv"))); // a new name in the same folder
    EXPECT_EQ(alerts.shown.size(), 2);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("locked/Other.csv"))));
    EXPECT_EQ(preferences.values(), entriesBefore);
    EXPECT_EQ(state.saveUrl, saveUrlBefore) << "Save keeps going to the file that exists";
}

class SavedChartRoundTrip : public DocumentFlows, public ::testing::WithParamInterface<const char *>
{
};

TEST_P(SavedChartRoundTrip, OpeningASavedChartBringsItBackWhole)
{
    buildChart();
    const auto saved = snapshot(grid);
    const QString target = path(QString::fromUtf8(GetParam()));
    saveAs(target);

    // Work on something else before opening the chart again.
    newFile();
    grid.setTitle(7, QStringLiteral("Scratch(Temp)"));
    grid.setPosition(60, QStringLiteral("NOT NULL"));
    setNodeSettings({"0", "3", "1"});
    open(target);
    EXPECT_EQ(alerts.messages().size(), 1) << "only New's question";
    EXPECT_EQ(snapshot(grid), saved);
    EXPECT_EQ(nodeSettings(), (QStringList{"2", "9", "0"}));
    EXPECT_EQ(desktop.windowTitle(), QFileInfo(target).completeBaseName());
    EXPECT_EQ(recent.paths().value(0), target);
    EXPECT_EQ(std::pair(chartsRestored, appearanceRestores), std::pair(1, 1));
    // A chart is not a table to convert or preview.
    EXPECT_FALSE(state.fileUrl);
    EXPECT_TRUE(viewer.loads.isEmpty());

    // Handed over by the system or the command line, the file finds its entries as well.
    newFile();
    controller.openFileRequest(target);
    EXPECT_TRUE(state.openDoubleClicked);
    EXPECT_EQ(snapshot(grid), saved);
}

INSTANTIATE_TEST_SUITE_P(Names, SavedChartRoundTrip,
                         ::testing::Values("chart.csv", "My Team Chart.csv", "q1.team.v2.csv",
                                           "Übersicht Zürich ÅÄÖ.csv", "Équipe été.csv"));

// Which names pass the gate is DocumentNames' test; here, what each outcome does.
TEST_F(DocumentFlows, ExtensionGateImportsCsvAndNamesWhyOtherFilesAreNot)
{
    const std::pair<const char *, const char *> cases[] = {
        {"b.CSV", nullptr}, {"d.tsv", "Conversion to CSV Required"}, {"f.txt", "Invalid file"}};
    for (const auto &[name, alert] : cases) {
        clearFields(grid);
        alerts.shown.clear();
        const QString file = writeFile(QString::fromUtf8(name), "Ann(CEO),Bo(CTO)\n1,2\n");
        open(file);
        EXPECT_EQ(desktop.windowTitle(), baseName(QString::fromUtf8(name)));
        EXPECT_EQ(recent.paths().value(0), file);
        EXPECT_EQ(preferences.value(kOpenedFilenameKey), QString::fromUtf8(name));
        EXPECT_EQ(alerts.messages(), alert ? QStringList{alert} : QStringList()) << name;
        EXPECT_EQ(grid.title(2), alert ? "" : "Ann(CEO)") << name;
    }
}

TEST_F(DocumentFlows, ImportTakesTheFirstRecordWithQuotesRemovedAndBlanksNamed)
{
    grid.setPosition(3, QStringLiteral("NULL"));
    grid.setTitle(50, QStringLiteral("old"));
    const QString file = writeFile(
        QStringLiteral("people.csv"),
        QStringLiteral("\"Ann(CEO)\",,  ,“Bo”,'Cy',‘Di’, Ed Fox (CFO) \nnot,a,title\n").toUtf8());
    open(file);
    EXPECT_TRUE(alerts.shown.isEmpty());
    QStringList titles;
    for (int row : {2, 3, 4, 5, 6, 7, 8, 9, 50})
        titles << grid.title(row);
    EXPECT_EQ(titles, (QStringList{"Ann(CEO)", "Untitled2", "Untitled3", "Bo", "Cy", "Di",
                                   " Ed Fox (CFO) ", "", ""}));
    // The column set-up for the converters; positions are not touched.
    EXPECT_EQ(
        (QStringList{grid.title(1), grid.setting(ChartSetting::ChartTitle), grid.parent(1),
                     grid.parent(8), grid.parent(9), grid.position(3)}),
        (QStringList{"record_id(PK)", "table_name", "VARCHAR(255)", "VARCHAR(255)", "", "NULL"}));
    EXPECT_EQ(state.fileUrl, urlTextOfLocalFile(file));
    EXPECT_EQ(viewer.loads.size(), 1);
    EXPECT_TRUE(controller.isPreviewShown());
}

TEST_F(DocumentFlows, ImportOfAWideATooShortOrAnEmptyFile)
{
    QStringList fields;
    for (int i = 1; i <= 100; ++i)
        fields << QStringLiteral("P%1(Job)").arg(i);
    open(writeFile(QStringLiteral("wide.csv"), fields.join(QLatin1Char(',')).toUtf8()));
    EXPECT_EQ(grid.title(93), QStringLiteral("P92(Job)")) << "rows 2 to 93 take the first 92";

    open(writeFile(QStringLiteral("one.csv"), "A\n"));
    EXPECT_EQ(alerts.messages(), QStringList{"Invalid CSV file"});
    EXPECT_EQ(grid.title(2) + grid.title(3), QStringLiteral("A"));

    // Only the preview complains about a file without column names, and still shows it.
    alerts.shown.clear();
    open(writeFile(QStringLiteral("empty.csv"), QByteArray()));
    EXPECT_EQ(alerts.messages(), QStringList{kNoColumnNames});
    EXPECT_EQ(grid.title(1), QStringLiteral("record_id(PK)"));
    EXPECT_TRUE(grid.title(2).isEmpty());
    EXPECT_EQ(viewer.loads.size(), 3);
}

TEST_F(DocumentFlows, OpenAppliesStoredColoursRefreshRestylesThePreviewAndKeepsEveryChoice)
{
    preferences.setValue(QStringLiteral("teamcsv"), QStringLiteral("#111111#22aa22"));
    open(writeFile(QStringLiteral("team.csv"), "Ann(CEO),Bo(CTO),Cy(CFO)\n"));
    // Slots past the stored line keep theirs.
    EXPECT_EQ((QStringList{grid.slotText(1), grid.slotText(2), grid.slotText(3)}),
              (QStringList{"#111111", "#22aa22", "#504DCD"}));
    EXPECT_EQ(swatches.colour(2), QColor(0x22, 0xaa, 0x22));
    grid.setParent(3, QStringLiteral("2_Ann(CEO)"));
    grid.setSlotText(1, QStringLiteral("#FF0000")); // a colour pick
    const auto chosen = snapshot(grid);

    state.appearance.fontFamily = QStringLiteral("Verdana");
    state.openRecent = true;
    refresh();
    EXPECT_EQ(snapshot(grid), chosen);
    ASSERT_EQ(viewer.loads.size(), 2);
    EXPECT_TRUE(viewer.loads.last().contains(QStringLiteral("Verdana")));

    // Once a chart is drawn the refresh leaves the viewer alone.
    viewer.load(QUrl(QStringLiteral("file:///orgchart.html?data=x")));
    refresh();
    EXPECT_EQ(viewer.loads.size(), 3);
    EXPECT_EQ(snapshot(grid), chosen);
    EXPECT_TRUE(alerts.shown.isEmpty());
}

TEST_F(DocumentFlows, APreviewBeingCountedGivesWayToTheNextOpenARefreshOrAnotherPage)
{
    QByteArray many = "Name,Dept\n";
    for (int i = 1; i <= 200000; ++i)
        many += "n" + QByteArray::number(i) + ",d\n";
    const QString large = writeFile(QStringLiteral("large.csv"), many);
    const QString small = writeFile(QStringLiteral("small.csv"), "Ann(CEO),Bo(CTO)\n1,2\n");

    // The import is done before the file has been counted; the viewer waits for the page.
    openWithoutWaiting(large);
    EXPECT_EQ(grid.title(2), QStringLiteral("Name"));
    EXPECT_TRUE(controller.isPreviewPending() && viewer.loads.isEmpty());
    open(small);
    ASSERT_EQ(viewer.loads.size(), 1);
    EXPECT_TRUE(viewer.loads[0].contains(QStringLiteral("Preview of 1 Total Records")));

    // A refresh while counting builds the page again with the new look.
    openWithoutWaiting(large);
    state.appearance.fontFamily = QStringLiteral("Verdana");
    refresh();
    ASSERT_EQ(viewer.loads.size(), 2);
    EXPECT_TRUE(viewer.loads[1].contains(QStringLiteral("Verdana")));
    EXPECT_TRUE(viewer.loads[1].contains(QStringLiteral("of 200000 Total Records")));

    // A chart drawn meanwhile stays; the late page is dropped and no refresh brings it back.
    openWithoutWaiting(large);
    viewer.load(QUrl(QStringLiteral("file:///orgchart.html?data=x")));
    controller.discardPendingPreview();
    refresh();
    EXPECT_FALSE(controller.isPreviewPending());

    // An empty file's complaint survives a refresh that restarts its preview.
    alerts.shown.clear();
    openWithoutWaiting(writeFile(QStringLiteral("empty.csv"), {}));
    refresh();
    EXPECT_EQ(alerts.messages(), QStringList{kNoColumnNames});
    EXPECT_EQ(viewer.loads.size(), 4);
}

TEST_F(DocumentFlows, RefreshWithoutAnImportedFileAndCancelledOpenDoNothing)
{
    grid.setTitle(2, QStringLiteral("Typed(Row)"));
    const auto before = snapshot(grid);
    state.openRecent = true;
    commands.post(QStringLiteral("openRecentDocument"));
    open(std::nullopt);
    EXPECT_TRUE(alerts.shown.isEmpty() && viewer.loads.isEmpty());
    EXPECT_EQ(snapshot(grid), before);
    EXPECT_EQ(desktop.windowTitle(), QStringLiteral("Untitled"));
    EXPECT_FALSE(preferences.value(kOpenedFilenameKey));
}

TEST_F(DocumentFlows, NewAsksThenEmptiesTheChartResetsColoursAndForgetsTheFile)
{
    open(writeFile(QStringLiteral("team.csv"), "Ann(CEO),Bo(CTO)\n"));
    grid.setPosition(93, QStringLiteral("u"));
    grid.setSlotText(1, QStringLiteral("#010203"));
    const auto before = snapshot(grid);
    newFile(kFirstButton + 1); // Cancel keeps everything
    EXPECT_EQ(alerts.messages(),
              QStringList{"This action will clear data from all cells & reset all colors."});
    EXPECT_EQ(snapshot(grid), before);
    EXPECT_EQ(preferences.value(kOpenedFilenameKey), QStringLiteral("team.csv"));
    EXPECT_EQ(layoutPasses, 0);

    newFile();
    EXPECT_EQ(desktop.windowTitle(), QStringLiteral("Untitled"));
    EXPECT_EQ(state.saveUrl, QString());
    EXPECT_EQ(preferences.value(kOpenedFilenameKey), QString());
    EXPECT_FALSE(state.fileUrl);
    grid.forEachRow([](int row, const ChartRow &fields) {
        EXPECT_TRUE(fields.title.isEmpty() && fields.parent.isEmpty()) << "row " << row;
    });
    EXPECT_EQ((QStringList{grid.setting(ChartSetting::ChartTitle), grid.position(93),
                           grid.slotText(1), grid.slotText(kLineSlot)}),
              (QStringList{"", "u", "#FFFFFF", "#3388DD"}));
    EXPECT_EQ(layoutPasses, 1);

    // The old file does not come back with the next settings change.
    const qsizetype loads = viewer.loads.size();
    refresh();
    EXPECT_EQ(viewer.loads.size(), loads);
    EXPECT_TRUE(grid.title(2).isEmpty());
}

TEST_F(DocumentFlows, SampleFileIsOfferedAsCsvSampleAndImportsTwelvePeople)
{
    qputenv("PLOTWELL_RESOURCE_DIR", PLOTWELL_SOURCE_DIR "/resources");
    const QString target = path(QStringLiteral("mine"));
    panels.savePaths.push_back(target);
    controller.downloadTemplate();
    qunsetenv("PLOTWELL_RESOURCE_DIR");
    ASSERT_EQ(panels.savePanels.size(), 1);
    EXPECT_EQ(panels.savePanels[0].proposedName, QStringLiteral("CSVSample"));
    EXPECT_EQ(readFile(target + QStringLiteral(".csv")),
              readFile(QStringLiteral(PLOTWELL_SOURCE_DIR "/resources/SAMPLE_DATA.csv")));
    EXPECT_TRUE(preferences.values().isEmpty()) << "no name or entry changes";

    open(target + QStringLiteral(".csv"));
    EXPECT_TRUE(alerts.shown.isEmpty());
    EXPECT_TRUE(grid.title(13).endsWith(QLatin1Char(')')) && grid.title(14).isEmpty());
}

} // namespace

int main(int argc, char **argv)
{
    // Table previews reach the viewer through the event loop.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
