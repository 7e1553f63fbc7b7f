#include "ui/RenderCommand.h"

#include "commands/HeadlessPorts.h"
#include "export/ChartExporter.h"
#include "platform/qt/QtPorts.h"
#include "platform/qt/WebEngineChartPictures.h"
#include "platform/qt/WebEngineChartViewer.h"
#include "render/Appearance.h"
#include "shell/ChartWorkspace.h"
#include "shell/WindowLayout.h"
#include "ui/OrganisationFile.h"
#include "ui/StaffRenderCommand.h"
#include "ui/Style.h"

#include <QApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTextStream>
#include <QTimer>
#include <QWebEngineView>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace plotwell {

namespace {

struct RenderOptions
{
    int sample = 1;
    QString csv;
    QString output;
    bool hires = false;
};

constexpr char kUsage[] =
    "Usage: plotwell render [--sample 1|2 | CHART.csv] -o OUT.png|OUT.pdf [--hires]\n"
    "Draws a sample chart, or the chart of CHART.csv, off screen and writes it as a picture or\n"
    "a PDF; --hires draws the picture at twice the size. Needs no display.\n";

std::optional<RenderOptions> parseOptions(const QStringList &args, QString &problem)
{
    RenderOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == QLatin1String("--sample") && i + 1 < args.size()) {
            options.sample = args[++i].toInt();
            if (options.sample != 1 && options.sample != 2) {
                problem = QStringLiteral("there are samples 1 and 2 only");
                return std::nullopt;
            }
        } else if ((arg == QLatin1String("-o") || arg == QLatin1String("--output")) &&
                   i + 1 < args.size()) {
            options.output = args[++i];
        } else if (arg == QLatin1String("--hires")) {
            options.hires = true;
        } else if (!arg.startsWith(QLatin1Char('-')) && options.csv.isEmpty()) {
            options.csv = arg;
        } else {
            const bool takesValue = QStringList{"--sample", "-o", "--output"}.contains(arg);
            problem =
                takesValue ? missingValueProblem(arg) : QStringLiteral("unknown argument: ") + arg;
            return std::nullopt;
        }
    }
    const QString suffix = QFileInfo(options.output).suffix().toLower();
    if (options.output.isEmpty() ||
        (suffix != QLatin1String("png") && suffix != QLatin1String("pdf"))) {
        problem = QStringLiteral("the output must be a .png or .pdf file (-o)");
        return std::nullopt;
    }
    return options;
}

QtMessageHandler g_nextMessageHandler = nullptr;

/// Off screen the web engine has no OpenGL, which is the point of drawing here; it says so once,
/// in words that would only alarm whoever reads a script's output. Everything else goes on.
void withoutTheOffscreenNote(QtMsgType type, const QMessageLogContext &context,
                             const QString &message)
{
    if (type == QtWarningMsg &&
        message.trimmed() == QLatin1String("No suitable graphics backend found"))
        return;
    if (g_nextMessageHandler)
        g_nextMessageHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qUtf8Printable(qFormatLogMessage(type, context, message)));
}

/// A web view that paints without ever appearing on a screen.
QWebEngineView *offscreenView(QSize size)
{
    auto *view = new QWebEngineView;
    keepOffScreen(*view);
    view->resize(size);
    return view;
}

} // namespace

int runRenderCommand(int argc, char **argv)
{
    // Asked before anything of the web engine or the windowing starts.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            std::fputs(staffRenderUsage(), stdout);
            return 0;
        }
    }
    // Drawing needs no display: the off-screen platform unless one is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (flags.isEmpty()) {
        flags = "--disable-gpu";
#ifdef Q_OS_UNIX
        // Chromium refuses its sandbox to root, as in containers and CI.
        if (geteuid() == 0)
            flags += " --no-sandbox";
