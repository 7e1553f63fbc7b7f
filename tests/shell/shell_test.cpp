// The window's rules without a window: the layout pass, the grid toggle,
// full screen, help and the viewer loading flow.
#include "Fakes.h"
#include "LogCapture.h"
#include "base/AppState.h"
#include "base/Commands.h"
#include "base/Progress.h"
#include "model/ChartGrid.h"
#include "render/ViewerLoader.h"
#include "shell/Launch.h"
#include "shell/ShellController.h"
#include "shell/WindowLayout.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace plotwell;
using namespace plotwell::testing;

namespace {

class FakeShellView final : public ShellView
{
public:
    QSizeF viewSize() const override { return size; }
    void applyLayout(const WindowLayout &l) override { layouts << l; }
    void setGridButtonLook(bool shown) override { gridButtonShown = shown; }
    void setSideBarVisible(bool visible) override { sideBarVisible = visible; }
    void showProgressIndicator() override {}
    void layoutFullScreenViewer(const FullScreenLayout &l) override { fullScreen = l; }
    void showQuickHelp() override { ++quickHelps; }
    void focusChart() override { ++chartFocused; }

    QSizeF size{1200, 740};
    QList<WindowLayout> layouts;
    bool gridButtonShown = true;
    bool sideBarVisible = true;
    FullScreenLayout fullScreen;
    int quickHelps = 0;
    int chartFocused = 0;
};

/// A window's worth of core objects around fakes.
struct Shell : FakeApp
{
    ChartGrid grid;
    FakeChartViewer webView, webViewM, webViewL;
    FakeShellView view;
    ViewerLoader loader{webView, webViewM, webViewL, grid, state, commands, desktop};
    ShellController shell{context, grid, loader, view};
    QStringList posted; // commands seen by recording observers

    Shell()
    {
        state.winWidth = 1200;
        state.winHeight = 800;
        HandlerTable table;
        shell.addHandlers(table);
        table.install(commands, viewControllerCommands());
        for (const QString &name :
             {command::openRecentDocument, command::triggerHideGrid, command::triggerShowGrid,
              command::toggleFullScreen, command::enableUndo, command::disableUndo,
              command::enableRedo, command::disableRedo})
            commands.observe(name, [this, name](const QVariant &) { posted << name; });
    }
};

} // namespace

// Where the views of a 1200 x 800 window go is the window test's; here, what it cannot see.
TEST(WindowLayout, A1200By800WindowWithTheGridShownAndHidden)
{
    const WindowLayout shown = computeWindowLayout(1200.9, 800, true);
    const WindowLayout hidden = computeWindowLayout(1200, 800, false);
    EXPECT_EQ(shown.htmlWidth, 670) << "fractions of the width are dropped";
    EXPECT_EQ(shown.placeholderWidth, shown.webView.width());
    EXPECT_EQ(hidden.placeholderWidth, 1178);
    EXPECT_EQ(hidden.scrollView, QRectF(55, kContentTop, 1, hidden.webView.height()));
    EXPECT_FALSE(hidden.gridVisible);
    // Heights fill the view below the header, whatever the state.
    EXPECT_EQ(shown.webView.bottom(), 800 - kBottomMargin);
    EXPECT_EQ(hidden.webView.bottom(), 800 - kBottomMargin);
    EXPECT_EQ(shown.scrollView.bottom(), 800 - kBottomMargin);
}

TEST(WindowLayout, SideBarFollowsTheWindowUntilDraggedAndKeepsRoomForTheChart)
{
    const struct
    {
        double window;
        double wanted;
        double sideBar;
    } cases[] = {
        {800, 0, 380},    {1280, 0, 512},    {1920, 0, 600},
        {3000, 0, 600},                                        // 40 %, within bounds
        {1280, 700, 700}, {1280, 1000, 885}, {1280, 100, 300}, // dragged
        {600, 500, 300},                                       // nothing to spare
    };
    for (const auto &c : cases) {
        EXPECT_EQ(sideBarWidthFor(c.window, c.wanted), c.sideBar) << c.window << " " << c.wanted;
        const WindowLayout layout = computeWindowLayout(c.window, 800, true, c.wanted);
        EXPECT_EQ(layout.scrollView.width(), c.sideBar);
        EXPECT_EQ(layout.webView.left(), layout.scrollView.right() + kSideGap);
    }
}

TEST(ShellController, DraggedSideBarWidthIsRememberedForTheNextStart)
{
    Shell s;
    EXPECT_EQ(s.shell.sideBarWidth(), 0);
    s.state.winWidth = 1280;
    s.shell.setSideBarWidth(520.5);
    EXPECT_EQ(s.preferences.value(kSideBarWidthKey), std::optional<QString>("520.5"));
    ShellController later(s.context, s.grid, s.loader, s.view);
    EXPECT_EQ(later.sideBarWidth(), 520.5);
}

