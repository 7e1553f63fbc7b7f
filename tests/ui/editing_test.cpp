// Editing the chart through the real widgets, offscreen: titles typed into the grid, rows
// rearranged from the keyboard, the menu and by a drop, each step undone and redone; the
// problems list; the item picker opened by SELECT with its search, list and position buttons;
// the 108 colour picker buttons and the shared colour popover; the sample command from its
// menu item.
#include "TestWindow.h"
#include "base/Commands.h"
#include "colour/PickerTags.h"
#include "model/ChartEditor.h"
#include "model/ItemPickerModel.h"
#include "model/ParentListModel.h"
#include "model/RowEdits.h"
#include "ui/ChartEditing.h"
#include "ui/ColorPickerPopover.h"
#include "ui/GridView.h"
#include "ui/ItemPickerPopover.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace plotwell;
using namespace plotwell::testing;

namespace {

/// The window on show, counting the refresh requests posted once it is up.
struct EditedWindow : Window
{
    int reopens = 0;

    EditedWindow()
    {
        delegate->show();
        // Counted from here: showing the window runs a layout pass, which refreshes too.
        if (!QTest::qWaitForWindowExposed(delegate.get()))
            qFatal("the window was not exposed");
        delegate->commands().observe(command::openRecentDocument,
                                     [this](const QVariant &) { ++reopens; });
    }
    ChartGrid &grid() { return view().grid(); }
    ItemPickerPopover &picker() { return view().editing().itemPicker(); }
    ColorPickerPopover &popover() { return view().editing().colourPopover(); }
    void select(int row) { QTest::mouseClick(view().gridView().row(row).select, Qt::LeftButton); }
    QStringList shownEntries()
    {
        QStringList entries;
        const QAbstractItemModel *model = picker().tableView()->model();
        for (int i = 0; i < model->rowCount(); ++i)
            entries << model->index(i, 0).data().toString();
        return entries;
    }
    void clickEntry(const QString &entry)
    {
        QTableView *table = picker().tableView();
        const int row = shownEntries().indexOf(entry);
        QVERIFY2(row >= 0, qPrintable(entry));
        const QRect cell = table->visualRect(table->model()->index(row, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void search(const QString &text)
    {
        QLineEdit *field = picker().searchbar();
        field->clear();
        QTest::keyClicks(field, text);
    }
    /// The title colours of the left, right and bottom position buttons.
    QList<QColor> titleColours()
    {
        QList<QColor> colours;
        for (PositionButton b :
             {PositionButton::Left, PositionButton::Right, PositionButton::Bottom})
            colours << picker().positionButton(b)->palette().color(QPalette::ButtonText);
        return colours;
    }
    /// The text field of colour slot \a slot, found by its window name.
    QLineEdit *colourField(int slot)
    {
        static const char *const chartWide[] = {"hexBackBg", "hexLabels", "hexItems", "hexLine"};
        const QString name = isValidRow(slot) ? fieldName(slot, RowField::Colour)
                                              : QLatin1String(chartWide[slot - kBackgroundSlot]);
        return view().findChild<QLineEdit *>(name);
    }
    /// Every colour text and every swatch, to show what a pick changed.
    std::pair<QStringList, QList<QColor>> colours()
    {
        std::pair<QStringList, QList<QColor>> all;
        for (int slot = 1; slot <= kColourSlotCount; ++slot)
            all.first << grid().slotText(slot);
        for (int swatch = 1; swatch <= kSwatchCount; ++swatch)
            all.second << view().swatches().colour(swatch);
        return all;
    }
    void pick(const QColor &colour) { popover().colorPanel()->setCurrentColor(colour); }

    const GridRowWidgets &line(int row) { return view().gridView().row(row); }
    /// Types \a text into the title of \a row, replacing what was there, and presses Return.
    void typeTitle(int row, const QString &text)
    {
        QLineEdit *field = line(row).title;
        QTest::mouseClick(field, Qt::LeftButton);
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    /// A key pressed wherever the keyboard is, as the user would press it.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    /// The grid as the window shows it: every row's title, parent reference, position word and
    /// colour, each checked against the model on the way.
    QStringList shownGrid()
    {
        QStringList rows;
        for (int row = 1; row <= kRowCount; ++row) {
            const GridRowWidgets &r = line(row);
            [&] {
                QCOMPARE(r.title->text(), grid().title(row));
                QCOMPARE(r.position->currentText(), positionWord(grid().position(row)));
                QCOMPARE(r.hex->text(), grid().colour(row));
            }();
            rows << QStringList{grid().title(row), grid().parent(row), grid().position(row),
                                grid().colour(row)}
                        .join(u'|');
        }
        return rows;
    }
};

/// Each titled row's manager by name, following the references: what renumbering must keep.
QMap<QString, QString> managers(const ChartGrid &grid)
{
    QMap<QString, QString> byName;
    for (int row = 1; row <= kRowCount; ++row) {
        if (grid.title(row).isEmpty())
            continue;
        const std::optional<int> parent = referencedRow(grid.parent(row));
        byName.insert(grid.title(row), parent ? grid.title(*parent) : QString());
    }
    return byName;
}

const QString kCeo = QStringLiteral("Niall Brent(CEO)");
const QString kRow2 = QStringLiteral("Tobin Marsh(Public Relations)");
const QString kRow40 = QStringLiteral("Odell Fenn(Floor 1)");

const QColor kBlue = QColor::fromRgbF(0, 0, 1);
const QColor kBlack = QColor::fromRgbF(0, 0, 0);

void giveTitles(ChartGrid &grid)
{
    grid.setTitle(1, kCeo);
    grid.setTitle(2, kRow2);
    grid.setTitle(40, kRow40);
}

QString upperHex(const QColor &colour)
{
    return QString::asprintf("#%02X%02X%02X", colour.red(), colour.green(), colour.blue());
}

} // namespace

class EditingTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pickerListsSearchesWritesAtOnceAndReopensClean()
    {
        EditedWindow w;
        giveTitles(w.grid());
        QCOMPARE(w.view().gridView().row(40).select->property("tag").toInt(), 40);
        w.select(2);
        QVERIFY(w.picker().isVisible());
        QCOMPARE(w.picker().selectedItem()->text(), QStringLiteral("2"));
        QCOMPARE(w.picker().selectedItemDisp()->text(), kRow2);
        const QStringList all = {QStringLiteral("0_CLEAR PARENT"), "1_" + kCeo, "2_" + kRow2,
                                 "40_" + kRow40};
        QCOMPARE(w.shownEntries(), all);
        // The "numbers" column draws its text in its own blue.
        const QAbstractItemModel *model = w.picker().tableView()->model();
        QCOMPARE(model->headerData(0, Qt::Horizontal, Qt::UserRole).toString(),
                 QStringLiteral("numbers"));
        QCOMPARE(model->index(1, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(25, 44, 238));

        w.search(QStringLiteral("ceo"));
        QCOMPARE(w.shownEntries(), QStringList{"1_" + kCeo});
        w.clickEntry("1_" + kCeo);
        QCOMPARE(w.grid().parent(2), "1_" + kCeo);
        QCOMPARE(w.view().gridView().row(2).parent->text(), kCeo);
        // The field is read-only and narrow: its tooltip carries the whole text.
        QCOMPARE(w.view().gridView().row(2).parent->toolTip(), "Row 1: " + kCeo);
        QVERIFY(w.picker().isVisible());
        w.picker().close();

        // Reopened for another row: no search and no selection, so the first click on the entry
        // at the place chosen before still writes.
        w.select(40);
        QCOMPARE(w.picker().searchbar()->text(), QString());
        QCOMPARE(w.shownEntries(), all);
        QVERIFY(!w.picker().tableView()->selectionModel()->hasSelection());
        w.clickEntry(QStringLiteral("0_CLEAR PARENT"));
        QCOMPARE(w.grid().parent(40), QStringLiteral("0_CLEAR PARENT"));
    }

    void keyboardMovesChoosesAndClosesAndAnUntitledRowAlertsInstead()
    {
        EditedWindow w;
        giveTitles(w.grid());
        w.select(40);
        QLineEdit *field = w.picker().searchbar();
        QCOMPARE(w.picker().focusWidget(), field);
        QTest::keyClicks(field, QStringLiteral("a"));
        QCOMPARE(w.shownEntries(),
                 (QStringList{QStringLiteral("0_CLEAR PARENT"), "1_" + kCeo, "2_" + kRow2}));
        // Moving writes nothing; Return writes the current entry.
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up})
            QTest::keyClick(field, key);
        QCOMPARE(w.grid().parent(40), QString());
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(w.grid().parent(40), "1_" + kCeo);
        QVERIFY(w.picker().isVisible());
        // Moving past the last entry stays on it.
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(field, Qt::Key_Down);
        QTest::keyClick(field, Qt::Key_Enter);
        QCOMPARE(w.grid().parent(40), "2_" + kRow2);
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(!w.picker().isVisible());

        w.select(6);
        QVERIFY(!w.picker().isVisible());
        QCOMPARE(w.alerts.messages(),
                 QStringList{QStringLiteral("Field Name is required, please load your CSV file.")});
    }

    void everyPickerTagPresetsAndWritesItsField()
    {
        EditedWindow w;
        for (int tag = 1; tag <= kPickerTagCount; ++tag) {
            const PickerTarget target = *pickerTarget(tag);
            QAbstractButton *button = w.view().pickerButton(tag);
            QVERIFY(button);
            QCOMPARE(button->accessibleName(), pickerButtonName(tag));
            QLineEdit *field = w.colourField(target.textSlot);
            QVERIFY2(field, qPrintable(pickerButtonName(tag)));

            // Opening presets the swatch's colour and changes nothing.
            const QColor preset(tag, 200 - tag, (tag * 37) % 256);
            w.view().swatches().setColour(target.swatch, preset);
            auto expected = w.colours();
            const int reopensBefore = w.reopens;
            button->click();
            QVERIFY(w.popover().isVisible());
            QCOMPARE(w.popover().colorPanel()->currentColor(), preset);
            QCOMPARE(w.colours(), expected);
            QCOMPARE(w.reopens, reopensBefore);

            // A pick lands in the swatch and the text field of the tag, and nowhere else.
            const QColor picked(255 - tag, tag, (tag * 11) % 256);
            w.pick(picked);
            expected.first[target.textSlot - 1] = upperHex(picked);
            expected.second[target.swatch - 1] = picked;
            expected.second[target.textSlot - 1] = picked; // the text's own swatch follows it
            QCOMPARE(w.colours(), expected);
            QCOMPARE(w.reopens, reopensBefore + 1);
            QCOMPARE(w.view().swatchView(target.swatch)->colour(), picked);
            QCOMPARE(field->text(), upperHex(picked));
            w.popover().close();
        }
        // The "b" picker of row 3 writes row 3's text: row 3's swatch follows it, and the
        // quick swatch takes the colour too.
        w.view().pickerButton(34)->click();
        w.pick(QColor(0x12, 0xab, 0xef));
        QCOMPARE(w.grid().colour(3), QStringLiteral("#12ABEF"));
        QCOMPARE(w.view().gridView().row(3).swatch->colour(), QColor(0x12, 0xab, 0xef));
        QCOMPARE(w.view().quickColours().swatch(3)->colour(), QColor(0x12, 0xab, 0xef));
    }

    void movingThePopoverToAnotherButtonMovesTheReceiver()
    {
        EditedWindow w;
        const QString row2 = w.grid().colour(2);
        const QString line = w.grid().setting(ChartSetting::HexLine);
        w.view().pickerButton(2)->click();
        w.view().pickerButton(108)->click(); // the line colour, while the popover is open
        QVERIFY(w.popover().isVisible());
        QCOMPARE(w.view().editing().colourPicking().colorSender(), 108);
        w.pick(QColor(0x33, 0x88, 0xdd));
        w.pick(QColor(0x10, 0x20, 0x30));
        QCOMPARE(w.grid().setting(ChartSetting::HexLine), QStringLiteral("#102030"));
        QCOMPARE(w.view().findChild<QLineEdit *>(QStringLiteral("hexLine"))->text(),
                 QStringLiteral("#102030"));
        QCOMPARE(w.grid().colour(2), row2);
        // One opening is one undo step however many colours it tried. Typing into the same
        // colour's field right after is a step of its own, and so is each visit to the chart
        // title, however many keys it took.
        w.popover().close();
        QApplication::setActiveWindow(w.delegate.get());
        QLineEdit *lineField = w.colourField(kLineSlot);
        QTest::mouseClick(lineField, Qt::LeftButton);
        lineField->selectAll();
        QTest::keyClicks(lineField, QStringLiteral("#40"));
        QLineEdit *title = w.view().findChild<QLineEdit *>(QStringLiteral("chartTitle"));
        QTest::mouseClick(title, Qt::LeftButton);
        QTest::keyClicks(title, QStringLiteral("Board"));
        QTest::mouseClick(w.line(1).title, Qt::LeftButton);
        QTest::mouseClick(title, Qt::LeftButton);
        QTest::keyClicks(title, QStringLiteral("s"));
        QCOMPARE(w.grid().setting(ChartSetting::ChartTitle), QStringLiteral("Boards"));
        ChartEditor &editor = w.view().workspace().editor();
        const QStringList undone = {"Board", "", "#102030", line};
        for (const QString &expected : undone) {
            w.action("undoEdit:")->trigger();
            const ChartSetting which =
                expected.startsWith(u'#') ? ChartSetting::HexLine : ChartSetting::ChartTitle;
            QCOMPARE(w.grid().setting(which), expected);
        }
        QCOMPARE(title->text(), QString());
        QCOMPARE(lineField->text(), line);
        QVERIFY(!editor.canUndo());
    }

    void pickDuringConversionSkipsTheRefresh_data()
    {
        QTest::addColumn<int>("barValue");
        QTest::addColumn<bool>("refreshes");
        QTest::newRow("idle") << 0 << true;
        QTest::newRow("converting") << 50 << false;
    }

    void pickDuringConversionSkipsTheRefresh()
    {
        QFETCH(int, barValue);
        QFETCH(bool, refreshes);
        EditedWindow w;
        AppState &state = w.delegate->state();
        state.barValue = barValue;
        state.openRecent = false;
        // The reopen runs before the field takes the colour: it sees the old text.
        QString textSeenByReopen;
        w.delegate->commands().observe(command::openRecentDocument, [&](const QVariant &) {
            textSeenByReopen = w.grid().colour(7);
        });
        const QString before = w.grid().colour(7);
        w.view().pickerButton(7)->click();
        w.pick(QColor(1, 2, 3));
        QCOMPARE(w.grid().colour(7), QStringLiteral("#010203"));
        QCOMPARE(w.reopens, refreshes ? 1 : 0);
        QCOMPARE(state.openRecent, refreshes);
        QCOMPARE(textSeenByReopen, refreshes ? before : QString());
    }

    void closingDetachesAndAnimateFollowsTheCheckBox()
    {
        EditedWindow w;
        w.view().pickerButton(5)->click();
        QVERIFY(w.popover().isObserving());
        QVERIFY(w.popover().hasAction());
        QTest::keyClick(w.popover().colorPanel(), Qt::Key_Escape);
        QVERIFY(!w.popover().isVisible());
        QVERIFY(!w.popover().hasAction());
        QVERIFY(!w.popover().isObserving());
        const QString before = w.grid().colour(5);
        w.pick(QColor(9, 9, 9));
        QCOMPARE(w.grid().colour(5), before);
        QCOMPARE(w.reopens, 0);

        QCheckBox *animate = w.view().quickColours().animateCheckmark();
        QVERIFY(w.popover().animates());
        animate->click();
        QVERIFY(!w.popover().animates());
        w.view().pickerButton(5)->click();
        QVERIFY(!w.popover().animates());
        QCOMPARE(w.popover().windowOpacity(), 1.0);
        animate->click();
        QVERIFY(w.popover().animates());
    }

    // The whole of a first session: titles typed, parents and positions picked, a row inserted,
    // moved by key and by a drop, and deleted. Every person keeps their manager through each
    // step; then Undo walks back to the empty grid and Redo forward to the end, the window
    // showing exactly the grid of each step.
    void typedAndRearrangedChartUndoesToEmptyAndRedoesToTheEnd()
    {
        EditedWindow w;
        QApplication::setActiveWindow(w.delegate.get());
        QStringList shown = {w.shownGrid().join(u'\n')}; // 93 blank rows
        QList<QMap<QString, QString>> kept = {managers(w.grid())};
        const auto step = [&](const QMap<QString, QString> &expected) {
            QCOMPARE(managers(w.grid()), expected);
            shown << w.shownGrid().join(u'\n');
            kept << expected;
        };

        w.typeTitle(1, QStringLiteral("Ada(CEO)"));
        QCOMPARE(w.view().gridView().currentRow(), 2); // Return goes on to the next row
        step({{"Ada(CEO)", ""}});
        w.typeTitle(2, QStringLiteral("Bo(CTO)"));
        step({{"Ada(CEO)", ""}, {"Bo(CTO)", ""}});
        // Leaving the field commits as Return does.
        QTest::keyClicks(w.line(3).title, QStringLiteral("Cy(Dev)"));
        QTest::mouseClick(w.line(1).title, Qt::LeftButton);
        QCOMPARE(w.grid().title(3), QStringLiteral("Cy(Dev)"));
        step({{"Ada(CEO)", ""}, {"Bo(CTO)", ""}, {"Cy(Dev)", ""}});

        w.select(2);
        w.clickEntry(QStringLiteral("1_Ada(CEO)"));
        step({{"Ada(CEO)", ""}, {"Bo(CTO)", "Ada(CEO)"}, {"Cy(Dev)", ""}});
        w.picker().close();
        w.select(3);
        w.clickEntry(QStringLiteral("2_Bo(CTO)"));
        step({{"Ada(CEO)", ""}, {"Bo(CTO)", "Ada(CEO)"}, {"Cy(Dev)", "Bo(CTO)"}});
        QCOMPARE(w.titleColours(), (QList<QColor>{kBlue, kBlue, kBlack})); // none decided yet
        QTest::mouseClick(w.picker().positionButton(PositionButton::Left), Qt::LeftButton);
        QCOMPARE(w.line(3).position->currentText(), QStringLiteral("Left"));
        QCOMPARE(w.titleColours(), (QList<QColor>{kBlue, kBlack, kBlack}));
        w.picker().close();
        QMap<QString, QString> tree = {
            {"Ada(CEO)", ""}, {"Bo(CTO)", "Ada(CEO)"}, {"Cy(Dev)", "Bo(CTO)"}};
        step(tree);
        // The position field offers the words; the document keeps the markers.
        QTest::keyClick(w.line(2).position, Qt::Key_Down); // "" to "Left"
        QCOMPARE(w.grid().position(2), QStringLiteral("NOT NULL"));
        step(tree);
        QTest::keyClick(w.line(2).position, Qt::Key_Down); // "Left" to "Right"
        QCOMPARE(w.grid().position(2), QStringLiteral("NULL"));
        step(tree);

        // Renaming keeps the links: the references carry the new name.
        w.typeTitle(1, QStringLiteral("Ada(Chair)"));
        QCOMPARE(w.grid().parent(2), QStringLiteral("1_Ada(Chair)"));
        QCOMPARE(w.line(2).parent->text(), QStringLiteral("Ada(Chair)"));
        tree = {{"Ada(Chair)", ""}, {"Bo(CTO)", "Ada(Chair)"}, {"Cy(Dev)", "Bo(CTO)"}};
        step(tree);

        // Insert above row 2 from the keyboard: the blank row is current, ready for typing.
        QTest::mouseClick(w.line(2).title, Qt::LeftButton);
        w.press(Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.grid().title(2), QString());
        QCOMPARE(w.grid().title(3), QStringLiteral("Bo(CTO)"));
        QCOMPARE(QApplication::focusWidget(), w.line(2).title);
        step(tree);
        QTest::keyClicks(w.line(2).title, QStringLiteral("Di(COO)"));
        QTest::keyClick(w.line(2).title, Qt::Key_Return);
        tree.insert(QStringLiteral("Di(COO)"), QString());
        step(tree);

        // Move it down with Alt+Down, then back up by dropping row 3 on the upper half of row 2.
        QTest::mouseClick(w.line(2).title, Qt::LeftButton);
        w.press(Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(w.grid().title(3), QStringLiteral("Di(COO)"));
        step(tree);
        QMimeData dragged;
        dragged.setData(QLatin1String(GridView::kRowMimeType), "3");
        const QPoint upperHalf =
            w.line(2).container->geometry().topLeft() + QPoint(40, GridView::rowHeight() / 4);
        QDragEnterEvent enter(upperHalf, Qt::MoveAction, &dragged, Qt::LeftButton, {});
        QDragMoveEvent over(upperHalf, Qt::MoveAction, &dragged, Qt::LeftButton, {});
        QDropEvent drop(upperHalf, Qt::MoveAction, &dragged, Qt::LeftButton, {});
        for (QEvent *event : std::initializer_list<QEvent *>{&enter, &over, &drop})
            QApplication::sendEvent(&w.view().gridView(), event);
        QCOMPARE(w.grid().title(2), QStringLiteral("Di(COO)"));
        step(tree);

        // Delete it: the rows below close up, their references follow.
        QTest::mouseClick(w.line(2).title, Qt::LeftButton);
        w.press(Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.grid().title(2), QStringLiteral("Bo(CTO)"));
        tree.remove(QStringLiteral("Di(COO)"));
        step(tree);

        // A very long title is kept whole, and its reports follow it.
        const QString longTitle = QString(10000, u'x') + QStringLiteral("(Lead)");
        QTest::mouseClick(w.line(2).title, Qt::LeftButton);
        w.line(2).title->selectAll();
        w.line(2).title->insert(longTitle);
        QTest::keyClick(w.line(2).title, Qt::Key_Return);
        QCOMPARE(w.grid().parent(3), "2_" + longTitle);
        tree.remove(QStringLiteral("Bo(CTO)"));
        tree.insert(longTitle, QStringLiteral("Ada(Chair)"));
        tree[QStringLiteral("Cy(Dev)")] = longTitle;
        step(tree);

        ChartEditor &editor = w.view().workspace().editor();
        QCOMPARE(editor.undoStack().count(), shown.size() - 1);
        // Ctrl+Z in the title field that Return moved to: it has nothing of its own to undo.
        for (qsizetype at = shown.size() - 2; at >= 0; --at) {
            QVERIFY(w.action("undoEdit:")->isEnabled());
            w.press(Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(w.shownGrid().join(u'\n'), shown.at(at));
            QCOMPARE(managers(w.grid()), kept.at(at));
        }
        QVERIFY(!w.action("undoEdit:")->isEnabled());
        for (qsizetype at = 1; at < shown.size(); ++at) {
            w.press(Qt::Key_Y, Qt::ControlModifier);
            QCOMPARE(w.shownGrid().join(u'\n'), shown.at(at));
        }
        QVERIFY(!editor.canRedo());
    }

    void fullGridRefusesInsertionPlainly()
    {
        EditedWindow w;
        for (int row = 1; row <= kRowCount; ++row)
            w.grid().setTitle(row, QStringLiteral("P%1").arg(row));
        QTest::mouseClick(w.line(5).title, Qt::LeftButton);
        w.action("insertRowAbove:")->trigger();
        QCOMPARE(w.alerts.messages(), QStringList{kAllRowsInUseMessage});
        QCOMPARE(w.grid().title(5), QStringLiteral("P5"));
        QVERIFY(!w.view().workspace().editor().canUndo());
    }

    void problemsListNamesTheRowAndSelectsIt()
    {
        EditedWindow w;
        QVERIFY(w.view().problemsPanel()->isHidden());
        w.grid().setTitle(1, QStringLiteral("Ada(CEO)"));
        w.grid().setTitle(7, QStringLiteral("Ed(Ops)"));
        w.grid().setParent(7, QStringLiteral("4_Gone"));
        QVERIFY(w.view().problemsPanel()->isVisible());
        QListView *list = w.view().problemsView();
        QCOMPARE(list->model()->rowCount(), 1);
        QVERIFY(list->model()->index(0, 0).data().toString().contains(QLatin1String("7")));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(0, 0)).center());
        QCOMPARE(w.view().gridView().currentRow(), 7);
        w.grid().setParent(7, QStringLiteral("1_Ada(CEO)"));
        QVERIFY(w.view().problemsPanel()->isHidden());
    }

    // With Update Chart as I Edit on (and remembered), typing goes on while a file converts: the
    // title is kept and undoable, but the chart waits for the conversion to give back the
    // progress view (the next edit after it redraws).
    void typingWhileAConversionRunsKeepsTheTitleAndDrawsNothing()
    {
        EditedWindow w;
        QApplication::setActiveWindow(w.delegate.get());
        w.action("updateAsIEdit:")->trigger();
        QCOMPARE(w.preferences.value(QLatin1String(kLiveUpdateKey)), std::optional(QString("1")));
        // What a conversion at half way reports, read again by the progress view's timer.
        w.view().progress().currentBarValue = 50;
        w.delegate->state().barValue = 50;
        const qsizetype loads = w.webView->loads.size();
        w.typeTitle(1, QStringLiteral("Ada(CEO)"));
        QCOMPARE(w.grid().title(1), QStringLiteral("Ada(CEO)"));
        QTRY_VERIFY(!w.view().workspace().liveUpdate().isPending());
        QCOMPARE(w.webView->loads.size(), loads);
        QVERIFY(w.view().workspace().editor().canUndo());
    }

    void transparentSwatchDrawsNothing()
    {
        SwatchView swatch;
        swatch.setAttribute(Qt::WA_TranslucentBackground);
        swatch.setColour(QColor(255, 0, 0, 0));
        QImage image(swatch.size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        swatch.render(&image, {}, {}, QWidget::DrawChildren);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QCOMPARE(qAlpha(image.pixel(x, y)), 0);
        swatch.setColour(QColor(255, 0, 0));
        swatch.render(&image, {}, {}, QWidget::DrawChildren);
        QCOMPARE(QColor(image.pixel(9, 9)), QColor(255, 0, 0));
    }

    void sampleMenuItem_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("loads");
        QTest::addColumn<bool>("forgetsDocument");
        QTest::newRow("Sample 1") << kFirstButton << true << true;
        QTest::newRow("Sample 2(Multi Level)") << kFirstButton + 1 << true << false;
        QTest::newRow("Cancel") << kFirstButton + 2 << false << false;
    }

    void sampleMenuItem()
    {
        QFETCH(int, answer);
        QFETCH(bool, loads);
        QFETCH(bool, forgetsDocument);
        EditedWindow w;
        AppState &state = w.delegate->state();
        w.delegate->setWindowTitle(QStringLiteral("Staff.csv"));
        state.saveUrl = QStringLiteral("/tmp/Staff.csv");
        w.preferences.setValue(QStringLiteral("openedFilename"), QStringLiteral("Staff.csv"));
        w.grid().setTitle(20, QStringLiteral("Kept?"));

        w.alerts.answers = {answer};
        w.action("liveSample:")->trigger();
        const AlertSpec &asked = w.alerts.shown.last();
        QCOMPARE(asked.message,
                 QStringLiteral("This Action will clear the grid & load sample data"));
        QCOMPARE(asked.buttons, (QStringList{"Sample 1", "Sample 2(Multi Level)", "Cancel"}));

        QCOMPARE(w.grid().title(1), loads ? kCeo : QString());
        QCOMPARE(w.grid().title(20), loads ? QString() : QStringLiteral("Kept?"));
        QCOMPARE(w.view().gridView().row(1).title->text(), w.grid().title(1));
        if (loads) {
            // Sample 2 differs in row 3's parent.
            QCOMPARE(w.grid().parent(3),
                     answer == kFirstButton ? QStringLiteral("1_Niall Brent(CEO)") : QString());
            QVERIFY(!w.view().chartTitleView()->isHidden());
            QCOMPARE(w.view().shell().gridHidden(), 0);
        }
        const QStringList document = {
            w.delegate->windowTitle(), state.saveUrl.value_or("unset"),
            w.preferences.value(QStringLiteral("openedFilename")).value_or("unset")};
        const QStringList expected = forgetsDocument
                                         ? QStringList{"Untitled", "", ""}
                                         : QStringList{"Staff.csv", "/tmp/Staff.csv", "Staff.csv"};
        QCOMPARE(document, expected);
    }
};

QTEST_MAIN(EditingTest)
#include "editing_test.moc"