#endif
    }
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", withPageGarbageCollection(flags));
    g_nextMessageHandler = qInstallMessageHandler(withoutTheOffscreenNote);
    QApplication app(argc, argv);
    // The diagnostic lines of the window and the page's console are not for scripts.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(
            QStringLiteral("plotwell.info=false\njs.info=false\nqt.webenginecontext.info=false"));
    QTextStream err(stderr);
    QTextStream out(stdout);

    if (QApplication::arguments().contains(QStringLiteral("--staff")))
        return runStaffRenderCommand(QApplication::arguments().mid(1), out, err);

    QString problem;
    const std::optional<RenderOptions> options =
        parseOptions(QApplication::arguments().mid(1), problem);
    if (!options) {
        err << "plotwell render: " << problem << '\n' << kUsage;
        return 2;
    }

    // The visible viewer only measures the chart for the export viewer: kept small, its
    // document is as large as the chart.
    WidgetDesktop screen;
    const QSizeF screenSize = screen.lastScreenAvailableSize();
    std::unique_ptr<QWebEngineView> webView(offscreenView({200, 150}));
    std::unique_ptr<QWebEngineView> webViewM(offscreenView({200, 150}));
    std::unique_ptr<QWebEngineView> webViewL(
        offscreenView(computeFullScreenLayout(screenSize, screenSize).webViewL.size().toSize()));
    WebEngineChartViewer viewer(webView.get());
    WebEngineChartViewer viewerM(webViewM.get());
    WebEngineChartViewer viewerL(webViewL.get());
    WebEngineChartPictures pictures;
    HeadlessSession session(&screen);
    // An older chart document keeps its look in the user's preferences: drawn as the window
    // draws it, and those preferences left as they were.
    const SettingsPreferences userPreferences;
    session.readPreferencesOf(userPreferences);
    ChartWorkspace workspace(session.context(), {viewer, viewerM, viewerL, pictures});
    workspace.grid().setSetting(ChartSetting::Ctype,
                                getCtype(kOrgChartTypeLabel).value_or(QString()));
    if (options->csv.isEmpty())
        workspace.loadSample(options->sample);
    else
        problem = workspace.loadChartFile(options->csv);
    if (!problem.isEmpty()) {
        err << "plotwell render: " << problem << '\n';
        return 1;
    }
    // The render's alerts, if any, have said why nothing is drawn.
    const RenderResult rendered = workspace.render();
    const RenderResult::Kind drawn = rendered.kind;
    if (drawn == RenderResult::NoLoad && !workspace.grid().hasTitles())
        err << "plotwell render: nothing to draw: the chart has no titles\n";
    if (drawn != RenderResult::Load)
        return 1;

    const Resolution resolution = options->hires ? Resolution::High : Resolution::Small;
    const bool pdf = QFileInfo(options->output).suffix().toLower() == QLatin1String("pdf");
    const QString target = QFileInfo(options->output).absoluteFilePath();
    int exitCode = 1;
    const auto written = [&](const QString &failure) {
        for (const QString &note : workspace.exporter().sheetNotes())
            err << "plotwell render: " << note << '\n';
        if (failure.isEmpty()) {
            out << target << '\n';
            exitCode = 0;
        } else {
            err << "plotwell render: " << target << ": " << failure << '\n';
        }
        QApplication::exit();
    };
    QObject::connect(&workspace.loader(), &ViewerLoader::exportViewerSized, webViewM.get(),
                     [&](QSizeF size) { webViewM->resize(size.toSize()); });
    // A chart beyond the largest picture would lose its names on one scaled page: its PDF is
    // printed on sheets instead, as the window prints it.
    workspace.exporter().setSheetPrinter(gridSheetPrinter(&app));
    if (pdf)
        workspace.exporter().writePdf(resolution, target, true, written);
    else
        workspace.exporter().writePng(resolution, target, true, written);
    QTimer::singleShot(180000, &app, [&] {
        err << "plotwell render: the chart page did not finish drawing\n";
        QApplication::exit();
    });
    QApplication::exec();
    return exitCode;
}

} // namespace plotwell