TEST(WindowLayout, FullScreenViewerIsTheScreenCentredInTheView)
{
    const FullScreenLayout layout = computeFullScreenLayout({1440, 870}, {1440, 900});
    EXPECT_EQ(layout.webViewL, QRectF(0, 0, 1440, 900));
    EXPECT_EQ(layout.exitButton, QRectF(1290, 550, 150, 50));
    EXPECT_EQ(computeFullScreenLayout({1000, 700}, {1200, 800}).webViewL.topLeft(),
              QPointF(100, 35));
}

TEST(ShellController, LayoutPassRefreshesOnlyOutsideAConversion)
{
    // Where the gate's edges lie is AppState's test; this one checks the pass obeys it.
    for (const auto &[bar, refreshes] : {std::pair{0, true}, {50, false}}) {
        Shell s;
        s.state.barValue = bar;
        s.state.openRecent = false;
        s.commands.post(command::resizeWebView);
        EXPECT_EQ(s.posted.contains(command::openRecentDocument), refreshes) << bar;
        EXPECT_EQ(s.state.openRecent, refreshes);
        // The views are laid out either way.
        EXPECT_EQ(s.view.layouts.size(), 1);
        EXPECT_EQ(s.shell.htmlWidth(), 670);
    }
}

TEST(ShellController, GridTogglePlaceholderWidthsFollowTheGrid)
{
    Shell s;
    s.commands.post(command::showHideGrid); // hide
    EXPECT_EQ(s.shell.gridHidden(), 1);
    EXPECT_FALSE(s.view.gridButtonShown);
    EXPECT_TRUE(s.webView.currentPage().contains(QStringLiteral("width:1178.0px")));
    EXPECT_EQ(s.shell.htmlWidth(), 1165);
    EXPECT_EQ(s.posted.filter(command::triggerShowGrid).size(), 1);

    s.commands.post(command::showHideGrid); // show again
    EXPECT_EQ(s.shell.gridHidden(), 0);
    EXPECT_TRUE(s.view.gridButtonShown);
    EXPECT_TRUE(s.view.layouts.last().gridVisible);
    // The placeholder on screen is resized, not loaded again: undo has nothing to walk.
    EXPECT_EQ(s.webView.loads.size(), 1);
    EXPECT_TRUE(s.webView.scripts.last().contains(QStringLiteral("width='685.0px'")));
    EXPECT_FALSE(s.webView.canGoBack());

    // With a title in row 2 the chart stays.
    s.grid.setTitle(2, QStringLiteral("Tobin Marsh(Public Relations)"));
    const int loads = int(s.webView.loads.size());
    s.commands.post(command::showHideGrid);
    s.commands.post(command::showHideGrid);
    EXPECT_EQ(s.webView.loads.size(), loads);
}

TEST(ShellController, HelpShowsTheGridFirstAndTheSideBarItemAlternates)
{
    Shell s;
    s.shell.hideGrid();
    s.commands.post(command::triggerHelp);
    EXPECT_EQ(s.shell.gridHidden(), 0);
    // The document is built beside the resources; either it opens or the user hears why not.
    if (s.desktop.opened.isEmpty())
        EXPECT_EQ(s.alerts.messages(), QStringList{"The help document is missing."});
    else
        EXPECT_TRUE(s.desktop.opened.value(0).path().endsWith("/orvantaMac.pdf"));
    s.commands.post(command::openHelp);
    EXPECT_EQ(s.view.quickHelps, 1);

    runDelegateAction(QStringLiteral("hideShowSideBar:"), s.state, s.commands);
    EXPECT_EQ(s.state.hideSideBar, 1);
    EXPECT_FALSE(s.view.sideBarVisible);
    runDelegateAction(QStringLiteral("hideShowSideBar:"), s.state, s.commands);
    EXPECT_EQ(s.state.hideSideBar, 0);
    EXPECT_TRUE(s.view.sideBarVisible);
    s.state.hideGrd = 7; // anything but 1 counts as "not hidden"
    EXPECT_EQ(toggleMenuFlag(s.state.hideGrd), 1);
}

