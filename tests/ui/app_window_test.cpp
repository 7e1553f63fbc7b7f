// The window offscreen, with scripted ports and fake viewers: what launch shows, the menus, the
// render, undo, geometry and the appearance combos. The rules behind them are the core tests'.
#include "Fakes.h"
#include "TestWindow.h"
#include "base/Commands.h"
#include "commands/RequestCommand.h"
#include "document/ChartRecovery.h"
#include "model/ChartEditor.h"
#include "model/ParentReferences.h"
#include "render/PageRequest.h"
#include "ui/AppDelegate.h"
#include "ui/GridView.h"
#include "ui/Style.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace plotwell;
using namespace plotwell::testing;

class AppWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void launchShowsTheStartValues()
    {
        Window w;
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
        QCOMPARE(w.webView->currentUrl(), placeholderUrl());
        QCOMPARE(shownTitle(*w.delegate), QStringLiteral("Untitled"));
        QCOMPARE(w.preferences.value(QStringLiteral("openedFilename")), std::optional(QString()));
        QVERIFY(!w.action("undoAction:")->isEnabled() && !w.action("redoAction:")->isEnabled());
        // Undo follows the editor's stack.
        w.view().workspace().editor().setTitle(1, QStringLiteral("Ann(CEO)"));
        w.action("undoEdit:")->trigger();
        QVERIFY(w.view().grid().title(1).isEmpty());
        QVERIFY(!w.action("undoEdit:")->isEnabled() && w.action("redoEdit:")->isEnabled());
    }

    void menuItemsExistExactlyForHandledCommands()
    {
        // A command without a handler would be a dead menu item; one with a handler but no item
        // could never be chosen.
        Window w;
        for (const DelegateAction &entry : delegateActions()) {
            QAction *item = w.delegate->action(entry.action);
            QVERIFY2((item != nullptr) == w.delegate->commands().isObserved(entry.command),
                     qPrintable(entry.action));
        }
        // A key bound twice is dead for both (the shortcut is ambiguous); Full Screen has F11
        // whatever the desktop's own key for it, which may be none.
        QMap<QKeySequence, QString> bound;
        for (const QAction *item : w.delegate->findChildren<QAction *>()) {
            for (const QKeySequence &key : item->shortcuts()) {
                QVERIFY2(!key.isEmpty(), qPrintable(item->objectName()));
                QVERIFY2(!bound.contains(key), qPrintable(key.toString() + u' ' + bound[key] +
                                                          u' ' + item->objectName()));
                bound.insert(key, item->objectName());
            }
        }
        QCOMPARE(bound.value(QKeySequence(Qt::Key_F11)), QStringLiteral("fScreen:"));
    }

    void renderOfSampleOneReachesTheThreeViewersAndUndoFollows()
    {
        Window w;
        w.alerts.answers = {kFirstButton}; // "Sample 1"
        w.view().findChild<QPushButton *>(QStringLiteral("sampleButton"))->click();
        w.webView->scriptAnswers.insert(kScrollWidthScript, QStringLiteral("640"));
        w.webView->scriptAnswers.insert(kScrollHeightScript, QStringLiteral("480"));
        // Render Chart is in the View menu too, with its key.
        QCOMPARE(w.action("renderChart:")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
        w.action("renderChart:")->trigger();
        QCOMPARE(w.webView->loads.last(),
                 requestUrl(sampleViewerRequest(1)).toString(QUrl::FullyEncoded));
        QVERIFY(w.webView->loads.last().contains(QStringLiteral("&font=Linux%20Biolinum%20O&")));
        // The chart on screen first: the export viewers wait for it.
        QVERIFY(w.webViewL->loads.isEmpty() && w.webViewM->loads.isEmpty());
        w.webView->finishLoad();
        QCOMPARE(w.webViewL->loads.size(), 1);
        QCOMPARE(w.view().viewers().webViewMWidget->size(), QSize(660, 500));
        // The render stripped the parents in the grid itself; the table shows the name.
        QCOMPARE(w.view().gridView().row(2).parent->text(), personName(w.view().grid().title(1)));

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
        QCOMPARE(w.view().scrollView()->width(), 480);

        w.view().hideButton()->click();
        QCOMPARE(left(webView), 12);
        QVERIFY(w.view().chartTitleView()->isHidden() && !w.view().scrollView()->isVisible());
        QCOMPARE(w.view().hideButton()->text(), QStringLiteral("Show Grid"));
        QCOMPARE(w.action("hideShowGrid:")->text(), QStringLiteral("Show Grid"));

        w.view().hideButton()->click();
        QCOMPARE(webView->width(), 685);
        QCOMPARE(w.view().hideButton()->text(), QStringLiteral("Hide Grid"));
        QCOMPARE(w.action("hideShowGrid:")->text(), QStringLiteral("Hide Grid"));
    }

    // Whether a change refreshes during a conversion is the appearance combo's own test.
    void appearanceCombosStoreAndRefresh()
    {
        Window w;
        int reopens = 0;
        w.delegate->commands().observe(command::openRecentDocument,
                                       [&](const QVariant &) { ++reopens; });

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
        QCOMPARE(reopens, 2);

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
        QCOMPARE(reopens, 4);
    }

    void quitAsksOnlyWithUnsavedChangesAndOffersSaveDontSaveAndCancel()
    {
        {
            // Nothing changed since launch: nothing to lose, nothing asked.
            Window w;
            w.delegate->show();
            w.action("QuitApp:")->trigger();
            QVERIFY(w.alerts.shown.isEmpty());
            QVERIFY(!w.delegate->isVisible());
        }
        const QTemporaryDir dir;
        const struct
        {
            int answer;
            std::optional<QString> savePath; // the panel's answer when Save asks for a place
            bool closes;
            QString title; // the window's title afterwards
        } cases[] = {
            {kFirstButton + 2, {}, false, QStringLiteral("Untitled*")},       // Cancel
            {kFirstButton + 1, {}, true, QStringLiteral("Untitled*")},        // Don't Save
            {kFirstButton, std::nullopt, false, QStringLiteral("Untitled*")}, // Save, no place
            {kFirstButton, dir.filePath("Board chart"), true, QStringLiteral("Board chart")},
        };
        for (const auto &c : cases) {
            Window w;
            w.delegate->show();
            w.view().workspace().editor().setTitle(1, QStringLiteral("Ann(CEO)"));
            QTRY_COMPARE(shownTitle(*w.delegate), QStringLiteral("Untitled*"));
            w.alerts.answers = {c.answer};
            w.panels.savePaths = {c.savePath};
            w.action("QuitApp:")->trigger();
            QCOMPARE(w.alerts.shown.last().buttons, (QStringList{"Save", "Don't Save", "Cancel"}));
            QCOMPARE(w.delegate->isVisible(), !c.closes);
            QTRY_COMPARE(shownTitle(*w.delegate), c.title);
            if (c.savePath)
                QVERIFY(QFileInfo::exists(*c.savePath + ".csv"));
        }
    }

    void theTitleMarksChangesUntilSavedAndUndoingThemClearsTheMark()
    {
        const QTemporaryDir dir;
        Window w;
        ChartEditor &editor = w.view().workspace().editor();
        editor.setTitle(1, QStringLiteral("Ann(CEO)"));
        QTRY_COMPARE(shownTitle(*w.delegate), QStringLiteral("Untitled*"));
        editor.undo();
        QTRY_COMPARE(shownTitle(*w.delegate), QStringLiteral("Untitled"));
        editor.redo();
        w.panels.savePaths = {dir.filePath("team")};
        w.action("saveAsFile:")->trigger();
        QTRY_COMPARE(shownTitle(*w.delegate), QStringLiteral("team"));
        editor.setColour(1, QStringLiteral("#102030"));
        QTRY_COMPARE(shownTitle(*w.delegate), QStringLiteral("team*"));
        // New empties the chart: nothing of it to save.
        w.alerts.answers = {kFirstButton + 1}; // Don't Save
        w.action("newFile:")->trigger();
        QTRY_COMPARE(shownTitle(*w.delegate), QStringLiteral("Untitled"));
    }

    // A sample over unsaved changes asks to save them first, as an open does; Cancel keeps them.
    void aSampleOverUnsavedChangesAsksToSaveThemFirst()
    {
        Window w;
        w.view().workspace().editor().setTitle(1, QStringLiteral("Ann(CEO)"));
        auto *sample = w.view().findChild<QPushButton *>(QStringLiteral("sampleButton"));
        w.alerts.answers = {kFirstButton, kFirstButton + 2}; // Sample 1, then Cancel
        sample->click();
        QCOMPARE(w.alerts.shown.last().message,
                 QStringLiteral("Do you want to save the chart before loading the sample?"));
        QCOMPARE(w.view().grid().title(1), QStringLiteral("Ann(CEO)"));
        w.alerts.answers = {kFirstButton, kFirstButton + 1}; // Sample 1, then Don't Save
        sample->click();
        QCOMPARE(w.view().grid().title(1), QStringLiteral("Niall Brent(CEO)"));
        // Changing one's mind at the sample's own question asks nothing more.
        const qsizetype asked = w.alerts.shown.size();
        w.alerts.answers = {kFirstButton + 2};
        sample->click();
        QCOMPARE(w.alerts.shown.size(), asked + 1);
    }

    void aChartLeftUnsavedByAnEarlierRunIsOfferedBack()
    {
        const QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("Unsaved chart.csv"));
        for (const bool recover : {true, false}) {
            ChartGrid left;
            left.setTitle(1, QStringLiteral("Ann(CEO)"));
            QVERIFY(!document::ChartRecovery(copy).keep(left, ChartAppearance()));
            Window w;
            w.delegate->show();
            w.alerts.answers = {recover ? kFirstButton : kFirstButton + 1};
            w.delegate->keepRecoveryCopyIn(copy);
            QTRY_COMPARE(w.alerts.shown.size(), 1);
            QCOMPARE(w.alerts.shown.last().buttons, (QStringList{"Recover", "Discard"}));
            QCOMPARE(w.view().grid().title(1), recover ? QStringLiteral("Ann(CEO)") : QString());
            QTRY_COMPARE(shownTitle(*w.delegate),
                         recover ? QStringLiteral("Untitled*") : QStringLiteral("Untitled"));
            QCOMPARE(QFileInfo::exists(copy), recover);
        }
    }

    void paletteFollowsTheDesktopUnlessTold()
    {
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
        dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
        const QPalette light = QApplication::style()->standardPalette();
        using M = PaletteMode;
        for (const auto &[asked, gtk, desktop, mode] : {std::tuple{"", "", dark, M::Dark},
                                                        {"", "", light, M::Light},
                                                        {" Light", "", dark, M::Light},
                                                        {"dark", "", light, M::Dark},
                                                        {"", "Adwaita:dark", light, M::Dark},
                                                        {"auto", "Adwaita", light, M::Light}})
            QCOMPARE(paletteModeFor(asked, gtk, desktop), mode);
    }

    // Rules that set both a text colour and a solid background, and the palette's own pairs,
    // read at 4.5:1 or better in both palettes (disabled text aside, as is usual).
    void everyStyledTextReadsInBothPalettes()
    {
        const auto contrast = [](const QColor &a, const QColor &b) {
            const auto luminance = [](const QColor &c) {
                const auto lin = [](double v) {
                    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
                };
                return 0.05 + 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) +
                       0.0722 * lin(c.blueF());
            };
            return std::max(luminance(a), luminance(b)) / std::min(luminance(a), luminance(b));
        };
        static const QRegularExpression rule(
            QStringLiteral("([^{}]+)\\{[^}]*(?:^|[;\\s])color:\\s*(#\\w{6}|white)[^}]*\\}"));
        static const QRegularExpression fill(QStringLiteral("background:\\s*(#\\w{6}|white)"));
        for (PaletteMode mode : {PaletteMode::Light, PaletteMode::Dark}) {
            const QPalette p = paletteFor(mode, QApplication::style()->standardPalette());
            for (auto [fore, back] : {std::pair{QPalette::WindowText, QPalette::Window},
                                      {QPalette::Text, QPalette::Base},
                                      {QPalette::ButtonText, QPalette::Button},
                                      {QPalette::HighlightedText, QPalette::Highlight}})
                QVERIFY(contrast(p.color(fore), p.color(back)) >= 4.5);
            int checked = 0;
            for (auto it = rule.globalMatch(styleSheetFor(mode)); it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                const QRegularExpressionMatch b = fill.match(m.captured(0));
                if (!b.hasMatch() || m.captured(1).contains(QLatin1String(":disabled")))
                    continue;
                ++checked;
                QVERIFY2(contrast(QColor(m.captured(2)), QColor(b.captured(1))) >= 4.5,
                         qPrintable(m.captured(1)));
            }
            QVERIFY(checked >= 8); // the buttons, the lists and the popovers
        }
    }

    void overlayScrollBarsKeepTheFlagsGiven()
    {
        QCOMPARE(withOverlayScrollBars(" --no-sandbox  --disable-gpu"),
                 QByteArray("--no-sandbox --disable-gpu --enable-features=OverlayScrollbar"));
        // One --enable-features switch: Chromium would keep only the last of two.
        QCOMPARE(withOverlayScrollBars("--enable-features=A,B --x"),
                 QByteArray("--enable-features=A,B,OverlayScrollbar --x"));
        QCOMPARE(withQuietChromium("--log-level=0"), QByteArray("--log-level=0"));
    }
};

QTEST_MAIN(AppWindowTest)
#include "app_window_test.moc"
