// The window offscreen, with scripted ports and fake viewers: what launch shows, the menus, the
// render, undo, geometry and the appearance combos. The rules behind them are the core tests'.
#include "Fakes.h"
#include "LogCapture.h"
#include "TestWindow.h"
#include "base/Commands.h"
#include "commands/RequestCommand.h"
#include "model/ChartEditor.h"
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
        QCOMPARE(appearance.combo(AppearancePanel::Setting::FontFamily)->currentText(),
                 "Linux Biolinum O");
        const QStringList shown = {appearance.selectedValue(AppearancePanel::Setting::FontSize),
                                   appearance.selectedValue(AppearancePanel::Setting::NodeSize),
                                   appearance.selectedValue(AppearancePanel::Setting::NodeRadius),
                                   appearance.selectedValue(AppearancePanel::Setting::MultiColour)};
        QCOMPARE(shown, (QStringList{"14", "0", "3", "1"}));
        const GridRowWidgets &row5 = w.view().gridView().row(5);
        QVERIFY(!row5.title->isReadOnly() && row5.parent->isReadOnly());
        QVERIFY(row5.position->isEnabled());
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
        // The chart moves go to the page on screen, whatever it is.
        const auto scripted = [](const char *call) -> Check {
            return [call](Window &w, LogCapture &) {
                return !w.webView->scripts.isEmpty() &&
                       w.webView->scripts.last().contains(QLatin1String(call));
            };
        };
        OpenedFiles opened;
        QMap<QString, Check> reached = {
            {command::triggerHelp,
             [&opened](Window &w, LogCapture &) {
                 // The help document, or the word that it is missing from this build.
                 return w.alerts.messages() == QStringList{"The help document is missing."} ||
                        opened.urls.size() == 1;
             }},
            {command::showHideSideBar,
             [](Window &w, LogCapture &) { return !w.view().sideTabs()->isTabVisible(1); }},
            {command::findInChart, scripted("v.openSearch()")},
            {command::zoomChartIn, scripted("v.zoomTo(v.zoom() * 1.25)")},
            {command::zoomChartOut, scripted("v.zoomTo(v.zoom() / 1.25)")},
            {command::fitChart, scripted("v.fit()")},
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
        for (const QUrl &url : opened.urls)
            QVERIFY(url.path().endsWith(QLatin1String("/orvantaMac.pdf")));
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
        QVERIFY(w.webView->loads.last().contains(QStringLiteral("&font=Linux%20Biolinum%20O&")));
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
        // The render stripped the parents in the grid itself; the table shows the name.
        QCOMPARE(w.view().grid().parent(2), QStringLiteral("1"));
        QCOMPARE(w.view().gridView().row(2).parent->text(), w.view().grid().title(1));

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
        const auto left = [&](QWidget *widget) { return widget->mapTo(&w.view(), QPoint()).x(); };
        // The sidebar takes 40 % of the window until the user drags the splitter.
        QCOMPARE(left(webView), 500);
        QCOMPARE(webView->width(), 685);
        QCOMPARE(left(w.view().scrollView()), 12);
        QCOMPARE(w.view().scrollView()->width(), 480);
        QCOMPARE(w.view().shell().htmlWidth(), 670);

        w.view().hideButton()->click();
        QCOMPARE(left(webView), 12);
        QCOMPARE(webView->width(), 1178);
        QVERIFY(w.view().chartTitleView()->isHidden() && !w.view().scrollView()->isVisible());
        QCOMPARE(w.view().hideButton()->text(), QStringLiteral("Show Grid"));
        QCOMPARE(w.action("hideShowGrid:")->text(), QStringLiteral("Show Grid"));

        w.view().hideButton()->click();
        QCOMPARE(webView->width(), 685);
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

        // Each pick is an undo step; undoing shows and refreshes the look it puts back.
        ChartEditor &editor = w.view().workspace().editor();
        editor.undo();
        QCOMPARE(w.delegate->state().appearance.colourMode, 1);
        QCOMPARE(multi->currentIndex(), 1);
        QVERIFY(w.view().gridView().row(1).hex->isEnabled());
        editor.undo();
        QCOMPARE(w.delegate->state().appearance.fontSize, ChartAppearance().fontSize);
        QCOMPARE(size->currentText(), QString::number(ChartAppearance().fontSize));
        QVERIFY(!editor.canUndo());
        QCOMPARE(reopens, progress == 0 ? 4 : 0);
    }

    void quitOffersSaveDontSaveAndCancel()
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
            {kFirstButton, std::nullopt, false, QStringLiteral("Untitled")}, // Save, no place
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

    void saveAsNamesTheWindowAndHasItsShortcut()
    {
        const QTemporaryDir dir;
        Window w;
        QCOMPARE(w.action("saveAsFile:")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
        QCOMPARE(w.action("onlineHelp:")->shortcut(), QKeySequence(Qt::Key_F1));
        w.panels.savePaths = {dir.filePath("Team plan.csv")};
        w.action("saveAsFile:")->trigger();
        QCOMPARE(w.delegate->windowTitle(), QStringLiteral("Team plan"));
    }

    void overlayScrollBarsKeepTheFlagsGiven()
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
};

QTEST_MAIN(AppWindowTest)
#include "app_window_test.moc"
