#pragma once

#include "convert/ConversionJob.h"
#include "platform/Alerts.h"

#include <QList>
#include <QObject>

#include <functional>

namespace plotwell {
class ChartGrid;
class FilePanels;
class HandlerTable;
class ProgressMonitor;
struct AppState;
} // namespace plotwell

namespace plotwell::convert {

/// Everything the conversion commands read, change or ask. Not owned.
struct ConversionContext
{
    ChartGrid &grid;
    AppState &state;
    Alerts &alerts;
    FilePanels &panels;
    ProgressMonitor &progress;
    /// Width of the HTML table; the default width when empty or not positive.
    std::function<int()> htmlWidth;
};

/// The commands that convert the last imported CSV file into an SQL script, JSON, XML or an
/// HTML table: the column-name check, the save panel, one background job at a time with its
/// progress display, and what the user is told when the job ends.
class ConversionController : public QObject
{
    Q_OBJECT
public:
    explicit ConversionController(ConversionContext context, QObject *parent = nullptr);
    ~ConversionController() override;

    /// Serves `showSQLPanel:`, `showJSONPanel:`, `print:` and `showHTMLDownloadPanel:`.
    void addHandlers(HandlerTable &table);

    void showSQLPanel();
    void showJSONPanel();
    /// The print command exports XML; nothing is printed.
    void print();
    void showXMLPanel();
    void showHTMLDownloadPanel();

    [[nodiscard]] bool isRunning() const { return m_job.isRunning(); }
    [[nodiscard]] const ConversionJob &job() const { return m_job; }

Q_SIGNALS:
    /// A conversion has ended and the user has been told what there is to tell.
    void conversionEnded(bool ok);

private:
    void showPanel(Format format);
    void startGeneration(Format format, const QString &inputPath, const QString &outputPath);
    void generationFinished();

    ConversionContext m_context;
    ConversionJob m_job;
    QString m_inputPath;
    QString m_outputPath;
};

/// What the user is shown once a conversion into \a outputPath has ended: nothing after a clean
/// success; the failure; the remarks on records or characters that did not fit; the XML check.
[[nodiscard]] QList<AlertSpec> conversionOutcomeAlerts(const ConversionResult &result,
                                                       const QString &outputPath);

} // namespace plotwell::convert
