// The window offscreen, with scripted ports and fake viewers: launch, commands, render,
// history, geometry and the appearance gate.
#include "Fakes.h"
#include "LogCapture.h"
#include "TestWindow.h"
#include "base/Commands.h"
#include "commands/RequestCommand.h"
#include "render/PageRequest.h"
#include "ui/AppDelegate.h"
#include "ui/GridView.h"
#include "ui/Style.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace plotwell;
using namespace plotwell::testing;

/// Takes the file addresses the window hands to the desktop, so no viewer starts.
class OpenedFiles : public QObject
{
    Q_OBJECT
public:
    OpenedFiles() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedFiles() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl &url) { urls << url; }
};

class AppWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void launchRunsInOrderWithItsStartValues();
    void everyMenuCommandReachesItsHandler();
    void renderOfSampleOneLoadsTheThreeRequests();
    void undoAndRedoFollowTheHistory();
    void geometryOfA1200By800Window();
    void appearanceGateAtProgress_data();
    void appearanceGateAtProgress();
    void quitOffersSaveDontSaveAndCancel();
    void saveAsNamesTheWindowAndHasItsShortcut();
    void overlayScrollBarsKeepTheFlagsGiven();
};

void AppWindowTest::launchRunsInOrderWithItsStartValues()
{
    LogCapture log;
    Window w;
    const QStringList expectedOrder = {
        QStringLiteral("window width = 1200.000000, window height = 800.000000"),
        QStringLiteral("TRIGGERING LOADVIEW LOADVIEW LOADVIEW"),
        QStringLiteral("RESIZE CALLED CALLED CALLED CALLED"),
        QStringLiteral("Resizing.."),
        QStringLiteral("CALLIING WINDOW RESIZED CALLING WINDOW RESIZED "),
    };
    qsizetype at = 0;
    for (const QString &line : expectedOrder) {
        at = log.find(line, at);
        QVERIFY2(at >= 0, qPrintable(line));
    }
    const AppState &state = w.delegate->state();
    QVERIFY(state.appearance == ChartAppearance());
    QCOMPARE(state.barValue, 0);
    QCOMPARE(state.hideSideBar, 0);
    QCOMPARE(w.delegate->windowTitle(), QStringLiteral("Untitled"));
    QCOMPARE(w.preferences.value(QStringLiteral("openedFilename")),
             std::optional<QString>(QString()));
    QCOMPARE(w.view().ctype(), QStringLiteral("3dcol"));
    QCOMPARE(w.view().shell().gridHidden(), 0);
    // The combo boxes show the start values.
    AppearancePanel &appearance = w.view().appearance();
    QCOMPARE(appearance.combo(AppearancePanel::Setting::FontFamily)->currentText(),
             QStringLiteral("Linux Biolinum O"));
    QCOMPARE(appearance.selectedValue(AppearancePanel::Setting::FontSize), QStringLiteral("14"));
    QCOMPARE(appearance.selectedValue(AppearancePanel::Setting::NodeSize), QStringLiteral("0"));
    QCOMPARE(appearance.selectedValue(AppearancePanel::Setting::NodeRadius), QStringLiteral("3"));
    QCOMPARE(appearance.selectedValue(AppearancePanel::Setting::MultiColour), QStringLiteral("1"));
    // Titles and parents are read-only; each swatch shows its field's colour.
    const GridRowWidgets &row5 = w.view().gridView().row(5);
    QVERIFY(row5.title->isReadOnly());
    QVERIFY(row5.parent->isReadOnly());
    QVERIFY(!row5.position->isReadOnly());
    QCOMPARE(row5.swatch->colour().name(QColor::HexRgb).toUpper(), row5.hex->text().toUpper());
    // The placeholder is shown, and nothing to undo yet.
    QVERIFY(w.webView->currentPage().contains(QStringLiteral("Click Open to load your CSV file")));
    QVERIFY(!w.action("undoAction:")->isEnabled());
    QVERIFY(!w.action("redoAction:")->isEnabled());
    // The view controller's observers are registered in the table's order.
    QStringList expected;
    for (const ObservedCommand &entry : viewControllerCommands()) {
        if (w.delegate->commands().isObserved(entry.command) && !expected.contains(entry.command))
            expected << entry.command;
    }
    QStringList observed = w.delegate->commands().observedCommands();
    observed.removeIf([&](const QString &c) { return !expected.contains(c); });
    QCOMPARE(observed, expected);
}

