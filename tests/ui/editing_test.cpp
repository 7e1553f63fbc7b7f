// Editing the chart through the real widgets, offscreen: titles typed into the grid, parents
// chosen with the item picker by mouse and keyboard, rows rearranged from the keyboard and by a
// drop, each step undone and redone; the full grid's refusal; the shared colour popover moved
// between picker buttons.
#include "TestWindow.h"
#include "base/Commands.h"
#include "model/ChartEditor.h"
#include "model/ItemPickerModel.h"
#include "model/RowEdits.h"
#include "ui/ChartEditing.h"
#include "ui/ColorPickerPopover.h"
#include "ui/GridView.h"
#include "ui/ItemPickerPopover.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace plotwell;
using namespace plotwell::testing;

namespace {

struct EditedWindow : Window
{
    EditedWindow()
    {
        delegate->show();
        if (!QTest::qWaitForWindowExposed(delegate.get()))
            qFatal("the window was not exposed");
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
    /// The title colours of the left, right and bottom position buttons.
    QList<QColor> titleColours()
    {
        QList<QColor> colours;
        for (PositionButton b :
             {PositionButton::Left, PositionButton::Right, PositionButton::Bottom})
            colours << picker().positionButton(b)->palette().color(QPalette::ButtonText);
        return colours;
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

const QColor kBlue = QColor::fromRgbF(0, 0, 1);
const QColor kBlack = QColor::fromRgbF(0, 0, 0);

} // namespace

class EditingTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
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
        w.select(1); // an untitled row has no parent to pick
        QVERIFY(!w.picker().isVisible());
        QCOMPARE(w.alerts.messages(),
                 QStringList{QStringLiteral("Field Name is required, please load your CSV file.")});
        // From the keyboard the same is said as a grid one types into would say it.
        for (const Qt::Key key : {Qt::Key_A, Qt::Key_Space}) {
            QTest::keyClick(w.view().gridView().row(2).parent, key);
            QVERIFY(!w.picker().isVisible());
            QCOMPARE(w.alerts.messages().last(), QStringLiteral("Row 2 has no title yet."));
        }
        w.alerts.shown.clear();
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
        // From the search field: moving writes nothing, past the last entry stays on it, and
        // Return writes the current one.
        w.select(3);
        QLineEdit *search = w.picker().searchbar();
        QCOMPARE(w.picker().focusWidget(), search);
        for (Qt::Key key :
             {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up})
            QTest::keyClick(search, key);
        QCOMPARE(w.grid().parent(3), QString());
        QTest::keyClick(search, Qt::Key_Return);
        step({{"Ada(CEO)", ""}, {"Bo(CTO)", "Ada(CEO)"}, {"Cy(Dev)", "Bo(CTO)"}});
        QCOMPARE(w.titleColours(), (QList<QColor>{kBlue, kBlue, kBlack})); // none decided yet
        QTest::mouseClick(w.picker().positionButton(PositionButton::Left), Qt::LeftButton);
        QCOMPARE(w.line(3).position->currentText(), QStringLiteral("Left"));
        QCOMPARE(w.titleColours(), (QList<QColor>{kBlue, kBlack, kBlack}));
        QTest::keyClick(search, Qt::Key_Escape);
        QVERIFY(!w.picker().isVisible());
        QMap<QString, QString> tree = {
            {"Ada(CEO)", ""}, {"Bo(CTO)", "Ada(CEO)"}, {"Cy(Dev)", "Bo(CTO)"}};
        step(tree);
        // Typing in a parent field opens the picker with the letters in its search, whose first
        // match Return takes; a cleared search offers nothing, so Return leaves the parent alone.
        QTest::mouseClick(w.line(3).parent, Qt::LeftButton);
        QTest::keyClick(w.line(3).parent, Qt::Key_A);
        QVERIFY(w.picker().isVisible());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("d"));
        QCOMPARE(search->text(), QStringLiteral("ad"));
        QTest::keyClick(search, Qt::Key_Return);
        step({{"Ada(CEO)", ""}, {"Bo(CTO)", "Ada(CEO)"}, {"Cy(Dev)", "Ada(CEO)"}});
        search->clear();
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(w.grid().parent(3), QStringLiteral("1_Ada(CEO)"));
        w.picker().close();
        // Delete takes the parent away.
        QTest::keyClick(w.line(3).parent, Qt::Key_Delete);
        step({{"Ada(CEO)", ""}, {"Bo(CTO)", "Ada(CEO)"}, {"Cy(Dev)", ""}});
        QTest::keyClick(w.line(3).parent, Qt::Key_B);
        QTest::keyClick(search, Qt::Key_Return);
        w.picker().close();
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
        QCOMPARE(w.line(2).parent->text(), QStringLiteral("Ada"));
        QVERIFY(w.line(2).parent->toolTip().endsWith(QStringLiteral("Ada(Chair)")));
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

