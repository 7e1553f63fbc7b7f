#include "shell/ChartWorkspace.h"

#include "base/AppState.h"
#include "base/Commands.h"
#include "base/DocumentNames.h"
#include "base/Log.h"
#include "colour/ColorLine.h"
#include "convert/FirstRecord.h"
#include "document/CompanionEntries.h"
#include "document/DocumentFormat.h"
#include "document/DocumentImport.h"
#include "model/GridClearing.h"
#include "model/SampleCharts.h"
#include "platform/Alerts.h"
#include "platform/Desktop.h"
#include "staff/StaffColumns.h"
#include "staff/StaffTable.h"

#include <QFile>

namespace plotwell {

namespace {

/// How long edits pause before the copy of an unsaved chart is written.
constexpr int kRecoveryCopyDelayMs = 1500;

} // namespace

ChartWorkspace::ChartWorkspace(AppContext context, WorkspaceViewers viewers, QObject *parent)
    : QObject(parent), m_context(context), m_progress(context.state)
{
    m_loader =
        std::make_unique<ViewerLoader>(viewers.webView, viewers.webViewM, viewers.webViewL, m_grid,
                                       m_context.state, m_context.commands, m_context.desktop);
    m_recent = std::make_unique<document::RecentDocuments>(m_context.preferences);
    m_editor = std::make_unique<ChartEditor>(m_grid, &m_context.state);
    m_unsaved = std::make_unique<UnsavedChanges>(*m_editor);
    m_problems = std::make_unique<ProblemListModel>(m_grid);
    m_live = std::make_unique<LiveUpdate>(m_context.preferences);
    m_documents = std::make_unique<document::DocumentController>(document::DocumentContext{
        m_grid, m_swatches, m_context.state, m_context.preferences, *m_recent, m_context.alerts,
        m_context.filePanels, m_context.desktop, m_context.commands, &viewers.webView,
        m_editor.get(), m_unsaved.get()});
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
    m_export->setProposedName([this] { return proposedExportName(); });
    m_export->setRenderFirst([this] {
        if (!m_grid.hasTitles())
            return ExportController::FirstRender::NothingToDraw;
        return render().kind == RenderResult::Load ? ExportController::FirstRender::Drawn
                                                   : ExportController::FirstRender::Refused;
    });
    m_conversions = std::make_unique<convert::ConversionController>(
        convert::ConversionContext{m_grid, m_context.state, m_context.alerts, m_context.filePanels,
                                   m_progress, [this] { return m_htmlWidth ? m_htmlWidth() : 0; }},
        this);
    // Every colour field starts with its swatch's start-up colour.
    applyStartupSlotTexts(m_grid);
    followSlotTexts(m_grid, m_swatches);

    // Colours move with rows and come back with an undo: the swatches show the texts.
    connect(m_editor.get(), &ChartEditor::edited, this, [this] {
        for (int slot = 1; slot <= kColourSlotCount; ++slot) {
            const QString text = m_grid.slotText(slot);
            if (QColor::isValidColorName(text) && m_swatches.colour(slot) != QColor(text))
                m_swatches.setColour(slot, QColor(text));
        }
        m_live->noteEdit();
    });
    connect(m_live.get(), &LiveUpdate::redrawDue, this, [this] { renderLive(); });

    connect(m_documents.get(), &document::DocumentController::documentSettled, m_unsaved.get(),
            &UnsavedChanges::markSaved);
    connect(m_unsaved.get(), &UnsavedChanges::modifiedChanged, this, [this](bool modified) {
        m_context.desktop.setWindowModified(modified);
        if (modified)
            m_recoveryTimer.start();
        else if (m_recoveryWritten)
            discardRecoveryCopy();
    });
    m_recoveryTimer.setSingleShot(true);
    m_recoveryTimer.setInterval(kRecoveryCopyDelayMs);
    connect(m_editor.get(), &ChartEditor::edited, &m_recoveryTimer, [this] {
        if (m_recovery)
            m_recoveryTimer.start();
    });
    // The chart a workspace starts with has nothing to save.
    m_unsaved->markSaved();
    connect(&m_recoveryTimer, &QTimer::timeout, this, [this] {
        if (!m_recovery || !m_unsaved->isModified())
            return;
        if (const auto failure = m_recovery->keep(m_grid, m_context.state.appearance))
            qCWarning(lcPlotwell) << "the copy of the unsaved chart could not be kept in"
                                  << m_recovery->path() << "-" << *failure;
        else
            m_recoveryWritten = true;
    });
}

ChartWorkspace::~ChartWorkspace() = default;

bool ChartWorkspace::confirmQuit()
{
    const bool closes = !m_unsaved->isModified() ||
                        m_documents->offerToSave(
                            QStringLiteral("Do you want to save the chart before quitting?"),
                            QStringLiteral("Your changes will be lost if you don't save them."));
    // Saved, given up or never changed: nothing left to recover.
    if (closes)
        discardRecoveryCopy();
    return closes;
}

void ChartWorkspace::keepRecoveryCopyIn(const QString &path)
{
    m_recovery = std::make_unique<document::ChartRecovery>(path);
    m_recoveryWritten = false;
}

bool ChartWorkspace::hasRecoveryCopy() const
{
    return m_recovery && m_recovery->left().has_value();
}

bool ChartWorkspace::recoverChart()
{
    const std::optional<document::SavedChart> chart =
        m_recovery ? m_recovery->left() : std::nullopt;
    if (!chart)
        return false;
    m_editor->record(QStringLiteral("Recover Chart"), [this, &chart] {
        clearFields(m_grid);
        document::restoreSavedChart(m_grid, *chart);
        if (chart->extras)
            document::applyChartExtras(m_grid, m_swatches, m_context.state.appearance,
                                       *chart->extras);
    });
    // From now on the copy is this run's own, rewritten and given up as the chart changes.
    m_recoveryWritten = true;
    Q_EMIT chartRecovered();
    return true;
}

void ChartWorkspace::discardRecoveryCopy()
{
    m_recoveryTimer.stop();
    if (m_recovery)
        m_recovery->discard();
    m_recoveryWritten = false;
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
        // Titles typed below an empty row 1 would otherwise draw nothing without a word.
        if (m_grid.hasTitles())
            m_context.alerts.runModal(noTopBoxAlert());
        break;
    }
    return result;
}

