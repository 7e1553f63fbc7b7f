// Times the application against a bare QWebEngineView: launch to the first painted page,
// Render Chart to the finished load of the chart, and the whole way from nothing to the first
// chart painted against the bare view's way to its painted blank page (the goal: 1.5 times). Each
// side runs in a fresh process of its own (the web engine's start-up is part of launch), several
// times; the medians are compared.
#include "LaunchedWindow.h"
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

constexpr int kRuns = 5;
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

/// "launch render first-chart": milliseconds from nothing to the painted page, from a click of
/// Render Chart (Sample 1) to the chart drawn, and the two ways together (to the chart
/// painted) without the time the person takes to ask for it.
int runApp(int argc, char *argv[])
{
    QElapsedTimer launch;
    launch.start();
    QApplication app(argc, argv);
    applyAppStyle(app);
    testing::LaunchedWindow launched;
    QWebEngineView *webView = launched.webView();
    if (!waitForLoad(webView) || !waitForPaint(webView))
        return 1;
    const qint64 launchMs = launch.elapsed();

    // The person's part (choosing the sample) is not timed. It loads no page of its own
    // while the start screen shows, so waiting for one would only add the timeout.
    launched.alerts.answers = {kFirstButton};
    launched.view().liveSample();
    QElapsedTimer render;
    render.start();
    // The chart is drawn in the page already loaded: the viewer, not the web view, says when.
    QSignalSpy drawn(launched.view().viewers().webView, &ChartViewer::loadFinished);
    launched.view().renderButton()->click();
    if (!drawn.wait(kTimeoutMs))
        return 1;
    const qint64 renderMs = render.elapsed();
    if (!waitForPaint(webView))
        return 1;
    const qint64 firstChartMs = launchMs + render.elapsed();
    std::printf("%lld %lld %lld\n", static_cast<long long>(launchMs),
                static_cast<long long>(renderMs), static_cast<long long>(firstChartMs));
    std::fflush(stdout);
    return 0;
}

/// The same two timings for a bare view: start to a painted blank page, then a second blank
/// page's load.
int runBare(int argc, char *argv[])
{
    QElapsedTimer launch;
    launch.start();
    QApplication app(argc, argv);
    QWebEngineView view;
    view.resize(1280, 800);
    view.show();
    view.setHtml(QStringLiteral("<html><body></body></html>"));
    if (!waitForLoad(&view) || !waitForPaint(&view))
        return 1;
    const qint64 launchMs = launch.elapsed();
    QElapsedTimer load;
    load.start();
    view.load(QUrl(QStringLiteral("about:blank")));
    if (!waitForLoad(&view))
        return 1;
    const qint64 loadMs = load.elapsed();
    std::printf("%lld %lld %lld\n", static_cast<long long>(launchMs),
                static_cast<long long>(loadMs), static_cast<long long>(launchMs));
    std::fflush(stdout);
    return 0;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

int compare(const QString &self)
{
    QList<double> appLaunch, appRender, appFirstChart, bareLaunch, bareLoad, bareFirstPage;
    for (int run = 0; run < kRuns; ++run) {
        for (const QString &mode : {QStringLiteral("--app"), QStringLiteral("--bare")}) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(self, {mode});
            if (!child.waitForFinished(2 * kTimeoutMs) || child.exitCode() != 0) {
                std::fprintf(stderr, "bench_app: %s run failed\n", qPrintable(mode));
                return 1;
            }
            const QStringList numbers = QString::fromLatin1(child.readAllStandardOutput())
                                            .split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (numbers.size() != 3)
                return 1;
            (mode == QLatin1String("--app") ? appLaunch : bareLaunch) << numbers[0].toDouble();
            (mode == QLatin1String("--app") ? appRender : bareLoad) << numbers[1].toDouble();
            (mode == QLatin1String("--app") ? appFirstChart : bareFirstPage)
                << numbers[2].trimmed().toDouble();
        }
    }
    QTextStream out(stdout);
    out << "medians of " << kRuns << " runs, each side in a fresh process\n";
    out << "launch to first painted page:  app " << median(appLaunch) << " ms, bare view "
        << median(bareLaunch) << " ms, ratio "
        << QString::number(median(appLaunch) / median(bareLaunch), 'f', 2) << '\n';
    out << "Render to the chart drawn:     app " << median(appRender) << " ms, bare blank load "
        << median(bareLoad) << " ms, ratio "
        << QString::number(median(appRender) / median(bareLoad), 'f', 2) << '\n';
    out << "start to first chart painted:  app " << median(appFirstChart)
        << " ms, bare view to its blank page " << median(bareFirstPage) << " ms, ratio "
        << QString::number(median(appFirstChart) / median(bareFirstPage), 'f', 2)
        << " (goal 1.5)\n";
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
    QLoggingCategory::setFilterRules(QStringLiteral("plotwell.info=false\njs.*=false"));
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("--app"))
        return runApp(argc, argv);
    if (mode == QLatin1String("--bare"))
        return runBare(argc, argv);
    return compare(QString::fromLocal8Bit(argv[0]));
}
