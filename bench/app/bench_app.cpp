// Times the application against a bare QWebEngineView: launch to the first painted page,
// Render Chart to the finished load of the chart, and the whole way from nothing to the first
// chart painted against the bare view's way to its painted blank page (the goal: 1.5 times),
// with the stages in between. A third side, the page alone, is a bare view that loads the chart
// page and draws Sample 1 in it with no window around it: what the page itself costs, which no
// work on the window can take away. Each side runs in a fresh process of its own (the web
// engine's start-up is part of launch), several times; the medians are compared. Last, the
// charts people draw again and again once the window is up: a full grid of 93 rows and a staff
// list of 1,000 people, each drawn as the window draws it, from the call to the chart painted.
#include "LaunchedWindow.h"
#include "StaffTestSupport.h"
#include "colour/SwatchBoard.h"
#include "commands/RequestCommand.h"
#include "platform/qt/WebEngineChartViewer.h"
#include "render/Appearance.h"
#include "render/DataString.h"
#include "render/PageRequest.h"
#include "staff/Organisation.h"
#include "staff/StaffChart.h"
#include "staff/StaffColumns.h"
#include "staff/StaffTable.h"
#include "ui/AppDelegate.h"
#include "ui/Style.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextStream>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>

using namespace plotwell;

namespace {

constexpr int kRuns = 11; // enough for medians that a second run reproduces
constexpr int kTimeoutMs = 30000;

bool waitForLoad(QWebEngineView *view)
{
    QSignalSpy spy(view, &QWebEngineView::loadFinished);
    return spy.wait(kTimeoutMs);
}

/// Waits for the next frame the page draws after its load: what the user sees.
bool waitForPaint(QWebEngineView *view)
{
    view->page()->runJavaScript(QStringLiteral(
        "window.__painted = 0; requestAnimationFrame(() => { window.__painted = 1; });"));
    bool painted = false;
    QElapsedTimer timer;
    timer.start();
    while (!painted && timer.elapsed() < kTimeoutMs) {
        bool answered = false;
        view->page()->runJavaScript(QStringLiteral("window.__painted"), [&](const QVariant &value) {
            painted = value.toInt() == 1;
            answered = true;
        });
        while (!answered && timer.elapsed() < kTimeoutMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    }
    return painted;
}

/// One run's times in milliseconds from the process start, by stage name; printed as
/// "name=ms" words on one line for the parent process.
using Stages = QList<QPair<QString, double>>;

void printStages(const Stages &stages)
{
    QStringList words;
    for (const auto &[name, ms] : stages)
        words << name + QLatin1Char('=') + QString::number(ms);
    std::printf("%s\n", qPrintable(words.join(QLatin1Char(' '))));
    std::fflush(stdout);
}

/// From the view's first page asked for to that page loaded and painted: the "window",
/// "page-loaded" and "launch" stages, timed from the process start.
bool waitForFirstPage(QWebEngineView *view, const QElapsedTimer &launch, Stages &stages)
{
    stages.append({QStringLiteral("window"), double(launch.elapsed())});
    if (!waitForLoad(view))
        return false;
    stages.append({QStringLiteral("page-loaded"), double(launch.elapsed())});
    if (!waitForPaint(view))
        return false;
    stages.append({QStringLiteral("launch"), double(launch.elapsed())});
    return true;
}

/// Once a chart is drawn: the page's own account of its drawing ("page-draw", the rest of
/// "render" being the way there and back), then the chart painted ("first-chart", added to
/// the launch).
bool finishFirstChart(QWebEngineView *view, double launchMs, const QElapsedTimer &render,
                      Stages &stages)
{
    double pageDrawMs = -1;
    view->page()->runJavaScript(
        QStringLiteral("(document.querySelector('svg.orgchart') || {getAttribute() {}})"
                       ".getAttribute('data-render-ms')"),
        [&pageDrawMs](const QVariant &ms) { pageDrawMs = ms.toDouble(); });
    if (!waitForPaint(view) || pageDrawMs < 0)
        return false;
    stages.append({QStringLiteral("page-draw"), pageDrawMs});
    stages.append({QStringLiteral("first-chart"), launchMs + double(render.elapsed())});
    return true;
}

/// From nothing to the painted start page, then from a click of Render Chart (Sample 1) to the
/// chart drawn and painted. The person's part (choosing the sample) is not timed: the render
/// stages count from the click, and "first-chart" adds them to the launch.
int runApp(int argc, char *argv[])
{
    QElapsedTimer launch;
    launch.start();
    QApplication app(argc, argv);
    applyAppStyle(app);
    testing::LaunchedWindow launched;
    Stages stages;
    QWebEngineView *webView = launched.webView();
    if (!waitForFirstPage(webView, launch, stages))
        return 1;
    const double launchMs = stages.last().second;

    // Choosing the sample loads no page of its own while the start screen shows, so waiting
    // for one would only add the timeout.
    launched.alerts.answers = {kFirstButton};
    launched.view().liveSample();
    QElapsedTimer render;
    render.start();
    // The chart is drawn in the page already loaded: the viewer, not the web view, says when.
    QSignalSpy drawn(launched.view().viewers().webView, &ChartViewer::loadFinished);
    launched.view().renderButton()->click();
    if (!drawn.wait(kTimeoutMs))
        return 1;
    stages.append({QStringLiteral("render"), double(render.elapsed())});
    if (!finishFirstChart(webView, launchMs, render, stages))
        return 1;
    printStages(stages);
    return 0;
}

/// A bare view of the window's size with nothing around it. Without \a chartPage: start to a
/// painted blank page, then a second blank page's load. With it, the page alone: the chart page
/// the window starts on, then Sample 1 drawn in it as the window draws it (the same script, the
/// same address). The window's first chart cannot come sooner than the page alone's.
int runBareView(int argc, char *argv[], bool chartPage)
{
    QElapsedTimer launch;
    launch.start();
    QApplication app(argc, argv);
    QWebEngineView view;
    view.resize(1280, 800);
    view.show();
    if (chartPage)
        view.load(placeholderUrl());
    else
        view.setHtml(QStringLiteral("<html><body></body></html>"));
    Stages stages;
    if (!waitForFirstPage(&view, launch, stages))
        return 1;
    const double launchMs = stages.last().second;
    if (!chartPage) {
        QElapsedTimer load;
        load.start();
        view.load(QUrl(QStringLiteral("about:blank")));
        if (!waitForLoad(&view))
            return 1;
        stages.append({QStringLiteral("render"), double(load.elapsed())});
        printStages(stages);
        return 0;
    }

    const QString address = sampleViewerRequest(1);
    QElapsedTimer render;
    render.start();
    bool drawn = false;
    bool answered = false;
    view.page()->runJavaScript(
        QStringLiteral("window.Orgchart && Orgchart.stepTo ? Orgchart.stepTo(%1, false) === true "
                       ": false")
            .arg(scriptString(address)),
        [&](const QVariant &result) {
            drawn = result.toBool();
            answered = true;
        });
    while (!answered && render.elapsed() < kTimeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    if (!drawn)
        return 1;
    stages.append({QStringLiteral("render"), double(render.elapsed())});
    if (!finishFirstChart(&view, launchMs, render, stages))
        return 1;
    printStages(stages);
    return 0;
}

/// A full grid: 93 rows, each under the row a quarter of its number up.
/// A grid as a new window starts it: its colours and chart type set, no titles.
void startAsAWindow(ChartGrid &grid)
{
    applyStartupSlotTexts(grid);
    grid.setSetting(ChartSetting::Ctype, getCtype(kOrgChartTypeLabel).value_or(QString()));
}

QUrl fullGridRequest()
{
    ChartGrid grid;
    AppState state;
    startAsAWindow(grid);
    for (int row = 1; row <= kRowCount; ++row) {
        grid.setTitle(row, QStringLiteral("Person %1(Senior Job Title %2)").arg(row).arg(row % 7));
        if (row > 1)
            grid.setParent(row, QString::number((row - 2) / 4 + 1));
    }
    return requestUrl(
        viewerRequest(gatherRequestSettings(grid, state), submitData(grid, state).dataString));
}

/// The whole organisation of a made-up staff list, as Import Staff List draws it in the viewer.
ScriptedRequest staffRequest(int people)
{
    const staff::StaffTable table = staff::readStaffTable(staff::test::generateStaff(people).csv);
    const staff::Organisation organisation =
        staff::buildOrganisation(table, staff::guessColumns(table.header));
    ChartGrid grid;
    AppState state;
    startAsAWindow(grid);
    const QString data = staff::staffDataString(
        organisation, staff::chartOrder(organisation, staff::everyone(organisation)));
    return scriptedRequest(requestUrl(viewerRequest(gatherRequestSettings(grid, state), data)));
}

/// The window's viewer on a bare view, showing the start page; then each chart drawn in turn,
/// several times, timed from the call to the chart painted.
int runRedraws(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWebEngineView view;
    view.resize(1280, 800);
    view.show();
    WebEngineChartViewer viewer(&view);
    viewer.setDrawsInPlace(true);
    QSignalSpy finished(&viewer, &ChartViewer::loadFinished);
    const auto drawn = [&] {
        return finished.wait(kTimeoutMs) && finished.last().first().toBool();
    };
    viewer.load(placeholderUrl());
    if (!drawn())
        return 1;
    const QUrl grid = fullGridRequest();
    const ScriptedRequest staff = staffRequest(1000);
    Stages stages;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer timer;
        timer.start();
        viewer.load(grid);
        if (!drawn() || !waitForPaint(&view))
            return 1;
        stages.append({QStringLiteral("grid-93"), double(timer.elapsed())});
        timer.start();
        viewer.loadThenRun(staff.page, staff.script);
        if (!drawn() || !waitForPaint(&view))
            return 1;
        stages.append({QStringLiteral("staff-1000"), double(timer.elapsed())});
    }
    printStages(stages);
    return 0;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

using Runs = QMap<QString, QList<double>>;

bool runChild(const QString &self, const QString &mode, Runs &runs)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(self, {mode});
    if (!child.waitForFinished(2 * kTimeoutMs) || child.exitCode() != 0) {
        std::fprintf(stderr, "bench_app: %s run failed\n", qPrintable(mode));
        return false;
    }
    const QStringList words = QString::fromLatin1(child.readAllStandardOutput())
                                  .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &word : words)
        runs[word.section(QLatin1Char('='), 0, 0)] << word.section(QLatin1Char('='), 1).toDouble();
    return true;
}

int compare(const QString &self)
{
    Runs app, bare, page, redraws;
    for (int run = 0; run < kRuns; ++run) {
        if (!runChild(self, QStringLiteral("--app"), app) ||
            !runChild(self, QStringLiteral("--bare"), bare) ||
            !runChild(self, QStringLiteral("--page"), page))
            return 1;
    }
    if (!runChild(self, QStringLiteral("--redraw"), redraws))
        return 1;
    const auto ms = [](const Runs &runs, const char *stage) {
        return median(runs.value(QLatin1String(stage)));
    };
    const auto ratio = [](double a, double b) { return QString::number(a / b, 'f', 2); };
    QTextStream out(stdout);
    out << "medians of " << kRuns << " runs, each side in a fresh process\n";
    out << "launch to first painted page:  app " << ms(app, "launch") << " ms, bare view "
        << ms(bare, "launch") << " ms, ratio " << ratio(ms(app, "launch"), ms(bare, "launch"))
        << '\n';
    out << "Render to the chart drawn:     app " << ms(app, "render") << " ms, bare blank load "
        << ms(bare, "render") << " ms, ratio " << ratio(ms(app, "render"), ms(bare, "render"))
        << '\n';
    out << "start to first chart painted:  app " << ms(app, "first-chart")
        << " ms, bare view to its blank page " << ms(bare, "launch") << " ms, ratio "
        << ratio(ms(app, "first-chart"), ms(bare, "launch")) << " (goal 1.5)\n";
    // Where the time goes: each stage from the process start, the render's from the click.
    out << "stages, app (bare): window built and shown " << ms(app, "window") << " ("
        << ms(bare, "window") << "), start page loaded " << ms(app, "page-loaded") << " ("
        << ms(bare, "page-loaded") << "), painted " << ms(app, "launch") << " ("
        << ms(bare, "launch") << "); the page's drawing of the chart " << ms(app, "page-draw")
        << " of the render's " << ms(app, "render") << " ms\n";
    out << "the page alone, a bare view that loads the chart page and draws Sample 1 in it: "
        << "its page loaded " << ms(page, "page-loaded") << ", painted " << ms(page, "launch")
        << ", the chart drawn in " << ms(page, "render") << " (" << ms(page, "page-draw")
        << " of it the page's own) and painted " << ms(page, "first-chart")
        << " ms; the app's first chart is "
        << ratio(ms(app, "first-chart"), ms(page, "first-chart")) << " times that\n";
    out << "drawn again in the page on show, from the call to the chart painted (medians of "
        << redraws.value(QStringLiteral("grid-93")).size() << "): a full grid of 93 rows "
        << ms(redraws, "grid-93") << " ms, a staff list of 1,000 people "
        << ms(redraws, "staff-1000") << " ms (with its page's load)\n";
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Without a display there is no GL; the web view then draws through Qt Quick's
        // software renderer.
        qputenv("QT_QUICK_BACKEND", "software");
    }
    if (qEnvironmentVariableIsEmpty("PLOTWELL_RESOURCE_DIR"))
        qputenv("PLOTWELL_RESOURCE_DIR", PLOTWELL_RESOURCE_OUT);
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    // As the window program does: the web engine shares its GL context with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QLoggingCategory::setFilterRules(
        QStringLiteral("plotwell.info=false\njs.*=false\nqt.webenginecontext.info=false"));
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("--app"))
        return runApp(argc, argv);
    if (mode == QLatin1String("--bare"))
        return runBareView(argc, argv, false);
    if (mode == QLatin1String("--page"))
        return runBareView(argc, argv, true);
    if (mode == QLatin1String("--redraw"))
        return runRedraws(argc, argv);
    return compare(QString::fromLocal8Bit(argv[0]));
}
