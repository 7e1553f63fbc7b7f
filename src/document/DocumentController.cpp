#include "document/DocumentController.h"

#include "base/AppState.h"
#include "base/CommandCenter.h"
#include "base/Commands.h"
#include "base/DocumentNames.h"
#include "base/Log.h"
#include "base/ResourceLocator.h"
#include "colour/ColorLine.h"
#include "convert/ColumnTypes.h"
#include "convert/Conversion.h"
#include "convert/TablePreviewJob.h"
#include "document/CompanionEntries.h"
#include "document/DocumentImport.h"
#include "document/RecentDocuments.h"
#include "model/ChartEditor.h"
#include "model/GridClearing.h"
#include "model/UnsavedChanges.h"
#include "platform/Alerts.h"
#include "platform/ChartViewer.h"
#include "platform/Desktop.h"
#include "platform/FilePanels.h"
#include "platform/Preferences.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace plotwell::document {

namespace {

const QString kCsvType = QStringLiteral("csv");

// A saved chart is a few kilobytes; anything far larger is an ordinary CSV file and is left
// to the streaming import.

/// The save panel may hand back a name the user typed without the extension.
QString withExtension(const QString &path, const QString &type)
{
    if (pathExtension(QFileInfo(path).fileName()).compare(type, Qt::CaseInsensitive) == 0)
        return path;
    return path + QLatin1Char('.') + type;
}

void showInvalidFileAlert(Alerts &alerts)
{
    alerts.runModal({QStringLiteral("Invalid file"),
                     QStringLiteral("The file you attempted to load is invalid, please make sure  "
                                    "it's a valid .CSV formatted file."),
                     {},
                     AlertSpec::Style::Informational});
}

void showInvalidFileAlert2(Alerts &alerts)
{
    alerts.runModal({QStringLiteral("Conversion to CSV Required"),
                     QStringLiteral("Please convert your .TSV file to .CSV and retry."),
                     {},
                     AlertSpec::Style::Informational});
}

void showInvalidCsvAlert(Alerts &alerts)
{
    alerts.runModal(
        {QStringLiteral("Invalid CSV file"),
         QStringLiteral("Your CSV file may not be correctly formatted. Please download the "
                        "provided template and see how data should be formatted. All column "
                        "names must be added in the first row for it to load correctly. Also "
                        "ensure the first row in your CSV file is not empty."),
         {},
         AlertSpec::Style::Informational});
}

void showNoColumnsAlert(Alerts &alerts)
{
    alerts.runModal({QString::fromUtf8(convert::kNoColumnLabels.message),
                     QString::fromUtf8(convert::kNoColumnLabels.informative),
                     {},
                     AlertSpec::Style::Informational});
}

std::optional<SavedChart> readSavedChart(const QString &path)
{
    // A file too large to be a chart document may still be a data file to import.
    const ReadFile read = readTextFile(path);
    if (!read.problem.isEmpty())
        return std::nullopt;
    return parseSavedDocument(read.bytes);
}

} // namespace

DocumentController::DocumentController(DocumentContext context, QObject *parent)
    : QObject(parent), m_context(context),
      m_previewJob(std::make_unique<convert::TablePreviewJob>())
{
    connect(m_previewJob.get(), &convert::TablePreviewJob::finished, this,
            &DocumentController::tablePreviewBuilt);
}

DocumentController::~DocumentController() = default;

void DocumentController::setHooks(DocumentHooks hooks)
{
    m_hooks = std::move(hooks);
}

void DocumentController::addHandlers(HandlerTable &table)
{
    table.bind(QStringLiteral("openRecentDocument:"), this,
               &DocumentController::openRecentDocument);
    table.add(QStringLiteral("openExistingDocument:"),
              [this](const QVariant &object) { openExistingDocument(object); });
    table.bind(QStringLiteral("saveData:"), this, &DocumentController::saveData);
    table.bind(QStringLiteral("clearAlert:"), this, &DocumentController::clearAlert);
}

