#include "shell/ChartWorkspace.h"

#include "base/AppState.h"
#include "base/Commands.h"
#include "base/DocumentNames.h"
#include "convert/FirstRecord.h"
#include "document/DocumentFormat.h"
#include "document/DocumentImport.h"
#include "model/SampleCharts.h"
#include "platform/Alerts.h"

#include <QFile>

namespace plotwell {

ChartWorkspace::ChartWorkspace(AppContext context, WorkspaceViewers viewers, QObject *parent)
    : QObject(parent), m_context(context), m_progress(context.state)
{
    m_loader =
        std::make_unique<ViewerLoader>(viewers.webView, viewers.webViewM, viewers.webViewL, m_grid,
                                       m_context.state, m_context.commands, m_context.desktop);
    m_recent = std::make_unique<document::RecentDocuments>(m_context.preferences);
    m_documents = std::make_unique<document::DocumentController>(document::DocumentContext{
        m_grid, m_swatches, m_context.state, m_context.preferences, *m_recent, m_context.alerts,
        m_context.filePanels, m_context.desktop, m_context.commands, &viewers.webView});
    // A table preview arrives once its file has been read through; by then the viewer may have
    // been given a chart or another page, which the late preview must not replace.
    connect(m_loader.get(), &ViewerLoader::webViewPageRequested, m_documents.get(),
            &document::DocumentController::discardPendingPreview);
    connect(m_documents.get(), &document::DocumentController::tablePreviewShown, m_loader.get(),
            &ViewerLoader::placeholderReplaced);
    m_exporter =
        std::make_unique<ChartExporter>(viewers.webViewM, viewers.webViewL, viewers.pictures);
    m_exporter->setLoader(m_loader.get());
    m_export = std::make_unique<ExportController>(m_context, *m_exporter, this);
    m_export->setProposedName([this] {
        const AppState &state = m_context.state;
        return document::exportFileName(m_grid.setting(ChartSetting::ChartTitle),
                                        state.saveUrl.value_or(state.fileUrl.value_or(QString())));
    });
    m_conversions = std::make_unique<convert::ConversionController>(
        convert::ConversionContext{m_grid, m_context.state, m_context.alerts, m_context.filePanels,
                                   m_progress, [this] { return m_htmlWidth ? m_htmlWidth() : 0; }},
        this);
    // Every colour field starts with its swatch's start-up colour.
    applyStartupSlotTexts(m_grid);
    followSlotTexts(m_grid, m_swatches);
}

ChartWorkspace::~ChartWorkspace() = default;

bool ChartWorkspace::confirmQuit()
{
    const int answer = m_context.alerts.runModal(
        {QStringLiteral("Do you want to save the chart before quitting?"),
         QStringLiteral("Your changes will be lost if you don't save them."),
         {QStringLiteral("Save"), QStringLiteral("Don't Save"), QStringLiteral("Cancel")},
         AlertSpec::Style::Warning});
    if (answer == kFirstButton)
        return m_documents->save();
    return answer == kFirstButton + 1;
}

void ChartWorkspace::setHtmlWidth(std::function<int()> width)
{
    m_htmlWidth = std::move(width);
}

RenderResult ChartWorkspace::render()
{
    RenderResult result = submitData(m_grid, m_context.state);
    switch (result.kind) {
    case RenderResult::Load:
        m_loader->loadWebView(result.dataString);
        break;
    case RenderResult::ReassignParents:
        m_context.alerts.runModal(reassignParentsAlert());
        break;
    case RenderResult::NoLoad:
        break;
    }
    return result;
}

bool ChartWorkspace::loadSample(int sample)
{
    if (sample == 1)
        loadSampleData(m_grid, m_context.state);
    else if (sample == 2)
        loadSampleData2(m_grid, m_context.state);
    else
        return false;
    return true;
}

QString ChartWorkspace::loadChartFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return path + QStringLiteral(": ") + file.errorString();
    if (const auto saved = document::parseSavedDocument(file.readAll())) {
        document::restoreSavedChart(m_grid, *saved);
        return {};
    }
    const std::optional<QStringList> fields = readFirstRecord(path);
    if (!fields || document::importTitles(m_grid, *fields))
        return path + QStringLiteral(": no column labels in its first record");
    return {};
}

void ChartWorkspace::addHandlers(HandlerTable &table)
{
    m_documents->addHandlers(table);
    m_export->addHandlers(table);
    m_conversions->addHandlers(table);
}

} // namespace plotwell
