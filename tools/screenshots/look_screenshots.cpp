// Tool, not a test: the window as a person first meets it, at one window size: launch, both
// samples drawn, the item picker and the colour popover, a 93-row chart fitted and zoomed in, a
// search with matches and a folded branch. Run under a display (scripts/screenshots.sh look).
// Usage: ui_look_screenshots OUT-DIR [WIDTHxHEIGHT]
#include "LaunchedWindow.h"
#include "base/ResourceLocator.h"
#include "document/DocumentController.h"
#include "render/ViewerLoader.h"
#include "ui/AppDelegate.h"
#include "ui/ColorPickerPopover.h"
#include "ui/GridView.h"
#include "ui/ItemPickerPopover.h"
#include "ui/Style.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace plotwell;

namespace {

QString g_out;
QRect g_window;

/// Lets the window settle for \a ms, then saves the window's part of the screen as \a name.
void save(const char *name, int ms = 600)
{
    QTest::qWait(ms);
    const QString path = QDir(g_out).filePath(QLatin1String(name));
    QGuiApplication::primaryScreen()
        ->grabWindow(0, g_window.x(), g_window.y(), g_window.width(), g_window.height())
        .save(path);
    qInfo().noquote() << "saved" << path;
}

void runScript(testing::LaunchedWindow &w, const QString &script)
{
    w.webView()->page()->runJavaScript(script);
}

} // namespace

int main(int argc, char *argv[])
{
    useOverlayScrollBars(); // as the application does
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Plotwell"));
    applyAppStyle(app);
    g_out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(g_out);
    QSize size(1280, 800);
    if (argc > 2) {
        const QStringList parts = QString::fromLocal8Bit(argv[2]).split(QLatin1Char('x'));
        if (parts.size() == 2)
            size = QSize(parts[0].toInt(), parts[1].toInt());
    }

    testing::LaunchedWindow launched(size);
    AppDelegate &window = launched.window;
    window.move(0, 0);
    launched.waitForLoad();
    g_window = QRect(window.frameGeometry().topLeft(), window.frameGeometry().size());
    MasterViewController &view = launched.view();
    save("launch.png", 1200);

    launched.loadSampleOne();
    view.renderButton()->click();
    launched.waitForLoad();
    save("sample1.png", 1500);

    launched.alerts.answers = {kFirstButton + 1}; // "Sample 2"
    view.liveSample();
    launched.waitForLoad();
    view.renderButton()->click();
    launched.waitForLoad();
    save("sample2.png", 1500);

    view.gridView().row(6).select->click();
    save("item-picker.png");
    view.editing().itemPicker().close();
    view.quickColours().animateCheckmark()->setChecked(false);
    view.pickerButton(5)->click();
    save("colour-popover.png");
    view.editing().colourPopover().close();

    // 93 people: a director, five heads, and teams under them.
    ChartGrid &grid = view.grid();
    for (int row = 1; row <= kRowCount; ++row) {
        grid.setTitle(row, row == 1 ? QStringLiteral("Ada Quinn(Director)")
                                    : QStringLiteral("Person %1(Team %2)").arg(row).arg(row % 7));
        grid.setParent(row,
                       row == 1 ? QString() : QString::number(row <= 6 ? 1 : (row - 2) / 5 + 1));
        grid.setPosition(row, row <= 6 || row % 5 ? QStringLiteral("u") : QStringLiteral("NULL"));
    }
    view.renderButton()->click();
    launched.waitForLoad();
    save("chart93-fit.png", 1500);
    for (int i = 0; i < 4; ++i)
        view.viewerLoader().moveChart(ViewerLoader::ChartMove::ZoomIn);
    save("chart93-zoomed.png", 800);
    view.viewerLoader().moveChart(ViewerLoader::ChartMove::Fit);
    runScript(launched, QStringLiteral("plotwellView.openSearch(); plotwellSearch('Team 3');"));
    save("chart93-search.png", 1000);
    runScript(launched, QStringLiteral("plotwellSearch(''); plotwellView.fold(2);"
                                       " plotwellView.fold(4); plotwellView.fit();"));
    save("chart93-folded.png", 1000);

    view.documents().openFileRequest(resourcePath(QStringLiteral("SAMPLE_DATA.csv")));
    if (!QTest::qWaitFor([&] { return view.documents().isPreviewShown(); }, 60000))
        qWarning("the table preview did not show");
    save("table-preview.png", 1200);
    return 0;
}