void DocumentController::openFileRequest(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    AppState &state = m_context.state;
    state.openDoubleClicked = true;
    state.doubleClickedUrl = absolute;
    state.openRecent = true;
    diag(QStringLiteral("CALLING OPEN METHOD %1").arg(absolute));
    m_context.commands.post(command::openExistingDocument, absolute);
}

// ---- Save --------------------------------------------------------------------------------

bool DocumentController::save()
{
    AppState &state = m_context.state;
    state.colorString = buildColorLine(m_context.grid);
    state.positionString = buildPositionLine(m_context.grid);
    diag(QStringLiteral("PositionString RAW. %1").arg(state.positionString));
    diag(QStringLiteral("Body CSV Generated. %1").arg(documentText(m_context.grid)));

    diag(QStringLiteral("SAVE URL %1").arg(orNull(state.saveUrl)));
    diag(QStringLiteral("SAVE AS USED %1").arg(yesNo(state.saveAsUsed)));
    if (!state.saveUrl)
        diag(QStringLiteral("ISNULL %1").arg(orNull(state.saveUrl)));

    // An export leaves its own file in saveUrl; saving the chart over an SQL or HTML export
    // would destroy it, so only a document file is written to without asking.
    const bool savedDocument =
        state.saveUrl &&
        pathExtension(documentName(*state.saveUrl)).compare(kCsvType, Qt::CaseInsensitive) == 0;
    if (state.saveAsUsed || !savedDocument)
        return savePanelPath();
    return saveStraight();
}

bool DocumentController::savePanelPath()
{
    SavePanelSpec panel;
    panel.allowedTypes = {kCsvType};
    const QString opened = m_context.preferences.value(kOpenedFilenameKey).value_or(QString());
    if (!QString(opened).remove(QLatin1Char(' ')).isEmpty()) {
        // The chart of an imported data file is not that file: proposing its name would make
        // two presses of Return replace the data with the chart.
        panel.proposedName = m_importedData
                                 ? readableName(baseName(opened)) + QStringLiteral(" chart.csv")
                                 : readableName(opened);
    } else if (const QString title = m_context.grid.setting(ChartSetting::ChartTitle);
               !title.trimmed().isEmpty()) {
        // A chart never saved goes under the title it shows, made fit for a file name.
        panel.proposedName = exportFileName(title, QString()) + QStringLiteral(".csv");
    }

    const std::optional<QString> chosen = m_context.panels.chooseSavePath(panel);
    if (!chosen) {
        diag(QStringLiteral("Did not save"));
        return false;
    }
    const QString target = withExtension(*chosen, kCsvType);
    if (QFileInfo::exists(target) && !readSavedChart(target)) {
        const QString name = QFileInfo(target).fileName();
        const int answer = m_context.alerts.runModal(
            {QStringLiteral("Replace \"%1\" with the chart?").arg(name),
             QStringLiteral("\"%1\" is not a chart document: it may be a data file. Replacing "
                            "it loses everything it holds.")
                 .arg(QDir::toNativeSeparators(target)),
             {QStringLiteral("Cancel"), QStringLiteral("Replace")},
             AlertSpec::Style::Warning});
        if (answer != kFirstButton + 1) {
            diag(QStringLiteral("Did not save"));
            return false;
        }
    }
    const QString urlText = urlTextOfLocalFile(target);
    if (!writeDocument(urlText))
        return false;
    m_context.state.saveUrl = QString(urlText).replace(QLatin1String("%20"), QLatin1String(" "));
    // The window is named after the document it now holds.
    m_context.desktop.setWindowTitle(readableName(baseName(documentName(urlText))));
    return true;
}

bool DocumentController::saveStraight()
{
    const QString urlText =
        QString(*m_context.state.saveUrl).replace(QLatin1Char(' '), QLatin1String("%20"));
    return writeDocument(urlText);
}

