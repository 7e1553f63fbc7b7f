#include "convert/ConversionController.h"

#include "base/AppState.h"
#include "base/CommandCenter.h"
#include "base/Commands.h"
#include "base/DocumentNames.h"
#include "base/Log.h"
#include "base/Progress.h"
#include "convert/ColumnTypes.h"
#include "convert/FirstRecord.h"
#include "platform/FilePanels.h"

#include <QDir>
#include <QFileInfo>

namespace plotwell::convert {

namespace {

/// The log lines of a failure while the panel is prepared and while the generation starts.
struct GuardLines
{
    const char *panel;
    const char *start;
};

GuardLines guardLines(Format format)
{
    switch (format) {
    case Format::Sql:
        return {"ERROR AT", "Error Occured at Generate SQL."};
    case Format::Json:
        return {"ERROR AT JSON DOWNLOAD", "Error Occured at JSON Start."};
    case Format::Xml:
        return {"ERROR AT XML Download", "Error Occured at SHOW XML."};
    case Format::Html:
        break;
    }
    return {"ERROR AT", "Error Occured at SHOWHTML Thread."};
}

AlertSpec alertOf(const AlertText &text)
{
    return {QString::fromUtf8(text.message), QString::fromUtf8(text.informative), {}, {}};
}

AlertSpec runningAlert(const QString &reason)
{
    return {
        QStringLiteral("A conversion is already running."), reason, {}, AlertSpec::Style::Warning};
}

} // namespace

QList<AlertSpec> conversionOutcomeAlerts(const ConversionResult &result, const QString &outputPath)
{
    const QString where = QDir::toNativeSeparators(outputPath);
    if (result.cancelled) {
        return {{QStringLiteral("Did not save."),
                 QStringLiteral("The conversion was cancelled. \"%1\" is as it was.").arg(where),
                 {},
                 AlertSpec::Style::Informational}};
    }
    if (!result.ok) {
        return {{QStringLiteral("The conversion failed."),
                 QStringLiteral("%1\n\n\"%2\" was not written: any previous file there is "
                                "as it was.")
                     .arg(result.message(), where),
                 {},
                 AlertSpec::Style::Warning}};
    }
    QList<AlertSpec> alerts;
    // The XML check has its own alert; the other remarks are told together.
    ConversionResult remarks = result;
    remarks.xmlValidationError.clear();
    if (!remarks.notes().isEmpty()) {
        alerts.append({QStringLiteral("The file was converted with remarks."),
                       QStringLiteral("%1\n\nWritten to \"%2\".").arg(remarks.message(), where),
                       {},
                       AlertSpec::Style::Informational});
    }
    if (!result.xmlValidationError.isEmpty())
        alerts.append(alertOf(kXmlValidation));
    return alerts;
}

ConversionController::ConversionController(ConversionContext context, QObject *parent)
    : QObject(parent), m_context(std::move(context))
{
    connect(&m_job, &ConversionJob::finished, this, &ConversionController::generationFinished);
}

ConversionController::~ConversionController() = default;

void ConversionController::addHandlers(HandlerTable &table)
{
    table.bind(QStringLiteral("showSQLPanel:"), this, &ConversionController::showSQLPanel);
    table.bind(QStringLiteral("showJSONPanel:"), this, &ConversionController::showJSONPanel);
    table.bind(QStringLiteral("print:"), this, &ConversionController::print);
    table.bind(QStringLiteral("showHTMLDownloadPanel:"), this,
               &ConversionController::showHTMLDownloadPanel);
}

void ConversionController::showSQLPanel()
{
    showPanel(Format::Sql);
}

void ConversionController::showJSONPanel()
{
    showPanel(Format::Json);
}

void ConversionController::print()
{
    showXMLPanel();
}

void ConversionController::showXMLPanel()
{
    showPanel(Format::Xml);
}

void ConversionController::showHTMLDownloadPanel()
{
    showPanel(Format::Html);
}

void ConversionController::showPanel(Format format)
{
    QString inputPath;
    QString outputPath;
    runGuarded(QLatin1String(guardLines(format).panel), [&] {
        Alerts &alerts = m_context.alerts;
        if (!hasColumnLabels(m_context.grid)) {
            alerts.runModal(alertOf(kNoColumnLabels));
            return;
        }
        // Asked before the panel, so nobody chooses a file for a conversion that cannot run.
        if (m_job.isRunning()) {
            alerts.runModal(runningAlert(ConversionJob::refusalText()));
            return;
        }
        // The grid may hold a sample or a saved chart: the converters need the CSV file itself.
        const AppState &state = m_context.state;
        const QString source =
            state.fileUrl ? document::localFileOfUrlText(*state.fileUrl) : QString();
        if (source.isEmpty()) {
            alerts.runModal({QStringLiteral("There is no CSV file to convert."),
                             QStringLiteral("The conversions read the CSV file opened last. Open "
                                            "a CSV file, then try again."),
                             {},
                             AlertSpec::Style::Informational});
            return;
        }

        SavePanelSpec panel;
        panel.allowedTypes = {QString(formatTexts(format).fileType)};
        panel.proposedName =
            document::readableName(document::baseName(document::documentName(*state.fileUrl)));
        const std::optional<QString> chosen = m_context.panels.chooseSavePath(panel);
        if (!chosen) {
            diag(QStringLiteral("Did not save"));
            return;
        }
        // A link of either kind, or another spelling, may name the source itself.
        if (isSameFile(*chosen, source)) {
            alerts.runModal({QStringLiteral("The CSV file cannot be replaced by its conversion."),
                             QStringLiteral("\"%1\" is the file being converted. Choose another "
                                            "name or folder.")
                                 .arg(QDir::toNativeSeparators(*chosen)),
                             {},
                             AlertSpec::Style::Warning});
            return;
        }
        const QString urlText = document::urlTextOfLocalFile(*chosen);
        diag(QStringLiteral("PANEL URL %1").arg(urlText));
        m_context.state.saveUrl =
            QString(urlText).replace(QLatin1String("%20"), QLatin1String(" "));
        diag(QStringLiteral("Export URL %1").arg(*m_context.state.saveUrl));
        diag(QStringLiteral("FILENAME= %1").arg(document::documentName(urlText)));
        inputPath = source;
        outputPath = *chosen;
    });
    if (!outputPath.isEmpty())
        startGeneration(format, inputPath, outputPath);
}

void ConversionController::startGeneration(Format format, const QString &inputPath,
                                           const QString &outputPath)
{
    runGuarded(QLatin1String(guardLines(format).start), [&] {
        const int width = m_context.htmlWidth ? m_context.htmlWidth() : 0;
        const ConversionSettings settings =
            conversionSettings(m_context.grid, m_context.state, width);
        QString refusal;
        if (!m_job.start(format, inputPath, outputPath, settings, &refusal)) {
            m_context.alerts.runModal(runningAlert(refusal));
            return;
        }
        m_inputPath = inputPath;
        m_outputPath = outputPath;
        ProgressMonitor &progress = m_context.progress;
        progress.currentBarValue = 0;
        progress.followPercent([this] { return m_job.progress(); });
        progress.offerCancel([this] { m_job.cancel(); });
        progress.showWorking(0);
    });
}

void ConversionController::generationFinished()
{
    const ConversionResult &result = m_job.lastResult();
    ProgressMonitor &progress = m_context.progress;
    progress.followPercent({});
    progress.offerCancel({});
    // A failed conversion must not leave a percentage that holds back the refresh requests.
    progress.currentBarValue = result.ok ? 100 : 0;
    progress.showActivity();
    progress.isProgressDone = true;
    progress.checkProgressView();
    if (result.cancelled)
        diag(QStringLiteral("Did not save"));
    else if (!result.ok)
        diag(QStringLiteral("CONVERSION FAILED %1").arg(result.error));
    QList<AlertSpec> alerts = conversionOutcomeAlerts(result, m_outputPath);
    // An HTML export of a file without any record says so in its own words.
    if (!result.ok && m_job.lastFormat() == Format::Html && QFileInfo::exists(m_inputPath) &&
        !readFirstRecord(m_inputPath))
        alerts = {alertOf(kInvalidCsvForHtml)};
    for (const AlertSpec &alert : alerts)
        m_context.alerts.runModal(alert);
    Q_EMIT conversionEnded(result.ok);
}

} // namespace plotwell::convert
