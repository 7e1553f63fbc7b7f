// What a person sees of the window: the grid as a table, popovers inside the window and closed
// by Escape, swatches that follow their text, the start screen.
#include "TestWindow.h"
#include "ui/ColorPickerPopover.h"
#include "ui/GridView.h"
#include "ui/ItemPickerPopover.h"
#include "ui/Popovers.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>

using namespace plotwell;
using namespace plotwell::testing;

namespace {

struct ShownWindow : Window
{
    explicit ShownWindow(QSize size = {1280, 800}) : Window(size)
    {
        delegate->move(0, 0);
        delegate->show();
        if (!QTest::qWaitForWindowExposed(delegate.get()))
            qFatal("the window was not exposed");
        for (int row = 1; row <= kRowCount; ++row)
            view().grid().setTitle(row, QStringLiteral("Person %1(Team %1)").arg(row));
    }
    [[nodiscard]] QRect windowArea() const
    {
        return QRect(delegate->mapToGlobal(QPoint(0, 0)), delegate->size());
    }
};

/// The rows of the grid that lie wholly in its scroll area's visible part.
int rowsInView(MasterViewController &view)
{
    QWidget *viewport = view.scrollView()->viewport();
    int shown = 0;
    for (int row = 1; row <= kRowCount; ++row) {
        QWidget *line = view.gridView().row(row).container;
        if (!viewport->isAncestorOf(line))
            continue; // a row not yet in the table
        const QRect rect(line->mapTo(viewport, QPoint(0, 0)), line->size());
        shown += viewport->rect().contains(rect) ? 1 : 0;
    }
    return shown;
}

} // namespace

class WindowLookTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void gridShowsTwentyCompactRowsAt1280By800()
    {
        ShownWindow w;
        // The rows are built as they come into view: the last line in view is there unasked.
        QWidget *viewport = w.view().scrollView()->viewport();
        QWidget *bottom = viewport->childAt(viewport->width() / 2, viewport->height() - 2);
        while (bottom && bottom->objectName() != QLatin1String("gridRow"))
            bottom = bottom->parentWidget();
        QVERIFY(bottom);
        QVERIFY2(rowsInView(w.view()) >= 20, qPrintable(QString::number(rowsInView(w.view()))));
        QVERIFY(w.view().gridView().row(1).container->height() <= 30);
    }

    void rowsBelowTheScreenJoinWhenScrolledTo()
    {
        ShownWindow w;
        QScrollBar *bar = w.view().scrollView()->verticalScrollBar();
        const GridView &grid = w.view().gridView();
        QVERIFY(!grid.isRowBuilt(kRowCount));
        bar->setValue(bar->maximum()); // a scroll builds the rows before it paints them
        QVERIFY(grid.isRowBuilt(kRowCount));
        QVERIFY(rowsInView(w.view()) >= 20);
        // Tab goes through every part of a row from left to right, the parent too (it is chosen
        // from the keyboard), and on to the next row, wherever the rows joined the table.
        const auto nextStop = [](QWidget *from) {
            QWidget *next = from->nextInFocusChain();
            while (!(next->focusPolicy() & Qt::TabFocus))
                next = next->nextInFocusChain();
            return next;
        };
        for (int row = 1; row < kRowCount; ++row) {
            const GridRowWidgets &line = grid.row(row);
            QWidget *stop = nextStop(line.title);
            QCOMPARE(stop, line.parent);
            for (int x = stop->x(); line.container->isAncestorOf(stop); x = stop->x()) {
                stop = nextStop(stop);
                QVERIFY2(!line.container->isAncestorOf(stop) || stop->x() > x,
                         qPrintable(QStringLiteral("row %1: %2 after x %3")
                                        .arg(row)
                                        .arg(stop->objectName())
                                        .arg(x)));
            }
            QCOMPARE(stop, grid.row(row + 1).title);
        }
        // A screen reader hears which row each part belongs to.
        for (const int row : {1, kRowCount})
            for (QWidget *part : grid.row(row).tabStops())
                QVERIFY2(part->accessibleName().contains(QString::number(row)),
                         qPrintable(part->objectName()));
    }

    void theKeyboardGoesOnIntoRowsNotBuiltYet()
    {
        ShownWindow w;
        w.delegate->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.delegate.get()));
        const GridView &grid = w.view().gridView();
        // What is typed at launch goes into the top box's title.
        QCOMPARE(QApplication::focusWidget(), grid.row(1).title);
        const auto lastBuilt = [&grid] {
            int last = 1;
            while (grid.isRowBuilt(last + 1))
                ++last;
            return last;
        };
        const int last = lastBuilt();
        QVERIFY(last < kRowCount);
        // Tab from the last row built goes on to the next row's title.
        const GridRowWidgets &line = grid.row(last);
        line.select->setFocus(Qt::TabFocusReason);
        QTest::keyClick(line.select, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), grid.row(last + 1).title);
        // Shift+Tab from what follows the table comes back to its last row.
        QWidget *after = grid.row(lastBuilt()).select->nextInFocusChain();
        while (!(after->focusPolicy() & Qt::TabFocus) || !after->isVisible() || !after->isEnabled())
            after = after->nextInFocusChain();
        after->setFocus(Qt::TabFocusReason);
        QTest::keyClick(after, Qt::Key_Backtab);
        QVERIFY2(grid.isRowBuilt(kRowCount) &&
                     grid.row(kRowCount).container->isAncestorOf(QApplication::focusWidget()),
                 after->metaObject()->className());
    }

    // Scrolling the grid with the wheel over a row's position leaves the position as it was
    // (the desktop then hands the wheel on to the grid).
    void aWheelOverAPositionChangesNothing()
    {
        ShownWindow w;
        QComboBox *position = w.view().gridView().row(5).position;
        const int before = position->currentIndex();
        const QPoint middle = position->rect().center();
        QWheelEvent wheel(middle, position->mapToGlobal(middle), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(
            &wheel); // as the desktop sends it: passed on if not taken
        QApplication::sendEvent(position, &wheel);
        QCOMPARE(position->currentIndex(), before);
    }

    void popoversStayInsideTheWindowAndEscapeClosesThem_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("800x600") << QSize(800, 600);
        QTest::newRow("1024x700") << QSize(1024, 700);
        QTest::newRow("1280x800") << QSize(1280, 800);
    }

    void popoversStayInsideTheWindowAndEscapeClosesThem()
    {
        QFETCH(QSize, size);
        ShownWindow w(size);
        MasterViewController &view = w.view();
        view.scrollView()->verticalScrollBar()->setValue(
            view.scrollView()->verticalScrollBar()->maximum());
        const std::function<QWidget *()> opens[] = {
            [&]() -> QWidget * {
                view.showOptions(OptionsPopover::Panel::Help, view.helpButton());
                return &view.optionsPopover();
            },
            [&]() -> QWidget * {
                view.shell().myHelpAction();
                return view.findChild<QuickHelpPopover *>();
            },
            [&]() -> QWidget * {
                view.gridView().row(kRowCount).select->click();
                return &view.editing().itemPicker();
            },
            [&]() -> QWidget * { // the colour popover at its largest, for the last row
                view.pickerButton(kRowCount)->click();
                view.editing().colourPopover().moreColoursButton()->setChecked(true);
                return &view.editing().colourPopover();
            },
        };
        for (const auto &open : opens) {
            QWidget *popover = open();
            const QByteArray name = popover ? popover->metaObject()->className() : "none";
            QVERIFY2(popover && popover->isVisible(), name);
            const QRect area = w.windowArea();
            QVERIFY2(area.contains(popover->frameGeometry()) || popover->width() > area.width() ||
                         popover->height() > area.height(),
                     name);
            QWidget *focus = QApplication::focusWidget();
            QTest::keyClick(focus && popover->isAncestorOf(focus) ? focus : popover,
                            Qt::Key_Escape);
            QVERIFY2(!popover->isVisible(), name);
        }
    }

    void eachOptionsPanelIsAsTallAsItsItems()
    {
        ShownWindow w;
        MasterViewController &view = w.view();
        OptionsPopover &popover = view.optionsPopover();
        using Panel = OptionsPopover::Panel;
        for (const Panel panel : {Panel::Import, Panel::Download, Panel::Share, Panel::Help}) {
            if (popover.isEmpty(panel))
                continue;
            view.showOptions(panel, view.helpButton());
            int lastItemBottom = 0;
            for (const QToolButton *item :
                 popover.findChildren<QToolButton *>(QStringLiteral("popoverItem"))) {
                if (item->isVisibleTo(&popover))
                    lastItemBottom = std::max(lastItemBottom,
                                              item->mapTo(&popover, QPoint(0, item->height())).y());
            }
            QVERIFY(lastItemBottom > 0);
            // The popover's own bottom margin, and no empty band above it.
            QVERIFY2(popover.height() - lastItemBottom <= 20,
                     qPrintable(QStringLiteral("panel %1: %2 px below its last item")
                                    .arg(int(panel))
                                    .arg(popover.height() - lastItemBottom)));
            popover.close();
        }
    }

    void swatchesFollowTheirTypedText()
    {
        ShownWindow w;
        MasterViewController &view = w.view();
        view.sideTabs()->setCurrentIndex(1); // built when first shown, with the colours of now
        QCOMPARE(view.swatchView(kBackgroundSlot)->colour(),
                 view.swatches().colour(kBackgroundSlot));
        const std::pair<int, QLineEdit *> fields[] = {
            {5, view.gridView().row(5).hex},
            {kRowCount, view.gridView().row(kRowCount).hex},
            {kBackgroundSlot, view.findChild<QLineEdit *>(QStringLiteral("hexBackBg"))}};
        for (const auto &[slot, field] : fields) {
            const QColor before = view.swatchView(slot)->colour();
            field->selectAll();
            QTest::keyClicks(field, QStringLiteral("#12"));
            QCOMPARE(view.swatchView(slot)->colour(), before); // not a colour yet
            QTest::keyClicks(field, QStringLiteral("AB3F"));
            QCOMPARE(view.swatchView(slot)->colour(), QColor(0x12, 0xab, 0x3f));
        }
        // The colour popover's own hex field picks as it is typed.
        view.pickerButton(5)->click();
        QLineEdit *hex = view.editing().colourPopover().hexField();
        hex->selectAll();
        QTest::keyClicks(hex, QStringLiteral("0a0b0c"));
        QCOMPARE(view.grid().colour(5), QStringLiteral("#0A0B0C"));
        QCOMPARE(view.swatchView(5)->colour(), QColor(0x0a, 0x0b, 0x0c));
    }

    void startScreenOffersEachWayIn()
    {
        Window w({1280, 800});
        w.delegate->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.delegate.get()));
        QWidget *start = w.view().findChild<QWidget *>(QStringLiteral("startScreen"));
        QVERIFY(start && start->isVisible());
        const auto button = [&](const char *name) {
            return start->findChild<QPushButton *>(QLatin1String(name));
        };
        QVERIFY(button("startSampleButton") && button("startOpenButton"));
        // Import Staff List asks the desktop's open panel; a cancelled panel changes nothing, and a
        // file that cannot be read is said so.
        w.panels.openPaths = {std::nullopt, QStringLiteral("/nonexistent/staff.csv")};
        button("startStaffButton")->click();
        QCOMPARE(w.panels.openPanelCount, 1);
        QCOMPARE(w.panels.openPanels.front().allowedTypes, (QStringList{"csv", "tsv", "txt"}));
        QVERIFY(w.alerts.shown.empty());
        button("startStaffButton")->click();
        QCOMPARE(w.panels.openPanelCount, 2);
        QCOMPARE(w.alerts.messages(), QStringList{"The staff list could not be read."});
    }
};

QTEST_MAIN(WindowLookTest)
#include "window_look_test.moc"