bool DocumentController::writeDocument(const QString &urlText)
{
    const QString path = localFileOfUrlText(urlText);
    const AppState &state = m_context.state;
    const QByteArray bytes =
        documentText(m_context.grid, chartExtras(m_context.grid, state.appearance)).toUtf8();
    if (const auto failure = writeAtomically(path, bytes)) {
        alertWriteFailure(path, *failure);
        return false;
    }
    // Stored only now: entries of a file that was never written would describe nothing, and
    // they would replace those of the file still on disk.
    storeCompanionEntries(m_context.preferences, documentName(urlText),
                          {state.colorString, state.positionString,
                           QString::number(state.appearance.nodeWidth),
                           QString::number(state.appearance.cornerRadius),
                           QString::number(state.appearance.colourMode)},
                          companionName(urlText));
    Q_EMIT documentSettled();
    return true;
}

void DocumentController::alertWriteFailure(const QString &path, const QString &reason)
{
    diag(QStringLiteral("SAVE FAILED %1: %2").arg(path, reason));
    m_context.alerts.runModal(
        {QStringLiteral("The document could not be saved."),
         QStringLiteral("\"%1\" could not be written (%2). Nothing was changed.")
             .arg(QDir::toNativeSeparators(path), reason),
         {},
         AlertSpec::Style::Warning});
}

// ---- Open --------------------------------------------------------------------------------

void DocumentController::openExistingDocument(const QVariant &object)
{
    AppState &state = m_context.state;
    const QString objectText = object.isValid() ? object.toString() : QStringLiteral("(null)");
    diag(QStringLiteral("OPEN RECENT=== %1%2").arg(yesNo(state.openRecent), objectText));
    if (!state.openRecent) {
        if (const std::optional<QString> chosen =
                m_context.panels.chooseOpenPath(OpenPanelSpec())) {
            diag(QStringLiteral("OPEN RECENT2=== %1%2").arg(yesNo(state.openRecent), *chosen));
            openAction(urlTextOfLocalFile(*chosen));
        }
        return;
    }
    diag(QStringLiteral("OBJECT=== %1").arg(objectText));
    if (object.isValid() && !objectText.isEmpty())
        openAction(urlTextFromPath(objectText));
}

void DocumentController::openRecentDocument()
{
    const AppState &state = m_context.state;
    diag(QStringLiteral("OPEN VERY RECENT=== %1%2")
             .arg(yesNo(state.openRecent), orNull(state.fileUrl)));
    // A settings change only changes how the preview looks; reading the file again would throw
    // away the parents and colours chosen since the import. A preview still being built is
    // started again with the new look.
    if (state.fileUrl && (isPreviewShown() || isPreviewPending()))
        showTablePreview(false);
}

bool DocumentController::isOpenable(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo::exists(path)) {
        // Checked before anything changes: the grid stays as it is.
        const bool listed = m_context.recent.paths().contains(path);
        AlertSpec gone{QStringLiteral("\"%1\" is no longer there.").arg(QFileInfo(path).fileName()),
                       QStringLiteral("%1 was moved, renamed or deleted. The chart on screen is "
                                      "unchanged.")
                           .arg(shown),
                       {},
                       AlertSpec::Style::Warning};
        if (listed)
            gone.buttons = {QStringLiteral("Remove from Open Recent"), QStringLiteral("Keep")};
        if (m_context.alerts.runModal(gone) == kFirstButton && listed)
            m_context.recent.remove(path);
        return false;
    }
    QFile file(path);
    QString problem;
    if (!file.open(QIODevice::ReadOnly))
        problem = QStringLiteral("It could not be read (%1).").arg(file.errorString());
    else if (looksBinary(file.read(kBinaryProbeBytes)))
        problem = QStringLiteral("It holds binary data (a program, an image or the like), so it "
                                 "is neither a chart document nor a CSV file.");
    if (problem.isEmpty())
        return true;
    m_context.alerts.runModal(
        {QStringLiteral("\"%1\" cannot be opened.").arg(QFileInfo(path).fileName()),
         problem + QStringLiteral(" Nothing was changed."),
         {},
         AlertSpec::Style::Warning});
    return false;
}

