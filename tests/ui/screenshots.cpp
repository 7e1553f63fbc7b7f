// Tool, not a test: drives the real window through launch, a render of Sample 1, the open item
// picker and colour popover, a CSV file's table preview, the Convert CSV menu and a running
// conversion, the hidden grid and full screen, and saves a screenshot of each.
// Run under a display (xvfb-run).
#include "LaunchedWindow.h"
#include "app/Commands.h"
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

namespace {

void settle(int ms = 1200)
{
    QTest::qWait(ms);
}

void save(const QString &dir, const QString &name)
{
    const QString path = QDir(dir).filePath(name);
    QGuiApplication::primaryScreen()->grabWindow(0).save(path);
    qInfo().noquote() << "saved" << path;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Plotwell"));
    applyAppStyle(app);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);

    testing::LaunchedWindow launched;
    AppDelegate &window = launched.window;
    launched.waitForLoad();
    settle();
    save(out, QStringLiteral("launch.png"));

    launched.loadSampleOne();
    launched.view().renderButton()->click();
    launched.waitForLoad();
    settle(2000);
    save(out, QStringLiteral("rendered-sample1.png"));

    // The item picker of row 6 and the colour popover of row 5, open over the chart.
    MasterViewController &view = launched.view();
    QWidget *row6 = view.gridView().row(6).container;
    view.scrollView()->verticalScrollBar()->setValue(
        row6->mapTo(view.scrollView()->widget(), QPoint()).y() - 120);
    view.gridView().row(6).select->click();
    settle(600);
    save(out, QStringLiteral("item-picker.png"));
    view.editing().itemPicker().close();
    view.quickColours().animateCheckmark()->setChecked(false);
    view.pickerButton(5)->click();
    settle(600);
    save(out, QStringLiteral("colour-popover.png"));
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
    view.documents().openFileRequest(csv);
    launched.waitForLoad();
    settle();
    save(out, QStringLiteral("table-preview.png"));

    QMenu *fileMenu = window.menuBar()->actions().value(0)->menu();
    auto *convertMenu = window.findChild<QMenu *>(QStringLiteral("convertMenu"));
    fileMenu->popup(window.menuBar()->mapToGlobal(QPoint(0, window.menuBar()->height())));
    settle(300);
    const QRect item = fileMenu->actionGeometry(convertMenu->menuAction());
    fileMenu->setActiveAction(convertMenu->menuAction());
    convertMenu->popup(fileMenu->mapToGlobal(item.topRight()));
    settle(600);
    save(out, QStringLiteral("convert-menu.png"));
    convertMenu->close();
    fileMenu->close();
    window.action(QStringLiteral("importOpts:"))->trigger();
    settle(600);
    save(out, QStringLiteral("csv-panel.png"));
    view.optionsPopover().hide();

    QSignalSpy ended(&view.conversions(), &convert::ConversionController::conversionEnded);
    launched.panels.savePaths.push_back(files.filePath(QStringLiteral("people.json")));
    window.action(QStringLiteral("generateJSON:"))->trigger();
    // Shown once the display has published some progress.
    while (view.conversions().isRunning() && window.state().barValueNumber() < 20)
        settle(20);
    if (!view.conversions().isRunning())
        qWarning("the conversion ended before the screenshot");
    save(out, QStringLiteral("converting.png"));
    if (ended.isEmpty())
        ended.wait(120000);
    settle(300);
    save(out, QStringLiteral("converted.png"));

    launched.loadSampleOne();
    window.viewController()->hideButton()->click();
    settle(2000);
    save(out, QStringLiteral("grid-hidden.png"));

    window.viewController()->hideButton()->click();
    window.viewController()->renderButton()->click();
    launched.waitForLoad();
    window.action(QStringLiteral("fScreen:"))->trigger();
    for (int i = 0; i < 50 && !window.isFullScreen(); ++i)
        settle(100);
    // A bare X server has no window manager to resize a full-screen window: do its part.
    if (window.size() != window.screen()->size())
        window.setGeometry(window.screen()->geometry());
    settle(2500);
    save(out, QStringLiteral("fullscreen.png"));
    return 0;
}