RenderResult ChartWorkspace::renderLive()
{
    // A conversion owns the progress view until it ends; the next edit redraws.
    if (m_context.state.conversionRunning())
        return {};
    RenderResult result = submitData(m_grid, m_context.state);
    if (result.kind == RenderResult::Load)
        m_loader->replaceWebView(result.dataString);
    return result;
}

bool ChartWorkspace::loadSample(int sample)
{
    if (sample != 1 && sample != 2)
        return false;
    m_editor->record(QStringLiteral("Load Sample"), [this, sample] {
        if (sample == 1)
            loadSampleData(m_grid, m_context.state);
        else
            loadSampleData2(m_grid, m_context.state);
    });
    return true;
}

QString ChartWorkspace::loadChartFile(const QString &path)
{
    const document::ReadFile read = document::readTextFile(path);
    if (!read.problem.isEmpty())
        return path + QStringLiteral(": ") + read.problem;
    if (const auto saved = document::parseSavedDocument(read.bytes)) {
        document::restoreSavedChart(m_grid, *saved);
        if (saved->extras) {
            document::applyChartExtras(m_grid, m_swatches, m_context.state.appearance,
                                       *saved->extras);
        } else {
            // An older document keeps its look beside it, where the window stored it.
            const QString urlText = document::urlTextOfLocalFile(path);
            const document::StoredEntries entries = document::lookUpCompanionEntries(
                m_context.preferences, document::companionName(urlText),
                document::documentName(urlText));
            if (entries.colorLine && !entries.colorLine->isEmpty())
                applyColorLine(m_grid, m_swatches, *entries.colorLine, false);
            document::applyStoredLook(m_grid, m_context.state.appearance, entries);
        }
        return {};
    }
    if (const QString problem = document::nearChartDocumentProblem(read.bytes); !problem.isEmpty())
        return path + QStringLiteral(": ") + problem;
    // A staff list has column titles too, but what its user wants drawn is its people.
    const staff::StaffColumns staffColumns =
        staff::guessColumns(staff::readStaffTable(read.bytes).header);
    if (staffColumns.hasName() && staffColumns.column(staff::StaffRole::Manager) >= 0)
        return path + QStringLiteral(": a staff list (a column of names and one of managers), not "
                                     "a chart: draw it with `plotwell render --staff %1 -o "
                                     "OUT.pdf`, or in the window with File > Import Staff List")
                          .arg(path);
    const std::optional<QStringList> fields = readFirstRecord(path);
    if (!fields || document::importTitles(m_grid, *fields))
        return path + QStringLiteral(": neither a chart document (a title line and 93 rows of "
                                     "\"title\",\"parent\") nor a CSV file with column titles in "
                                     "its first record");
    // As the window's import does: the column set-up, with row 1 as the record's key.
    document::initializeDataTypes(m_grid);
    return {};
}

void ChartWorkspace::addHandlers(HandlerTable &table)
{
    m_documents->addHandlers(table);
    m_export->addHandlers(table);
    m_conversions->addHandlers(table);
    table.add(QStringLiteral("undoEdit"), [this](const QVariant &) {
        diag(QStringLiteral("UNDO EDIT %1").arg(m_editor->undoStack().undoText()));
        m_editor->undo();
    });
    table.add(QStringLiteral("redoEdit"), [this](const QVariant &) {
        diag(QStringLiteral("REDO EDIT %1").arg(m_editor->undoStack().redoText()));
        m_editor->redo();
    });
}

QString ChartWorkspace::proposedExportName() const
{
    const AppState &state = m_context.state;
    return document::exportFileName(m_grid.setting(ChartSetting::ChartTitle),
                                    state.saveUrl.value_or(state.fileUrl.value_or(QString())));
}

} // namespace plotwell