TEST(ShellController, FullScreenRoundTrip)
{
    Shell s;
    s.desktop.screenSize = QSizeF(1440, 870);
    s.view.size = QSizeF(1200, 740);
    LogCapture log;
    s.commands.post(command::fScreen);
    EXPECT_TRUE(log.has(QStringLiteral(" RESOLUTION= 1440.0x870.0")));
    EXPECT_EQ(s.view.fullScreen.webViewL.size(), QSizeF(1440, 900));
    EXPECT_EQ(s.posted.last(), command::toggleFullScreen);

    s.shell.willEnterFull();
    EXPECT_EQ(s.preferences.value(QStringLiteral("fullStarted")), QStringLiteral("YES"));
    EXPECT_EQ(s.shell.gridHidden(), 1);

    // Every resize while in full screen runs the fill pass, which ends in the layout pass.
    s.view.size = QSizeF(1440, 840);
    windowResized({1440, 900}, s.context);
    EXPECT_EQ(s.state.winWidth, 1440);
    EXPECT_TRUE(log.has(QStringLiteral("RESIZE TO FILL CALLED CALLED CALLED CALLED")));
    EXPECT_EQ(s.shell.gridHidden(), 0);
    EXPECT_EQ(s.view.layouts.last().webView.width(), 829);

    s.shell.didExitFull();
    EXPECT_EQ(s.preferences.value(QStringLiteral("fullStarted")), QStringLiteral("NO"));
    log.lines.clear();
    windowResized({1200, 800}, s.context);
    EXPECT_FALSE(log.has(QStringLiteral("RESIZE TO FILL CALLED CALLED CALLED CALLED")));
    EXPECT_TRUE(log.has(QStringLiteral("RESIZE CALLED CALLED CALLED CALLED")));
}

TEST(ShellController, AboutAndHowTo)
{
    Shell s;
    s.commands.post(command::about);
    s.shell.showInfo();
    EXPECT_EQ(s.alerts.messages(), (QStringList{"Plotwell", "Creating an Org Chart"}));
    EXPECT_EQ(s.alerts.shown.value(0).informativeText, QStringLiteral("Version 1.0"));
}

TEST(ViewerLoader, ExportViewerIsSizedFromTheNewChartOnceItHasLoaded)
{
    Shell s;
    s.desktop.screenSize = QSizeF(1440, 870);
    QList<QSizeF> sized;
    QObject::connect(&s.loader, &ViewerLoader::exportViewerSized,
                     [&](QSizeF size) { sized << size; });
    const QString widthScript = QStringLiteral("document.documentElement.scrollWidth");
    const QString heightScript = QStringLiteral("document.documentElement.scrollHeight");
    // The page shown before the render is a different size.
    s.webView.scriptAnswers.insert(widthScript, QStringLiteral("300"));
    s.webView.scriptAnswers.insert(heightScript, QStringLiteral("200"));

    // Which viewer gets which box; the requests' exact text is the render part's test.
    s.loader.loadWebView(QStringLiteral("A"));
    ASSERT_EQ(s.webView.loads.size(), 1);
    EXPECT_FALSE(s.webView.loads[0].contains(QStringLiteral("screenWidth")));
    ASSERT_EQ(s.webViewL.loads.size(), 1);
    EXPECT_TRUE(s.webViewL.loads[0].contains(
        QStringLiteral("&screenWidth=1440.000000&screenHeight=870.000000&")));
    // Nothing is measured before the new chart is there.
    EXPECT_TRUE(s.webViewM.loads.isEmpty());
    EXPECT_TRUE(s.webView.scripts.isEmpty());
    EXPECT_TRUE(s.loader.exportPending());

    // The chart of this render answers with its own size.
    s.webView.scriptAnswers[widthScript] = QStringLiteral("1234");
    s.webView.scriptAnswers[heightScript] = QStringLiteral("567.5");
    s.webView.finishLoad();
    EXPECT_EQ(s.webView.scripts, (QStringList{widthScript, heightScript}));
    ASSERT_EQ(s.webViewM.loads.size(), 1);
    EXPECT_TRUE(s.webViewM.loads[0].contains(QStringLiteral("data=A&ctype=")));
    EXPECT_TRUE(s.webViewM.loads[0].contains(
        QStringLiteral("&screenWidth=1234.000000&screenHeight=567.500000&")));
    EXPECT_EQ(sized, QList<QSizeF>{QSizeF(1254, 587.5)});
    EXPECT_FALSE(s.loader.exportPending());

    // A later finished load (undo, placeholder) does not reload the export viewer.
    s.webView.finishLoad();
    EXPECT_EQ(s.webViewM.loads.size(), 1);
}

