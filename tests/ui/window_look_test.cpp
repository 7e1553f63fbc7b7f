// What a person sees of the window: the grid as a table, popovers inside the window and closed
// by Escape, swatches that follow their text, the splitter.
#include "TestWindow.h"
#include "base/ChartAppearance.h"
#include "ui/AppearancePanel.h"
#include "ui/ColorPickerPopover.h"
#include "ui/GridView.h"
#include "ui/ItemPickerPopover.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <QToolButton>

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
    void gridShowsTwentyCompactRowsAt1280By800();
    void titlesWidenWithTheSidebar();
    void popoversStayInsideTheWindowAndEscapeClosesThem_data();
    void popoversStayInsideTheWindowAndEscapeClosesThem();
    void swatchesFollowTheirTypedText();
    void defaultFontIsInstalledAndTheFontDrawnIsShown();
    void startScreenOffersEachWayIn();
};

void WindowLookTest::gridShowsTwentyCompactRowsAt1280By800()
{
    ShownWindow w;
    QVERIFY2(rowsInView(w.view()) >= 20, qPrintable(QString::number(rowsInView(w.view()))));
    QVERIFY(w.view().gridView().row(1).container->height() <= 30);
    // The parent reads as its name, the reference stays in the grid.
    w.view().grid().setParent(2, QStringLiteral("1_Person 1(Team 1)"));
    QCOMPARE(w.view().gridView().row(2).parent->text(), QStringLiteral("Person 1(Team 1)"));
    w.view().grid().setTitle(1, QStringLiteral("Renamed"));
    QCOMPARE(w.view().gridView().row(2).parent->text(), QStringLiteral("Renamed"));
}

void WindowLookTest::titlesWidenWithTheSidebar()
{
    ShownWindow w;
    QSplitter *splitter = w.view().splitter();
    QLineEdit *title = w.view().gridView().row(1).title;
    const int narrow = title->width();
    splitter->setSizes({splitter->sizes().at(0) + 200, splitter->sizes().at(1) - 200});
    Q_EMIT splitter->splitterMoved(splitter->sizes().at(0), 1);
    QTRY_VERIFY(title->width() > narrow + 80);
    QCOMPARE(w.preferences.value(kSideBarWidthKey),
             std::optional<QString>(QString::number(w.view().shell().sideBarWidth())));
}

void WindowLookTest::popoversStayInsideTheWindowAndEscapeClosesThem_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("800x600") << QSize(800, 600);
    QTest::newRow("1024x700") << QSize(1024, 700);
    QTest::newRow("1280x800") << QSize(1280, 800);
}

void WindowLookTest::popoversStayInsideTheWindowAndEscapeClosesThem()
{
    QFETCH(QSize, size);
    ShownWindow w(size);
    MasterViewController &view = w.view();
    view.scrollView()->verticalScrollBar()->setValue(
        view.scrollView()->verticalScrollBar()->maximum());
    const struct
    {
        const char *name;
        std::function<QWidget *()> show;
    } popovers[] = {
        {"options",
         [&] {
             view.showOptions(OptionsPopover::Panel::Help, view.helpButton());
             return &view.optionsPopover();
         }},
        {"quick help",
         [&] {
             view.shell().myHelpAction();
             return view.findChild<QuickHelpPopover *>();
         }},
        {"item picker",
         [&] {
             view.gridView().row(kRowCount).select->click();
             return static_cast<QWidget *>(&view.editing().itemPicker());
         }},
        {"colour of the last row",
         [&] {
             view.pickerButton(kRowCount)->click();
             return static_cast<QWidget *>(&view.editing().colourPopover());
         }},
        {"colour, full panel",
         [&] {
             view.pickerButton(kRowCount)->click();
             view.editing().colourPopover().moreColoursButton()->setChecked(true);
             return static_cast<QWidget *>(&view.editing().colourPopover());
         }},
    };
    for (const auto &p : popovers) {
        QWidget *popover = p.show();
        QVERIFY2(popover && popover->isVisible(), p.name);
        const QRect area = w.windowArea();
        QVERIFY2(area.contains(popover->frameGeometry()) ||
                     (popover->width() > area.width() || popover->height() > area.height()),
                 qPrintable(QStringLiteral("%1: %2,%3 %4x%5 outside %6x%7")
                                .arg(QLatin1String(p.name))
                                .arg(popover->x())
                                .arg(popover->y())
                                .arg(popover->width())
                                .arg(popover->height())
                                .arg(area.width())
                                .arg(area.height())));
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus && popover->isAncestorOf(focus) ? focus : popover, Qt::Key_Escape);
        QVERIFY2(!popover->isVisible(), p.name);
        view.editing().colourPopover().moreColoursButton()->setChecked(false);
    }
}

void WindowLookTest::swatchesFollowTheirTypedText()
{
    ShownWindow w;
    MasterViewController &view = w.view();
    const struct
    {
        int slot;
        QLineEdit *field;
    } fields[] = {
        {5, view.gridView().row(5).hex},
        {kRowCount, view.gridView().row(kRowCount).hex},
        {kBackgroundSlot, view.findChild<QLineEdit *>(QStringLiteral("hexBackBg"))},
    };
    for (const auto &f : fields) {
        const QColor before = view.swatchView(f.slot)->colour();
        f.field->selectAll();
        QTest::keyClicks(f.field, QStringLiteral("#12"));
        QCOMPARE(view.swatchView(f.slot)->colour(), before); // not a colour yet
        QTest::keyClicks(f.field, QStringLiteral("AB3F"));
        QCOMPARE(view.swatchView(f.slot)->colour(), QColor(0x12, 0xab, 0x3f));
    }
    // The colour popover's own hex field picks as it is typed.
    view.pickerButton(5)->click();
    QLineEdit *hex = view.editing().colourPopover().hexField();
    hex->selectAll();
    QTest::keyClicks(hex, QStringLiteral("0a0b0c"));
    QCOMPARE(view.grid().colour(5), QStringLiteral("#0A0B0C"));
    QCOMPARE(view.swatchView(5)->colour(), QColor(0x0a, 0x0b, 0x0c));
}

void WindowLookTest::defaultFontIsInstalledAndTheFontDrawnIsShown()
{
    // fonts-linuxlibertine, from the run set of scripts/install-deps.sh.
    const QString start = ChartAppearance().fontFamily;
    QCOMPARE(fontFamilyInUse(start), start);
    ShownWindow w;
    AppearancePanel &panel = w.view().appearance();
    QCOMPARE(panel.combo(AppearancePanel::Setting::FontFamily)->currentText(), start);
    QCOMPARE(panel.fontInUse()->text(), QStringLiteral("Installed"));
    // A document may name a family this computer lacks: it stays chosen, and says so.
    panel.showValue(AppearancePanel::Setting::FontFamily, QStringLiteral("No Such Face Pro"));
    QCOMPARE(panel.selectedValue(AppearancePanel::Setting::FontFamily),
             QStringLiteral("No Such Face Pro"));
    QCOMPARE(panel.fontInUse()->text(),
             QStringLiteral("Not installed: drawn in ") + fontFamilyInUse("No Such Face Pro"));
}

void WindowLookTest::startScreenOffersEachWayIn()
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
    QVERIFY(w.alerts.shown.empty());
    button("startStaffButton")->click();
    QCOMPARE(w.panels.openPanelCount, 2);
    QCOMPARE(w.alerts.messages(), QStringList{"The staff list could not be read."});
}

QTEST_MAIN(WindowLookTest)
#include "window_look_test.moc"
