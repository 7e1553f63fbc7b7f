#include "commands/RequestCommand.h"

#include "commands/HeadlessPorts.h"
#include "render/Appearance.h"
#include "render/PageRequest.h"
#include "shell/ChartWorkspace.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTextStream>

namespace plotwell {

QString sampleViewerRequest(int sample)
{
    HeadlessSession session;
    BlankChartViewer webView, webViewM, webViewL;
    NoChartPictures pictures;
    ChartWorkspace workspace(session.context(), {webView, webViewM, webViewL, pictures});
    workspace.grid().setSetting(ChartSetting::Ctype,
                                getCtype(kOrgChartTypeLabel).value_or(QString()));
    if (!workspace.loadSample(sample))
        return {};
    const RenderResult result = workspace.render();
    if (result.kind != RenderResult::Load)
        return {};
    return viewerRequest(gatherRequestSettings(workspace.grid(), workspace.state()),
                         result.dataString);
}

int runRequestCommand(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The loading of the viewers writes diagnostic lines; they are not for scripts.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("plotwell.info=false"));
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    int sample = 1;
    if (args.size() == 1 &&
        (args.at(0) == QLatin1String("--help") || args.at(0) == QLatin1String("-h"))) {
        QTextStream(stdout) << "Usage: plotwell request [--sample 1|2]\n"
                               "Prints the chart page request of sample chart 1 (or 2).\n";
        return 0;
    }
    if (args.size() == 2 && args.at(0) == QLatin1String("--sample")) {
        sample = args.at(1).toInt();
    } else if (!args.isEmpty()) {
        err << "Usage: plotwell request [--sample 1|2]\n";
        return 2;
    }
    const QString request = sampleViewerRequest(sample);
    if (request.isEmpty()) {
        err << "There is no sample " << args.value(1) << "; choose 1 or 2.\n";
        return 2;
    }
    QTextStream out(stdout);
    out << request << '\n';
    return 0;
}

} // namespace plotwell