void DocumentController::openAction(const QString &urlText)
{
    if (!isOpenable(localFileOfUrlText(urlText)) ||
        !mayReplaceChart(QStringLiteral("Do you want to save the chart before opening \"%1\"?")
                             .arg(documentName(urlText))))
        return;
    recordEdit(QStringLiteral("Open"), [&] { openDocument(urlText); });
}

bool DocumentController::mayReplaceChart(const QString &question)
{
    if (!m_context.unsaved || !m_context.unsaved->isModified())
        return true;
    return offerToSave(question,
                       QStringLiteral("The chart in the grid has changes that are not saved. If "
                                      "you don't save them, only Undo brings them back."));
}

bool DocumentController::offerToSave(const QString &question, const QString &consequence)
{
    const int answer = m_context.alerts.runModal(
        {question,
         consequence,
         {QStringLiteral("Save"), QStringLiteral("Don't Save"), QStringLiteral("Cancel")},
         AlertSpec::Style::Warning});
    if (answer == kFirstButton)
        return save();
    return answer == kFirstButton + 1;
}

void DocumentController::recordEdit(const QString &text, const std::function<void()> &change)
{
    if (m_context.editor)
        m_context.editor->record(text, change);
    else
        change();
}

void DocumentController::openDocument(const QString &urlText)
{
    diag(QStringLiteral("DOCUMENT SELECTED= %1").arg(urlText));
    const QString name = documentName(urlText);
    diag(QStringLiteral("FILENAME_TO_OPEN= %1").arg(name));
    diag(QStringLiteral("extension2 '%1'").arg(pathExtension(name)));
    const QString base = baseName(name);
    diag(QStringLiteral("Finall FileName2 '%1'").arg(base));

    if (base != QLatin1String("(null)") && base != QLatin1String("(null"))
        m_context.desktop.setWindowTitle(readableName(base));

    const QString path = localFileOfUrlText(urlText);
    m_context.recent.add(path);
    m_context.desktop.noteRecentDocument(path);

    m_context.preferences.setValue(kOpenedFilenameKey, name);
    m_context.preferences.sync();

    const StoredEntries entries =
        lookUpCompanionEntries(m_context.preferences, companionName(urlText), name);
    diag(QStringLiteral("COLORS_TO_OPEN= %1").arg(orNull(entries.colorLine)));
    diag(QStringLiteral("SAVED POSITIONS %1").arg(orNull(entries.positionLine)));
    if (!entries.colorLine)
        diag(QStringLiteral("NO COLORS FOUND IN SAVEDNULL RETURNED= %1").arg(name));
    else if (entries.colorLine->isEmpty())
        diag(QStringLiteral("NO COLORS FOUND IN SAVED= %1").arg(name));
    else
        diag(QStringLiteral("COLORS RETURNED OK %1").arg(*entries.colorLine));

    if (entries.colorLine && !entries.colorLine->isEmpty())
        applyColorLine(m_context.grid, m_context.swatches, *entries.colorLine, false);

    switch (classifyDocumentName(name)) {
    case FileKind::Tsv:
        showInvalidFileAlert2(m_context.alerts);
        return;
    case FileKind::Invalid:
        showInvalidFileAlert(m_context.alerts);
        return;
    case FileKind::Csv:
        break;
    }
    // Save writes without asking only to the chart document that is open; an imported data
    // file is never the place for the chart.
    AppState &state = m_context.state;
    if (const std::optional<SavedChart> saved = readSavedChart(path)) {
        m_importedData = false;
        state.saveUrl = QString(urlText).replace(QLatin1String("%20"), QLatin1String(" "));
        restoreChart(*saved, entries, urlText);
    } else {
        m_importedData = true;
        state.saveUrl = QString();
        showCSVColumns(urlText);
    }
}