void AppWindowTest::everyMenuCommandReachesItsHandler()
{
    OpenedFiles opened;
    // What each handler leaves behind.
    QMap<QString, std::function<bool(Window &, LogCapture &)>> reached = {
        {command::triggerHelp,
         [&opened](Window &w, LogCapture &) {
             // The help document, or the word that it is missing from this build.
             return w.alerts.messages() == QStringList{"The help document is missing."} ||
                    opened.urls.size() == 1;
         }},
        {command::showHideSideBar,
         [](Window &w, LogCapture &) { return !w.view().sideTabs()->isTabVisible(1); }},
        {command::showHideGrid,
         [](Window &, LogCapture &log) {
             return log.has(QStringLiteral("HIDE GRID CALLED CALLED CALLED CALLED"));
         }},
        {command::about,
         [](Window &w, LogCapture &) { return w.alerts.messages() == QStringList{"Plotwell"}; }},
        {command::fScreen,
         [](Window &, LogCapture &log) {
             return log.has(QStringLiteral("Put Window Fullscreen"));
         }},
        {command::undoAction,
         [](Window &, LogCapture &log) { return log.has(QStringLiteral(" CAN GO BACK 0")); }},
        {command::redoAction,
         [](Window &, LogCapture &log) { return log.has(QStringLiteral(" CAN GO FOWARD 0")); }},
        {command::newDocument,
         [](Window &w, LogCapture &) {
             return w.alerts.messages() ==
                    QStringList{"This action will clear data from all cells & reset all colors."};
         }},
        {command::openExistingDocument,
         [](Window &w, LogCapture &) { return w.panels.openPanelCount == 1; }},
        {command::saveDocument,
         [](Window &w, LogCapture &) { return w.panels.savePanels.size() == 1; }},
    };
    // The export and share commands: the fake viewers give no pictures, which is reported;
    // the exports first ask where to save, the large ones first enter full screen.
    const auto alerted = [](const char *message) {
        return [message](Window &w, LogCapture &) {
            return w.alerts.messages().contains(QLatin1String(message));
        };
    };
    const auto panelShown = [](Window &w, LogCapture &) { return w.panels.savePanels.size() == 1; };
    const auto fullScreen = [](Window &, LogCapture &log) {
        return log.has(QStringLiteral("Put Window Fullscreen"));
    };
    // The chart moves go to the page on screen, whatever it is.
    const auto scripted = [](const char *call) {
        return [call](Window &w, LogCapture &) {
            return !w.webView->scripts.isEmpty() &&
                   w.webView->scripts.last().contains(QLatin1String(call));
        };
    };
    reached.insert(command::findInChart, scripted("v.openSearch()"));
    reached.insert(command::zoomChartIn, scripted("v.zoomTo(v.zoom() * 1.25)"));
    reached.insert(command::zoomChartOut, scripted("v.zoomTo(v.zoom() / 1.25)"));
    reached.insert(command::fitChart, scripted("v.fit()"));
    reached.insert(command::copyDocument, alerted("The chart could not be exported."));
    reached.insert(command::PNGSharing, alerted("The chart could not be shared."));
    reached.insert(command::PDFSharing, alerted("The chart could not be shared."));
    reached.insert(command::downloadWOptions, alerted("Select an Option"));
    reached.insert(command::emailDocument, alerted("Select an Option"));
    for (const QString &small :
         {command::downloadSmallPNGDocument, command::downloadSmallPDFDocument,
          command::PNGDownload, command::PDFDownload})
        reached.insert(small, panelShown);
    for (const QString &large : {command::downloadPNGDocument, command::downloadPDFDocument})
        reached.insert(large, fullScreen);
    // The conversions: a fresh window has no column names to convert.
    for (const QString &conversion :
         {command::genSQL, command::genJSON, command::printDocument, command::genHTMLdownload})
        reached.insert(conversion, alerted("Invalid or Incorrectly formatted CSV file"));
    QSet<QString> checked;
    for (const DelegateAction &entry : delegateActions()) {
        Window fresh;
        QAction *item = fresh.delegate->action(entry.action);
        // A menu item exists exactly when its command has a handler: no dead items.
        QCOMPARE(item != nullptr, fresh.delegate->commands().isObserved(entry.command));
        if (!item)
            continue;
        QVERIFY2(reached.contains(entry.command), qPrintable(entry.command));
        item->setEnabled(true);
        LogCapture log;
        item->trigger();
        QVERIFY2(reached[entry.command](fresh, log), qPrintable(entry.action));
        fresh.view().optionsPopover().hide();
        checked << entry.command;
    }
    QCOMPARE(checked.size(), reached.size());
    for (const QUrl &url : opened.urls)
        QVERIFY(url.path().endsWith(QLatin1String("/orvantaMac.pdf")));
}