TEST(ViewerLoader, ALargeOrganisationReachesThePageByScriptNotByItsAddress)
{
    Shell s;
    // Some 2 MB of data: more than Chromium takes in an address.
    const QString data = QString(QStringLiteral("Ann+Lee\"s_1_u_ffffff_2*")).repeated(90000);
    s.loader.loadWebViewByScript(data);
    ASSERT_EQ(s.webView.loads.size(), 1);
    EXPECT_LT(s.webView.loads[0].size(), 2000);
    EXPECT_TRUE(s.webView.loads[0].contains(QStringLiteral("&pending=1")));
    EXPECT_TRUE(s.webView.scripts.isEmpty());
    // Neither viewer of the grid's chart is touched, nor measured.
    EXPECT_TRUE(s.webViewM.loads.isEmpty());
    EXPECT_TRUE(s.webViewL.loads.isEmpty());

    s.webView.finishLoad();
    ASSERT_EQ(s.webView.scripts.size(), 1);
    // The data as the address would have carried it: the page decodes it the same way.
    EXPECT_TRUE(s.webView.scripts[0].contains(QStringLiteral("Ann+Lee%22s_1_u_ffffff_2*")));
    EXPECT_TRUE(s.webView.scripts[0].contains(QStringLiteral("Orgchart.renderPage(")));
    EXPECT_TRUE(s.webViewM.loads.isEmpty());
    // Only once: a later load of the page (a step back in its history) is not given it again.
    s.webView.finishLoad();
    EXPECT_EQ(s.webView.scripts.size(), 1);

    // A grid render afterwards goes by its address as ever.
    s.loader.loadWebView(QStringLiteral("A"));
    s.webView.finishLoad();
    EXPECT_TRUE(s.webView.loads.last().contains(QStringLiteral("data=A&ctype=")));
    EXPECT_EQ(s.webViewM.loads.size(), 1);
}

TEST(ViewerLoader, UndoAndRedoFollowTheVisibleViewersHistory)
{
    Shell s;
    // An empty history disables both and changes nothing.
    s.commands.post(command::undoAction);
    s.commands.post(command::redoAction);
    EXPECT_EQ(s.posted, (QStringList{command::disableUndo, command::disableRedo}));

    s.posted.clear();
    s.loader.loadWebView(QStringLiteral("A"));
    s.webView.finishLoad();
    EXPECT_EQ(s.posted, (QStringList{command::disableRedo, command::disableUndo}));
    s.loader.loadWebView(QStringLiteral("B"));
    s.posted.clear();
    s.webView.finishLoad();
    EXPECT_EQ(s.posted, (QStringList{command::disableRedo, command::enableUndo}));

    s.posted.clear();
    s.commands.post(command::undoAction);
    s.webView.finishLoad();
    EXPECT_TRUE(s.webView.currentUrl().toString().contains("data=A"));
    EXPECT_EQ(s.posted,
              (QStringList{command::enableUndo, command::enableRedo, command::disableUndo}));

    s.posted.clear();
    s.commands.post(command::redoAction);
    s.webView.finishLoad();
    EXPECT_TRUE(s.webView.currentUrl().toString().contains("data=B"));
    EXPECT_EQ(s.posted,
              (QStringList{command::enableRedo, command::disableRedo, command::enableUndo}));
}

TEST(ProgressMonitor, PublishesThePercentageAndHidesTheViewWhenDone)
{
    AppState state;
    ProgressMonitor progress(state);
    QStringList labels;
    int hidden = 0;
    QObject::connect(&progress, &ProgressMonitor::activity,
                     [&](int, const QString &label) { labels << label; });
    QObject::connect(&progress, &ProgressMonitor::progressViewHidden, [&] { ++hidden; });
    progress.currentBarValue = 42;
    progress.showActivity();
    EXPECT_EQ(state.barValue, 42);
    progress.currentBarValue = -3;
    progress.showActivity();
    EXPECT_EQ(state.barValue, 0);
    EXPECT_EQ(labels,
              (QStringList{QStringLiteral("42\uFF05 done"), QStringLiteral("0\uFF05 done")}));

    progress.showWorking(5);
    progress.checkProgressView();
    EXPECT_EQ(hidden, 0);
    progress.isProgressDone = true;
    progress.checkProgressView();
    EXPECT_EQ(hidden, 1);
}

TEST(DownloadHelp, CancelWritesItsLineAndAMissingDocumentIsReported)
{
    Shell s;
    LogCapture log;
    s.panels.savePaths.push_back(std::nullopt);
    downloadHelp(s.context);
    EXPECT_TRUE(log.has(QStringLiteral("Did not save")));
    ASSERT_EQ(s.panels.savePanels.size(), 1);
    EXPECT_EQ(s.panels.savePanels[0].proposedName, QStringLiteral("orvantaMac"));
    EXPECT_EQ(s.panels.savePanels[0].allowedTypes, QStringList{"pdf"});

    qputenv("PLOTWELL_RESOURCE_DIR", "/nonexistent-plotwell-resources");
    const QString target = QDir::temp().filePath(QStringLiteral("plotwell-help-test.pdf"));
    QFile::remove(target);
    s.panels.savePaths.push_back(target);
    downloadHelp(s.context);
    qunsetenv("PLOTWELL_RESOURCE_DIR");
    EXPECT_TRUE(log.has(QStringLiteral("FILENAME= plotwell-help-test.pdf")));
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(s.alerts.messages(), QStringList{"The help document could not be saved."});
}