void DocumentController::restoreChart(const SavedChart &chart, const StoredEntries &entries,
                                      const QString &urlText)
{
    clearFields(m_context.grid);
    restoreSavedChart(m_context.grid, chart);
    AppState &state = m_context.state;
    if (chart.extras) {
        // The file carries the chart whole; entries of this machine do not override it.
        applyChartExtras(m_context.grid, m_context.swatches, state.appearance, *chart.extras);
    } else {
        applyStoredLook(m_context.grid, state.appearance, entries);
    }

    // The document is a CSV file itself: the converters read it as they read any other (its
    // grid holds chart data, not column types, which the converters then leave aside). No
    // table preview is shown for it: the chart is.
    state.fileUrl = urlText;
    m_previewLoaded = false;
    discardPendingPreview();
    diag(QStringLiteral("SAVED CHART RESTORED %1").arg(chart.chartTitle));

    if (m_hooks.appearanceRestored)
        m_hooks.appearanceRestored();
    Q_EMIT documentSettled();
    if (m_hooks.chartRestored)
        m_hooks.chartRestored();
}

void DocumentController::showCSVColumns(const QString &urlText)
{
    runGuarded(QStringLiteral("Error Occured at csv."), [&] {
        ChartGrid &grid = m_context.grid;
        clearFields(grid);
        m_context.state.fileUrl = urlText;
        if (m_hooks.showProgress)
            m_hooks.showProgress(5);

        const QString path = localFileOfUrlText(urlText);
        if (!QFileInfo(path).isReadable())
            diag(QStringLiteral("Error reading file."));
        if (const std::optional<QStringList> record = readFirstRecord(path)) {
            if (importTitles(grid, *record))
                showInvalidCsvAlert(m_context.alerts);
        }
        initializeDataTypes(grid);
        // The grid shows the file's columns, which the file still holds: nothing to save.
        Q_EMIT documentSettled();
        showTablePreview(true);
    });
}

void DocumentController::showTablePreview(bool afterImport)
{
    if (!m_context.viewer || !m_context.state.fileUrl)
        return;
    // `showHTML:`. The look is taken now; the file is read, and every record counted, on the
    // job's thread.
    runGuarded(QStringLiteral("Error Occured at SHOW HTML."), [&] {
        const int width = m_hooks.htmlWidth ? m_hooks.htmlWidth() : 0;
        // A refresh that replaces an import's build still owes the user its complaint.
        m_previewAfterImport = afterImport || (m_previewAfterImport && isPreviewPending());
        m_previewJob->start(localFileOfUrlText(*m_context.state.fileUrl),
                            convert::conversionSettings(m_context.grid, m_context.state, width));
        if (m_hooks.offerCancel)
            m_hooks.offerCancel([this] { m_previewJob->stopCounting(); });
        if (m_hooks.followPreview)
            m_hooks.followPreview([this] { return m_previewJob->percent(); });
    });
}

void DocumentController::tablePreviewBuilt(const convert::TablePreview &preview)
{
    if (m_hooks.followPreview)
        m_hooks.followPreview({});
    runGuarded(QStringLiteral("Error Occured at SHOW HTML."), [&] {
        if (m_previewAfterImport && !preview.hasColumnNames)
            showNoColumnsAlert(m_context.alerts);
        if (m_hooks.offerCancel)
            m_hooks.offerCancel({});
        // Told once, when the file is opened; the page keeps saying it after each refresh.
        if (m_previewAfterImport && !preview.problem.isEmpty())
            m_context.alerts.runModal(
                {QStringLiteral("This file is malformed."),
                 QStringLiteral("%1\n\nThe preview and its count stop there, and conversions "
                                "of the file fail at the same place. Correct the file, then open "
                                "it again.")
                     .arg((QStringList{preview.problem} + preview.notes).join(QLatin1Char('\n'))),
                 {},
                 AlertSpec::Style::Warning});
        else if (m_previewAfterImport && !preview.notes.isEmpty())
            m_context.alerts.runModal({QStringLiteral("The file was read with remarks."),
                                       preview.notes.join(QLatin1Char('\n')),
                                       {},
                                       AlertSpec::Style::Informational});
        m_previewAfterImport = false;
        m_context.viewer->loadHtml(preview.html);
        m_previewLoaded = true;
        Q_EMIT tablePreviewShown();
    });
}