void AppWindowTest::renderOfSampleOneLoadsTheThreeRequests()
{
    Window w;
    w.alerts.answers = {kFirstButton}; // "Sample 1"
    w.view().findChild<QPushButton *>(QStringLiteral("sampleButton"))->click();
    QCOMPARE(w.view().grid().title(1), QStringLiteral("Niall Brent(CEO)"));
    w.webView->scriptAnswers.insert(kScrollWidthScript, QStringLiteral("640"));
    w.webView->scriptAnswers.insert(kScrollHeightScript, QStringLiteral("480"));
    const qsizetype before = w.webView->loads.size();

    w.view().renderButton()->click();
    QCOMPARE(w.webView->loads.size(), before + 1);
    const QString viewer = w.webView->loads.last();
    QCOMPARE(viewer, requestUrl(sampleViewerRequest(1)).toString(QUrl::FullyEncoded));
    QVERIFY(viewer.startsWith(
        QUrl::fromLocalFile(chartPageAddress().section('?', 0, 0)).toString(QUrl::FullyEncoded)));
    QVERIFY(viewer.contains(QStringLiteral("orgchart.html?data=Niall+Brent(CEO)__NOT+NULL_")));
    QVERIFY(viewer.contains(QStringLiteral("*Tobin+Marsh(Public+Relations)_1_u_")));
    QVERIFY(viewer.contains(QStringLiteral("&ctype=3dcol&")));
    QVERIFY2(viewer.endsWith(QStringLiteral(
                 "&font=Linux%20Biolinum%20O&fsize=14&nsize=0&rsize=3&mcstate=1&margin=5")),
             qPrintable(viewer.right(80)));

    const QSize screen = QGuiApplication::screens().last()->availableGeometry().size();
    QCOMPARE(w.webViewL->loads.size(), 1);
    const QString full = w.webViewL->loads.last();
    QVERIFY(full.contains(QStringLiteral("&screenWidth=%1.000000&screenHeight=%2.000000&")
                              .arg(screen.width())
                              .arg(screen.height())));
    QVERIFY(full.endsWith(QStringLiteral("&margin=50")));
    QVERIFY(w.webViewM->loads.isEmpty());

    w.webView->finishLoad();
    QCOMPARE(w.webViewM->loads.size(), 1);
    const QString exported = w.webViewM->loads.last();
    QCOMPARE(exported.section(QStringLiteral("&screenWidth="), 0, 0),
             full.section(QStringLiteral("&screenWidth="), 0, 0));
    QVERIFY(exported.contains(QStringLiteral("&screenWidth=640.000000&screenHeight=480.000000&")));
    QVERIFY(exported.endsWith(QStringLiteral("&margin=5")));
    QCOMPARE(w.view().viewers().webViewMWidget->size(), QSize(660, 500));
    QVERIFY(w.view().viewers().webViewMWidget->testAttribute(Qt::WA_DontShowOnScreen));
    // The render stripped the parents in the grid itself.
    QCOMPARE(w.view().grid().parent(2), QStringLiteral("1"));
}

void AppWindowTest::undoAndRedoFollowTheHistory()
{
    Window w;
    w.alerts.answers = {kFirstButton};
    w.view().liveSample();
    QAction *undo = w.action("undoAction:");
    QAction *redo = w.action("redoAction:");
    w.view().submitData();
    w.webView->finishLoad();
    QVERIFY(undo->isEnabled()); // the placeholder is behind the chart
    QVERIFY(!redo->isEnabled());
    undo->trigger();
    w.webView->finishLoad();
    QVERIFY(redo->isEnabled());
    redo->trigger();
    w.webView->finishLoad();
    QVERIFY(!redo->isEnabled());
    QVERIFY(undo->isEnabled());
    QVERIFY(w.webView->currentUrl().toString().contains(QStringLiteral("Niall")));
}

void AppWindowTest::geometryOfA1200By800Window()
{
    Window w({1200, 800});
    w.delegate->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.delegate.get()));
    QCOMPARE(w.delegate->size(), QSize(1200, 800));
    QWidget *webView = w.view().viewers().webViewWidget;
    const auto left = [&](QWidget *widget) { return widget->mapTo(&w.view(), QPoint()).x(); };
    QCOMPARE(w.view().width(), 1200);
    // The sidebar takes 40 % of the window until the user drags the splitter.
    QCOMPARE(left(webView), 500);
    QCOMPARE(webView->width(), 685);
    QCOMPARE(left(w.view().scrollView()), 12);
    QCOMPARE(w.view().scrollView()->width(), 480);
    QCOMPARE(w.view().shell().htmlWidth(), 670);
    QVERIFY(!w.view().chartTitleView()->isHidden());

    w.view().hideButton()->click();
    QCOMPARE(left(webView), 12);
    QCOMPARE(webView->width(), 1178);
    QCOMPARE(w.view().shell().htmlWidth(), 1165);
    QVERIFY(w.view().chartTitleView()->isHidden());
    QVERIFY(!w.view().scrollView()->isVisible());
    QCOMPARE(w.view().hideButton()->text(), QStringLiteral("Show Grid"));
    QCOMPARE(w.action("hideShowGrid:")->text(), QStringLiteral("Show Grid"));
    // The placeholder already on screen is resized, not loaded again.
    QVERIFY(w.webView->scripts.last().contains(QStringLiteral("width='1178.0px'")));

    w.view().hideButton()->click();
    QCOMPARE(webView->width(), 685);
    QCOMPARE(w.action("hideShowGrid:")->text(), QStringLiteral("Hide Grid"));
}

