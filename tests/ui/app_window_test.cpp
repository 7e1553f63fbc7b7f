// The window offscreen, with scripted ports and fake viewers: what launch shows, the menus, the
// render, undo, geometry and the appearance combos. The rules behind them are the core tests'.
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
#include <QTest>

using namespace plotwell;
using namespace plotwell::testing;

class AppWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void launchShowsTheStartValues()
    {
        LogCapture log;
        Window w;
        qsizetype at = 0;
        for (const char *line :
             {"window width = 1200.000000, window height = 800.000000",
              "TRIGGERING LOADVIEW LOADVIEW LOADVIEW", "RESIZE CALLED CALLED CALLED CALLED",
              "Resizing..", "CALLIING WINDOW RESIZED CALLING WINDOW RESIZED "}) {
            at = log.find(QLatin1String(line), at);
            QVERIFY2(at >= 0, line);
        }
        AppearancePanel &appearance = w.view().appearance();
        QCOMPARE(appearance.combo(AppearancePanel::Setting::FontFamily)->currentText(), "Optima");
        const QStringList shown = {appearance.selectedValue(AppearancePanel::Setting::FontSize),
                                   appearance.selectedValue(AppearancePanel::Setting::NodeSize),
                                   appearance.selectedValue(AppearancePanel::Setting::NodeRadius),
                                   appearance.selectedValue(AppearancePanel::Setting::MultiColour)};
        QCOMPARE(shown, (QStringList{"14", "0", "3", "1"}));
        const GridRowWidgets &row5 = w.view().gridView().row(5);
        QVERIFY(row5.title->isReadOnly() && row5.parent->isReadOnly());
        QVERIFY(!row5.position->isReadOnly());
        QCOMPARE(row5.swatch->colour().name().toUpper(), row5.hex->text().toUpper());
        QVERIFY(w.webView->currentPage().contains("Click Open to load your CSV file"));
        QCOMPARE(w.delegate->windowTitle(), QStringLiteral("Untitled"));
        QCOMPARE(w.preferences.value(QStringLiteral("openedFilename")), std::optional(QString()));
        QVERIFY(!w.action("undoAction:")->isEnabled() && !w.action("redoAction:")->isEnabled());
        // The edit history: Undo follows the editor's stack, Redo has both desktop shortcuts.
        QVERIFY(!w.action("undoEdit:")->isEnabled());
        QCOMPARE(w.action("redoEdit:")->shortcuts().size(), 2);
        w.view().workspace().editor().setTitle(1, QStringLiteral("Ann(CEO)"));
        QVERIFY(w.action("undoEdit:")->isEnabled());
        w.action("undoEdit:")->trigger();
        QVERIFY(w.view().grid().title(1).isEmpty());
        QVERIFY(!w.action("undoEdit:")->isEnabled());
        QVERIFY(w.action("redoEdit:")->isEnabled());
    }

    void everyMenuItemReachesItsHandler()
    {
        // What each handler leaves behind; the fake viewers give no pictures, which is reported.
        using Check = std::function<bool(Window &, LogCapture &)>;
        const auto alerted = [](const char *message) -> Check {
            return [message](Window &w, LogCapture &) {
                return w.alerts.messages().contains(QLatin1String(message));
            };
        };
        const auto logged = [](const char *line) -> Check {
            return [line](Window &, LogCapture &log) { return log.has(QLatin1String(line)); };
        };
        const Check panelShown = [](Window &w, LogCapture &) {
            return w.panels.savePanels.size() == 1;
        };
        QMap<QString, Check> reached = {
            {command::triggerHelp,
             [](Window &w, LogCapture &) { return w.view().optionsPopover().isVisible(); }},
            {command::showHideSideBar,
             [](Window &w, LogCapture &) { return w.view().sideBar()->isHidden(); }},
            {command::showHideGrid, logged("HIDE GRID CALLED CALLED CALLED CALLED")},
            {command::about, alerted("Plotwell")},
            {command::fScreen, logged("Put Window Fullscreen")},
            {command::undoAction, logged(" CAN GO BACK 0")},
            {command::redoAction, logged(" CAN GO FOWARD 0")},
            {command::undoEdit, logged("UNDO EDIT ")},
            {command::redoEdit, logged("REDO EDIT ")},
            {command::newDocument,
             alerted("This action will clear data from all cells & reset all colors.")},
            {command::openExistingDocument,
             [](Window &w, LogCapture &) { return w.panels.openPanelCount == 1; }},
            {command::saveDocument, panelShown},
            {command::copyDocument, alerted("Render the chart first.")},
            {command::PNGSharing, alerted("Render the chart first.")},
            {command::PDFSharing, alerted("Render the chart first.")},
            {command::downloadWOptions, alerted("Select an Option")},
            {command::emailDocument, alerted("Select an Option")},
            {command::downloadPNGDocument, logged("Put Window Fullscreen")},
            {command::downloadPDFDocument, logged("Put Window Fullscreen")}};
        for (const QString &small :
             {command::downloadSmallPNGDocument, command::downloadSmallPDFDocument,
              command::PNGDownload, command::PDFDownload})
            reached.insert(small, alerted("Render the chart first."));
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

    void renderOfSampleOneReachesTheThreeViewersAndUndoFollows()
    {
        Window w;
        w.alerts.answers = {kFirstButton}; // "Sample 1"
        w.view().findChild<QPushButton *>(QStringLiteral("sampleButton"))->click();
        w.webView->scriptAnswers.insert(kScrollWidthScript, QStringLiteral("640"));
        w.webView->scriptAnswers.insert(kScrollHeightScript, QStringLiteral("480"));
        w.view().renderButton()->click();
        QCOMPARE(w.webView->loads.last(),
                 requestUrl(sampleViewerRequest(1)).toString(QUrl::FullyEncoded));
        const QSize screen = QGuiApplication::screens().last()->availableGeometry().size();
        QCOMPARE(w.webViewL->loads.size(), 1);
        QVERIFY(w.webViewL->loads.last().contains(
            QStringLiteral("&screenWidth=%1.000000&screenHeight=%2.000000&")
                .arg(screen.width())
                .arg(screen.height())));
        QVERIFY(w.webViewM->loads.isEmpty());
        w.webView->finishLoad();
        QCOMPARE(w.webViewM->loads.size(), 1);
        QCOMPARE(w.view().viewers().webViewMWidget->size(), QSize(660, 500));
        QVERIFY(w.view().viewers().webViewMWidget->testAttribute(Qt::WA_DontShowOnScreen));
        // The render stripped the parents in the grid itself.
        QCOMPARE(w.view().gridView().row(2).parent->text(), QStringLiteral("1"));

        // The placeholder is behind the chart: the menu items follow the history.
        QAction *undo = w.action("undoAction:");
        QAction *redo = w.action("redoAction:");
        QVERIFY(undo->isEnabled() && !redo->isEnabled());
        undo->trigger();
        w.webView->finishLoad();
        QVERIFY(redo->isEnabled() && !undo->isEnabled());
    }

    void gridToggleMovesTheViewsAndRenamesTheButton()
    {
        Window w({1200, 800});
        w.delegate->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.delegate.get()));
        QWidget *webView = w.view().viewers().webViewWidget;
        QCOMPARE(webView->geometry(), QRect(385, webView->y(), 800, webView->height()));
        QCOMPARE(w.view().scrollView()->geometry().x(), 12);
        QCOMPARE(w.view().scrollView()->geometry().width(), 365);

        w.view().hideButton()->click();
        QCOMPARE(webView->geometry().x(), 12);
        QCOMPARE(webView->geometry().width(), 1178);
        QVERIFY(w.view().chartTitleView()->isHidden() && w.view().scrollView()->isHidden());
        QCOMPARE(w.view().hideButton()->text(), QStringLiteral("Show Grid"));
        QCOMPARE(w.action("hideShowGrid:")->text(), QStringLiteral("Show Grid"));

        w.view().hideButton()->click();
        QCOMPARE(webView->geometry().width(), 800);
        QCOMPARE(w.view().hideButton()->text(), QStringLiteral("Hide Grid"));
        QCOMPARE(w.action("hideShowGrid:")->text(), QStringLiteral("Hide Grid"));
    }

    void appearanceCombosStoreAndRefreshOutsideAConversion_data()
    {
        QTest::addColumn<int>("progress");
        QTest::newRow("idle") << 0;
        QTest::newRow("converting") << 50;
    }

    void appearanceCombosStoreAndRefreshOutsideAConversion()
    {
        QFETCH(int, progress);
        Window w;
        int reopens = 0;
        w.delegate->commands().observe(command::openRecentDocument,
                                       [&](const QVariant &) { ++reopens; });
        w.view().progress().currentBarValue = progress;
        w.view().progress().showActivity();

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
        QCOMPARE(reopens, progress == 0 ? 2 : 0);
    }

    void quitAsksFirst()
    {
        Window w;
        w.delegate->show();
        w.alerts.answers = {kFirstButton + 1}; // "Cancel"
        w.action("QuitApp:")->trigger();
        QVERIFY(w.delegate->isVisible());
        QCOMPARE(w.alerts.shown.last().message,
                 "This action will Quit the App and any unsaved changes will be lost.");
        QCOMPARE(w.alerts.shown.last().buttons, (QStringList{"Yes", "Cancel"}));
        w.alerts.answers = {kFirstButton};
        QVERIFY(w.delegate->close());
    }

    void overlayScrollBarsKeepTheFlagsGiven()
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
};

QTEST_MAIN(AppWindowTest)
#include "app_window_test.moc"
