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
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSet>
#include <QTest>

using namespace plotwell;
using namespace plotwell::testing;

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
    void quitAsksFirst();
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
             QStringLiteral("Optima"));
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
    QVERIFY(!w.action("undoEdit:")->isEnabled());
    QCOMPARE(w.action("redoEdit:")->shortcuts().size(), 2);
    w.view().workspace().editor().setTitle(1, QStringLiteral("Ann(CEO)"));
    QVERIFY(w.action("undoEdit:")->isEnabled());
    w.action("undoEdit:")->trigger();
    QVERIFY(w.view().grid().title(1).isEmpty());
    QVERIFY(!w.action("undoEdit:")->isEnabled());
    QVERIFY(w.action("redoEdit:")->isEnabled());
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
    // What each handler leaves behind.
    QMap<QString, std::function<bool(Window &, LogCapture &)>> reached = {
        {command::triggerHelp,
         [](Window &w, LogCapture &) { return w.view().optionsPopover().isVisible(); }},
        {command::showHideSideBar,
         [](Window &w, LogCapture &) { return w.view().sideBar()->isHidden(); }},
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
        {command::undoEdit,
         [](Window &, LogCapture &log) { return log.has(QStringLiteral("UNDO EDIT ")); }},
        {command::redoEdit,
         [](Window &, LogCapture &log) { return log.has(QStringLiteral("REDO EDIT ")); }},
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
    QVERIFY(viewer.endsWith(
        QStringLiteral("&font=Optima&fsize=14&nsize=0&rsize=3&mcstate=1&margin=5")));

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
    QCOMPARE(w.view().gridView().row(2).parent->text(), QStringLiteral("1"));
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
    QCOMPARE(w.view().width(), 1200);
    QCOMPARE(webView->geometry().x(), 385);
    QCOMPARE(webView->geometry().width(), 800);
    QCOMPARE(w.view().scrollView()->geometry().x(), 12);
    QCOMPARE(w.view().scrollView()->geometry().width(), 365);
    QCOMPARE(w.view().shell().htmlWidth(), 785);
    QVERIFY(!w.view().chartTitleView()->isHidden());

    w.view().hideButton()->click();
    QCOMPARE(webView->geometry().x(), 12);
    QCOMPARE(webView->geometry().width(), 1178);
    QCOMPARE(w.view().shell().htmlWidth(), 1165);
    QVERIFY(w.view().chartTitleView()->isHidden());
    QVERIFY(w.view().scrollView()->isHidden());
    QCOMPARE(w.view().hideButton()->text(), QStringLiteral("Show Grid"));
    QCOMPARE(w.action("hideShowGrid:")->text(), QStringLiteral("Show Grid"));
    // The placeholder already on screen is resized, not loaded again.
    QVERIFY(w.webView->scripts.last().contains(QStringLiteral("width='1178.0px'")));

    w.view().hideButton()->click();
    QCOMPARE(webView->geometry().width(), 800);
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

void AppWindowTest::quitAsksFirst()
{
    Window w;
    w.delegate->show();
    w.alerts.answers = {kFirstButton + 1}; // "Cancel"
    w.action("QuitApp:")->trigger();
    QVERIFY(w.delegate->isVisible());
    QCOMPARE(w.alerts.shown.last().message,
             QStringLiteral("This action will Quit the App and any unsaved changes will be lost."));
    QCOMPARE(w.alerts.shown.last().buttons, (QStringList{"Yes", "Cancel"}));
    w.alerts.answers = {kFirstButton};
    QVERIFY(w.delegate->close());
    QVERIFY(!w.delegate->isVisible());
}

void AppWindowTest::overlayScrollBarsKeepTheFlagsGiven()
{
    QCOMPARE(withOverlayScrollBars(""), QByteArray("--enable-features=OverlayScrollbar"));
    QCOMPARE(withOverlayScrollBars(" --no-sandbox  --disable-gpu"),
             QByteArray("--no-sandbox --disable-gpu --enable-features=OverlayScrollbar"));
    // One --enable-features switch: Chromium would keep only the last of two.
    QCOMPARE(withOverlayScrollBars("--enable-features=A,B --x"),
             QByteArray("--enable-features=A,B,OverlayScrollbar --x"));
    QCOMPARE(withOverlayScrollBars("--enable-features=OverlayScrollbar"),
             QByteArray("--enable-features=OverlayScrollbar"));
}

QTEST_MAIN(AppWindowTest)
#include "app_window_test.moc"