    // A column copied from a spreadsheet and pasted into a title fills the rows from there down
    // as one step, and the keyboard goes on below it; a single line is the field's own paste.
    void aListPastedIntoATitleFillsTheRowsBelow()
    {
        EditedWindow w;
        QApplication::setActiveWindow(w.delegate.get());
        QGuiApplication::clipboard()->setText(QStringLiteral("Cy\tDev\nDi\tOps\n"));
        QTest::mouseClick(w.line(3).title, Qt::LeftButton);
        QTest::keySequence(w.line(3).title, QKeySequence::Paste);
        QCOMPARE(w.grid().title(3), QStringLiteral("Cy(Dev)"));
        QCOMPARE(w.grid().title(4), QStringLiteral("Di(Ops)"));
        QCOMPARE(w.line(4).title->text(), QStringLiteral("Di(Ops)"));
        QCOMPARE(QApplication::focusWidget(), w.line(5).title);
        w.view().workspace().editor().undo();
        QVERIFY(w.grid().title(3).isEmpty() && w.grid().title(4).isEmpty());

        QGuiApplication::clipboard()->setText(QStringLiteral("Eve"));
        QTest::mouseClick(w.line(5).title, Qt::LeftButton);
        QTest::keySequence(w.line(5).title, QKeySequence::Paste);
        QCOMPARE(w.line(5).title->text(), QStringLiteral("Eve"));
        QVERIFY(w.grid().title(6).isEmpty());

        // The field's own menu pastes a list the same way.
        QGuiApplication::clipboard()->setText(QStringLiteral("Fay\nGus\n"));
        QContextMenuEvent asked(QContextMenuEvent::Mouse, QPoint(4, 4));
        QApplication::sendEvent(w.line(7).title, &asked);
        auto *menu = w.view().findChild<QMenu *>(QStringLiteral("rowMenu"));
        QVERIFY(menu);
        const QString key = QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
        for (QAction *item : menu->actions())
            if (item->text().endsWith(u'\t' + key))
                item->trigger();
        menu->close();
        QCOMPARE(w.grid().title(7), QStringLiteral("Fay"));
        QCOMPARE(w.grid().title(8), QStringLiteral("Gus"));
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
        QLineEdit *lineField = w.view().findChild<QLineEdit *>(QStringLiteral("hexLine"));
        QCOMPARE(w.grid().setting(ChartSetting::HexLine), QStringLiteral("#102030"));
        QCOMPARE(lineField->text(), QStringLiteral("#102030"));
        QCOMPARE(w.grid().colour(2), row2);
        // One opening is one undo step however many colours it tried. Typing into the same
        // colour's field right after is a step of its own, and so is each visit to the chart
        // title, however many keys it took.
        w.popover().close();
        QApplication::setActiveWindow(w.delegate.get());
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
};

QTEST_MAIN(EditingTest)
#include "editing_test.moc"