void AppWindowTest::appearanceGateAtProgress_data()
{
    QTest::addColumn<int>("progress");
    QTest::addColumn<bool>("refreshes");
    QTest::newRow("0") << 0 << true;
    QTest::newRow("50") << 50 << false;
    QTest::newRow("95") << 95 << true;
}

void AppWindowTest::appearanceGateAtProgress()
{
    QFETCH(int, progress);
    QFETCH(bool, refreshes);
    Window w;
    int reopens = 0;
    w.delegate->commands().observe(command::openRecentDocument,
                                   [&](const QVariant &) { ++reopens; });
    w.view().progress().currentBarValue = progress;
    w.view().progress().showActivity();
    QCOMPARE(w.delegate->state().barValue, progress);

    QComboBox *size = w.view().appearance().combo(AppearancePanel::Setting::FontSize);
    const int index = size->findText(QStringLiteral("20"));
    size->setCurrentIndex(index);
    Q_EMIT size->activated(index);
    QCOMPARE(w.delegate->state().appearance.fontSize, 20);

    QComboBox *multi = w.view().appearance().combo(AppearancePanel::Setting::MultiColour);
    multi->setCurrentIndex(0);
    Q_EMIT multi->activated(0);
    QCOMPARE(w.delegate->state().appearance.colourMode, 0);
    QVERIFY(!w.view().gridView().row(1).hex->isEnabled());

    QCOMPARE(reopens, refreshes ? 2 : 0);
}

void AppWindowTest::quitOffersSaveDontSaveAndCancel()
{
    const QTemporaryDir dir;
    const struct
    {
        int answer;
        std::optional<QString> savePath; // the panel's answer when Save asks for a place
        bool closes;
        QString title; // the window's title afterwards
    } cases[] = {
        {kFirstButton + 2, {}, false, QStringLiteral("Untitled")},       // Cancel
        {kFirstButton + 1, {}, true, QStringLiteral("Untitled")},        // Don't Save
        {kFirstButton, std::nullopt, false, QStringLiteral("Untitled")}, // Save, panel cancelled
        {kFirstButton, dir.filePath("Board chart"), true, QStringLiteral("Board chart")},
    };
    for (const auto &c : cases) {
        Window w;
        w.delegate->show();
        w.alerts.answers = {c.answer};
        w.panels.savePaths = {c.savePath};
        w.action("QuitApp:")->trigger();
        QCOMPARE(w.alerts.shown.last().buttons, (QStringList{"Save", "Don't Save", "Cancel"}));
        QCOMPARE(w.delegate->isVisible(), !c.closes);
        QCOMPARE(w.delegate->windowTitle(), c.title);
        if (c.savePath)
            QVERIFY(QFileInfo::exists(*c.savePath + ".csv"));
    }
}

void AppWindowTest::saveAsNamesTheWindowAndHasItsShortcut()
{
    const QTemporaryDir dir;
    Window w;
    QCOMPARE(w.action("saveAsFile:")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    QCOMPARE(w.action("onlineHelp:")->shortcut(), QKeySequence(Qt::Key_F1));
    w.panels.savePaths = {dir.filePath("Team plan.csv")};
    w.action("saveAsFile:")->trigger();
    QCOMPARE(w.delegate->windowTitle(), QStringLiteral("Team plan"));
}

void AppWindowTest::overlayScrollBarsKeepTheFlagsGiven()
{
    QCOMPARE(withOverlayScrollBars(""), QByteArray("--enable-features=OverlayScrollbar"));
    QCOMPARE(withOverlayScrollBars(" --no-sandbox  --disable-gpu"),
             QByteArray("--no-sandbox --disable-gpu --enable-features=OverlayScrollbar"));
    // One --enable-features switch: Chromium would keep only the last of two.
    QCOMPARE(withOverlayScrollBars("--enable-features=A,B --x"),
             QByteArray("--enable-features=A,B,OverlayScrollbar --x"));
    QCOMPARE(withQuietChromium(" --no-sandbox "), QByteArray("--no-sandbox --log-level=3"));
    QCOMPARE(withQuietChromium("--log-level=0"), QByteArray("--log-level=0"));
    QCOMPARE(withOverlayScrollBars("--enable-features=OverlayScrollbar"),
             QByteArray("--enable-features=OverlayScrollbar"));
}

QTEST_MAIN(AppWindowTest)
#include "app_window_test.moc"
