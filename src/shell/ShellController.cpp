#include "shell/ShellController.h"

#include "base/AppState.h"
#include "base/CommandCenter.h"
#include "base/Commands.h"
#include "base/Log.h"
#include "base/ResourceLocator.h"
#include "base/Version.h"
#include "model/ChartEditor.h"
#include "model/ChartGrid.h"
#include "model/SampleCharts.h"
#include "platform/Alerts.h"
#include "platform/Desktop.h"
#include "platform/FilePanels.h"
#include "platform/Preferences.h"
#include "render/Appearance.h"
#include "render/ViewerLoader.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

namespace plotwell {

namespace {
const QString kFullStarted = QStringLiteral("fullStarted");
}

QString howToText()
{
    return QStringList{
        QStringLiteral("\u2022Type your Top Level element in Row 1 & Click 'Render Chart' button, "
                       "then Type the child item directly below it in Row 2 & click the 'SELECT' "
                       "button to Choose a parent. "),
        QStringLiteral("\u2022Type all your other items from Row 3 down. For each item you type, "
                       "Click the 'SELECT' button to Choose the Parent & node position."),
        QStringLiteral("\u2022Right-click a row (or use the Edit menu) to insert, delete or move "
                       "it, or drag a row by its number. In the chart, drag a box onto another "
                       "to make that one its parent, and click a box to find its row. Undo "
                       "(Ctrl+Z) takes back any edit."),
        QStringLiteral(
            "\u2022 To load the sample data on the grid, click the 'LOAD SAMPLE' button."),
        QStringLiteral(
            "\u2022To create a Multi-level Org Chart (Multiple top Level Elements), Simply "
            "Clear the Parent of the item that you want to use as the Top level element "
            "or Type an item & do not assign it any parent. Click load sample & choose "
            "Sample 2 for more info.  "),
        QStringLiteral(
            "\u2022To expose hidden sections of your Chart, scroll left, right, bottom or  "
            "resize your window or use the fullscreen option. "),
        QStringLiteral(
            "\u2022 All Org Chart Titles/Positions should be enclosed in Parenthesis, ex. "
            "Niall Brent(CEO). To manually break a line, type an opening parenthesis "
            "sign '(' where you wish to break it. "),
        QStringLiteral(
            "\u2022Using special characters in Titles may make your Chart NOT to render."),
        QStringLiteral("\u2022 For more info click on the Help Icon on the toolbar."),
    }
        .join(QLatin1Char('\n'));
}

void windowResized(QSizeF frame, AppContext context)
{
    context.state.winWidth = frame.width();
    context.state.winHeight = frame.height();
    diag(QStringLiteral("window width = %1, window height = %2")
             .arg(frame.width(), 0, 'f', 6)
             .arg(frame.height(), 0, 'f', 6));
    const QString fullStarted = context.preferences.value(kFullStarted).value_or(QString());
    diag(QStringLiteral("CALLIING WINDOW RESIZED CALLING WINDOW RESIZED ") + fullStarted);
    context.commands.post(fullStarted != QLatin1String("YES") ? command::resizeWebView
                                                              : command::resizeToFillWebView);
}

ShellController::ShellController(AppContext context, ChartGrid &grid, ViewerLoader &viewers,
                                 ShellView &view)
    : m_context(context), m_grid(grid), m_viewers(viewers), m_view(view)
{
    if (const std::optional<QString> saved = m_context.preferences.value(kSideBarWidthKey))
        m_sideBarWidth = std::max(0.0, saved->toDouble());
}

void ShellController::addHandlers(HandlerTable &table)
{
    table.bind(QStringLiteral("myHelpClick:"), this, &ShellController::myHelpClick);
    table.bind(QStringLiteral("hideSideBar:"), this, &ShellController::hideSideBar);
    table.bind(QStringLiteral("hideGrid:"), this, &ShellController::hideGrid);
    table.bind(QStringLiteral("about:"), this, &ShellController::about);
    table.bind(QStringLiteral("fullScreen:"), this, &ShellController::fullScreen);
    table.bind(QStringLiteral("resizeWebView:"), this, &ShellController::resizeWebView);
    table.bind(QStringLiteral("resizeToFillWebView:"), this, &ShellController::resizeToFillWebView);
    table.add(QStringLiteral("redoAction"), [this](const QVariant &) { m_viewers.redoAction(); });
    table.add(QStringLiteral("undoAction"), [this](const QVariant &) { m_viewers.undoAction(); });
    table.bind(QStringLiteral("myHelpAction:"), this, &ShellController::myHelpAction);
    using Move = ViewerLoader::ChartMove;
    table.add(QStringLiteral("findInChart:"), [this](const QVariant &) {
        m_view.focusChart();
        m_viewers.moveChart(Move::Find);
    });
    table.add(QStringLiteral("zoomChartIn:"),
              [this](const QVariant &) { m_viewers.moveChart(Move::ZoomIn); });
    table.add(QStringLiteral("zoomChartOut:"),
              [this](const QVariant &) { m_viewers.moveChart(Move::ZoomOut); });
    table.add(QStringLiteral("fitChart:"),
              [this](const QVariant &) { m_viewers.moveChart(Move::Fit); });
}

void ShellController::clearFlags()
{
    m_gridHidden = 0;
    m_sideBarHidden = false;
}

double ShellController::windowWidth() const
{
    return m_context.state.winWidth;
}

void ShellController::refreshUnlessConverting()
{
    if (prepareRefreshRequest(m_context.state))
        m_context.commands.post(command::openRecentDocument);
}

void ShellController::resizeWebView()
{
    diag(QStringLiteral("RESIZE CALLED CALLED CALLED CALLED"));
    refreshUnlessConverting();
    const WindowLayout layout =
        computeWindowLayout(windowWidth(), m_view.viewSize().height(), true, m_sideBarWidth);
    showPlaceholderIfEmpty();
    m_view.applyLayout(layout);
    m_htmlWidth = layout.htmlWidth;
    m_context.commands.post(command::triggerHideGrid);
    m_gridHidden = 0;
    m_view.setGridButtonLook(true);
    diag(QStringLiteral("Resizing.."));
}

void ShellController::resizeToFillWebView()
{
    diag(QStringLiteral("RESIZE TO FILL CALLED CALLED CALLED CALLED"));
    m_gridHidden = 1;
    hideGrid();
    diag(QStringLiteral("Resizing to FILL.."));
}

void ShellController::hideGrid()
{
    diag(QStringLiteral("HIDE GRID CALLED CALLED CALLED CALLED"));
    if (m_gridHidden == 1) {
        m_context.commands.post(command::triggerHideGrid);
        resizeWebView();
        m_gridHidden = 0;
        m_view.setGridButtonLook(true);
        return;
    }
    const WindowLayout layout =
        computeWindowLayout(windowWidth(), m_view.viewSize().height(), false, m_sideBarWidth);
    m_htmlWidth = layout.htmlWidth;
    m_view.applyLayout(layout);
    m_view.showProgressIndicator();
    m_context.commands.post(command::triggerShowGrid);
    m_gridHidden = 1;
    m_view.setGridButtonLook(false);
    diag(QStringLiteral("RECENT File URL ") +
         m_context.state.fileUrl.value_or(QStringLiteral("(null)")));
    refreshUnlessConverting();
    showPlaceholderIfEmpty();
}

void ShellController::showPlaceholderIfEmpty()
{
    if (m_grid.title(2).isEmpty())
        m_viewers.showPlaceholder();
}

void ShellController::setSideBarWidth(double width)
{
    m_sideBarWidth = sideBarWidthFor(windowWidth(), width);
    m_context.preferences.setValue(kSideBarWidthKey, QString::number(m_sideBarWidth));
    if (m_gridHidden == 0)
        m_htmlWidth =
            computeWindowLayout(windowWidth(), m_view.viewSize().height(), true, m_sideBarWidth)
                .htmlWidth;
}

void ShellController::hideSideBar()
{
    m_sideBarHidden = !m_sideBarHidden;
    m_view.setSideBarVisible(!m_sideBarHidden);
}

void ShellController::fullScreen()
{
    diag(QStringLiteral("Put Window Fullscreen"));
    const QSizeF screen = m_context.desktop.lastScreenAvailableSize();
    diag(QStringLiteral(" RESOLUTION= ") +
         QString::asprintf("%.1fx%.1f", screen.width(), screen.height()));
    m_view.layoutFullScreenViewer(computeFullScreenLayout(screen, m_view.viewSize()));
    m_context.commands.post(command::toggleFullScreen);
}

void ShellController::willEnterFull()
{
    runGuarded(QStringLiteral("Exception occured at will enter fullscreen"), [&] {
        diag(QStringLiteral("_ DID ENTER"));
        m_context.preferences.setValue(kFullStarted, QStringLiteral("YES"));
        m_context.preferences.sync();
        m_gridHidden = 0;
        hideGrid();
    });
}

void ShellController::didExitFull()
{
    runGuarded(QStringLiteral("Exception occured at did exit"), [&] {
        m_context.preferences.setValue(kFullStarted, QStringLiteral("NO"));
        m_context.preferences.sync();
    });
}

void ShellController::myHelpClick()
{
    if (m_gridHidden == 1)
        hideGrid();
    const QString help = resourcePath(QStringLiteral("orvantaMac.pdf"));
    if (!QFileInfo::exists(help)) {
        m_context.alerts.runModal({QStringLiteral("The help document is missing."),
                                   QStringLiteral("\"%1\" could not be found; reinstalling "
                                                  "Plotwell puts it back.")
                                       .arg(help),
                                   {},
                                   AlertSpec::Style::Warning});
        return;
    }
    m_context.desktop.openExternalUrl(QUrl::fromLocalFile(help));
}

void ShellController::myHelpAction()
{
    diag(QStringLiteral("Calling Help"));
    m_view.showQuickHelp();
}

void ShellController::about()
{
    diag(QStringLiteral("---ABOUT.."));
    m_context.alerts.runModal({applicationName(), QStringLiteral("Version 1.0"), {}, {}});
}

void ShellController::liveSample()
{
    const int answer = m_context.alerts.runModal(sampleChoiceAlert());
    diag(QStringLiteral("rCODE= %1").arg(answer));
    if ((answer == kSampleOneAnswer || answer == kSampleTwoAnswer) && m_askBeforeReplacing &&
        !m_askBeforeReplacing(
            QStringLiteral("Do you want to save the chart before loading the sample?")))
        return;
    if (answer == kSampleOneAnswer) {
        m_context.desktop.setWindowTitle(QStringLiteral("Untitled"));
        m_context.state.saveUrl = QString();
        m_context.preferences.setValue(QStringLiteral("openedFilename"), QString());
        m_context.preferences.sync();
        recordSample([this] { loadSampleData(m_grid, m_context.state); });
    } else if (answer == kSampleTwoAnswer) {
        recordSample([this] { loadSampleData2(m_grid, m_context.state); });
    } else {
        return;
    }
    // The layout pass shows the chart title view and marks the grid as shown.
    resizeWebView();
}

void ShellController::recordSample(const std::function<void()> &load)
{
    if (m_editor)
        m_editor->record(QStringLiteral("Load Sample"), load);
    else
        load();
}

void ShellController::showInfo()
{
    m_context.alerts.runModal({QStringLiteral("Creating an Org Chart"), howToText(), {}, {}});
}

} // namespace plotwell

namespace plotwell {

void downloadHelp(AppContext context)
{
    const std::optional<QString> target = context.filePanels.chooseSavePath(
        {{QStringLiteral("pdf")}, QStringLiteral("orvantaMac"), QStringLiteral("Save Help")});
    if (!target) {
        diag(QStringLiteral("Did not save"));
        return;
    }
    diag(QStringLiteral("FILENAME= ") + QFileInfo(*target).fileName());
    QFile source(resourcePath(QStringLiteral("orvantaMac.pdf")));
    QString problem;
    if (!source.open(QIODevice::ReadOnly)) {
        problem = source.errorString();
    } else {
        const QByteArray pdf = source.readAll();
        QSaveFile out(*target);
        if (!out.open(QIODevice::WriteOnly) || out.write(pdf) != pdf.size() || !out.commit())
            problem = out.errorString();
    }
    if (!problem.isEmpty()) {
        context.alerts.runModal({QStringLiteral("The help document could not be saved."),
                                 problem,
                                 {},
                                 AlertSpec::Style::Warning});
    }
}

} // namespace plotwell