bool DocumentController::isPreviewPending() const
{
    return m_previewJob->isPending();
}

void DocumentController::discardPendingPreview()
{
    if (m_previewJob->isPending() && m_hooks.followPreview)
        m_hooks.followPreview({});
    m_previewJob->cancel();
    m_previewAfterImport = false;
    if (m_hooks.offerCancel)
        m_hooks.offerCancel({});
}

bool DocumentController::isPreviewShown() const
{
    // An HTML text has no address of its own: the web engine reports it as a "data:" address,
    // other viewers as none. A rendered chart has its file address.
    if (!m_previewLoaded || !m_context.viewer)
        return false;
    const QUrl shown = m_context.viewer->currentUrl();
    return shown.isEmpty() || shown.scheme() == QLatin1String("data");
}

// ---- New and the sample file -------------------------------------------------------------

void DocumentController::clearAlert()
{
    diag(QStringLiteral("TEXTFIELD AT CLEAR= %1").arg(m_context.grid.parent(1)));
    // With changes to lose, the one question is whether to save them: Save or Don't Save is
    // the go-ahead that the plain confirmation would ask for a second time.
    if (m_context.unsaved && m_context.unsaved->isModified()) {
        if (!mayReplaceChart(
                QStringLiteral("Do you want to save the chart before starting a new one?")))
            return;
    } else if (m_context.alerts.runModal(
                   {QStringLiteral("This action will clear data from all cells & reset all "
                                   "colors."),
                    QStringLiteral("Are you sure you want to continue?"),
                    {QStringLiteral("Continue"), QStringLiteral("Cancel")},
                    AlertSpec::Style::Warning}) != kFirstButton) {
        return;
    }

    m_context.desktop.setWindowTitle(QStringLiteral("Untitled"));
    m_context.state.saveUrl = QString();
    m_importedData = false;
    m_context.preferences.setValue(kOpenedFilenameKey, QString());
    m_context.preferences.sync();
    // Forgotten too, or the next settings change would bring the old file's table back.
    m_context.state.fileUrl.reset();
    m_previewLoaded = false;
    discardPendingPreview();
    recordEdit(QStringLiteral("New"), [this] {
        clearFields(m_context.grid);
        resetColors(m_context.grid, m_context.swatches);
    });
    Q_EMIT documentSettled();
    m_context.commands.post(command::resizeWebView);
}

void DocumentController::downloadTemplate()
{
    QFile resource(resourcePath(QStringLiteral("SAMPLE_DATA.csv")));
    if (!resource.open(QIODevice::ReadOnly)) {
        diag(QStringLiteral("SAMPLE FILE MISSING %1").arg(resource.fileName()));
        m_context.alerts.runModal({QStringLiteral("The sample file could not be found."),
                                   resource.errorString(),
                                   {},
                                   AlertSpec::Style::Warning});
        return;
    }
    const QByteArray bytes = resource.readAll();

    SavePanelSpec panel;
    panel.allowedTypes = {kCsvType};
    panel.proposedName = QStringLiteral("CSVSample");
    const std::optional<QString> chosen = m_context.panels.chooseSavePath(panel);
    diag(QStringLiteral("Download Help Chart CLICKED"));
    if (!chosen) {
        diag(QStringLiteral("Did not save"));
        return;
    }
    const QString path = withExtension(*chosen, kCsvType);
    diag(QStringLiteral("FILENAME= %1").arg(documentName(urlTextOfLocalFile(path))));
    if (const auto failure = writeAtomically(path, bytes))
        alertWriteFailure(path, *failure);
}

} // namespace plotwell::document
