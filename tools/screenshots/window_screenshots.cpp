// Tool, not a test: drives the real window through launch, a render of Sample 1, the open item
// picker and colour popover, a CSV file's table preview, the Convert CSV menu and a running
// conversion, the hidden grid and full screen, and saves a screenshot of each.
// Run under a display (xvfb-run).
#include "LaunchedWindow.h"
#include "ScreenSave.h"
#include "TestFiles.h"
#include "base/Commands.h"
#include "ui/AppDelegate.h"
#include "ui/ColorPickerPopover.h"
#include "ui/GridView.h"
#include "ui/ItemPickerPopover.h"
#include "ui/Style.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

using namespace plotwell;

int main(int argc, char *argv[])
{
    useOverlayScrollBars(); // as the application does
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Plotwell"));
    applyAppStyle(app);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);

    testing::LaunchedWindow launched;
    AppDelegate &window = launched.window;
    launched.waitForLoad();
    saveScreen(out, "launch.png", 1200);

    launched.loadSampleOne();
    launched.view().renderButton()->click();
    launched.waitForLoad();
    saveScreen(out, "rendered-sample1.png", 2000);

    // The item picker of row 6 and the colour popover of row 5, open over the chart.
    MasterViewController &view = launched.view();
    QWidget *row6 = view.gridView().row(6).container;
    view.scrollView()->verticalScrollBar()->setValue(
        row6->mapTo(view.scrollView()->widget(), QPoint()).y() - 120);
    view.gridView().row(6).select->click();
    saveScreen(out, "item-picker.png", 600);
    view.editing().itemPicker().close();
    view.quickColours().animateCheckmark()->setChecked(false);
    view.pickerButton(5)->click();
    saveScreen(out, "colour-popover.png", 600);
    view.editing().colourPopover().close();

    // A CSV file large enough for its conversion to be seen running.
    QTemporaryDir files;
    const QString csv = files.filePath(QStringLiteral("people.csv"));
    {
        QFile file(csv);
        file.open(QIODevice::WriteOnly);
        file.write("Name,Department,City,Started\n");
        for (int i = 1; i <= 2000000; ++i)
            file.write(QStringLiteral("\"Person %1\",Dept %2,\"City, %3\",2024-%4-01\n")
                           .arg(i)
                           .arg(i % 17)
                           .arg(i % 29)
                           .arg(i % 12 + 1)
                           .toUtf8());
    }
    {
        // The window stays usable while the file is counted; the page follows once it is whole.
        QSignalSpy loaded(launched.webView(), &QWebEngineView::loadFinished);
        view.documents().openFileRequest(csv);
        saveScreen(out, "table-preview-counting.png", 300);
        if (loaded.isEmpty())
            loaded.wait(60000);
    }
    saveScreen(out, "table-preview.png", 1200);

    QMenu *fileMenu = window.menuBar()->actions().value(0)->menu();
    auto *convertMenu = window.findChild<QMenu *>(QStringLiteral("convertMenu"));
    fileMenu->popup(window.menuBar()->mapToGlobal(QPoint(0, window.menuBar()->height())));
    QTest::qWait(300);
    const QRect item = fileMenu->actionGeometry(convertMenu->menuAction());
    fileMenu->setActiveAction(convertMenu->menuAction());
    convertMenu->popup(fileMenu->mapToGlobal(item.topRight()));
    saveScreen(out, "convert-menu.png", 600);
    convertMenu->close();
    fileMenu->close();
    window.action(QStringLiteral("importOpts:"))->trigger();
    saveScreen(out, "csv-panel.png", 600);
    view.optionsPopover().hide();

    QSignalSpy ended(&view.conversions(), &convert::ConversionController::conversionEnded);
    launched.panels.savePaths.push_back(files.filePath(QStringLiteral("people.json")));
    window.action(QStringLiteral("generateJSON:"))->trigger();
    // Shown once the display has published some progress.
    while (view.conversions().isRunning() && window.state().barValue < 20)
        QTest::qWait(20);
    if (!view.conversions().isRunning())
        qWarning("the conversion ended before the screenshot");
    saveScreen(out, "converting.png");
    if (ended.isEmpty())
        ended.wait(120000);
    saveScreen(out, "converted.png", 300);

    // A table wider than the viewer, with more columns than fit.
    {
        QByteArray wide;
        for (int r = 0; r <= 150; ++r) {
            QStringList fields;
            for (int c = 1; c <= 24; ++c)
                fields << (r == 0 ? QStringLiteral("Column %1").arg(c)
                                  : QStringLiteral("r%1c%2").arg(r).arg(c));
            wide += fields.join(QLatin1Char(',')).toUtf8() + '\n';
        }
        view.documents().openFileRequest(
            testing::writeFile(files.filePath(QStringLiteral("wide.csv")), wide));
        launched.waitForLoad();
        saveScreen(out, "table-preview-wide.png", 1200);
    }

    launched.loadSampleOne();
    window.viewController()->hideButton()->click();
    saveScreen(out, "grid-hidden.png", 2000);

    window.viewController()->hideButton()->click();
    window.viewController()->renderButton()->click();
    launched.waitForLoad();
    window.action(QStringLiteral("fScreen:"))->trigger();
    for (int i = 0; i < 50 && !window.isFullScreen(); ++i)
        QTest::qWait(100);
    // A bare X server has no window manager to resize a full-screen window: do its part.
    if (window.size() != window.screen()->size())
        window.setGeometry(window.screen()->geometry());
    saveScreen(out, "fullscreen.png", 2500);
    return 0;
}
