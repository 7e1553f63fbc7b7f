#pragma once

#include "export/ChartExporter.h"
#include "platform/AppContext.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace plotwell {

class HandlerTable;
struct AlertSpec;

/// The share files, overwritten by every share of their kind, in a folder of the program's own.
inline const QString kSharePngName = QStringLiteral("new.png");
inline const QString kSharePdfName = QStringLiteral("OrvantaDocument.pdf");
/// Wait after entering full screen before a high-resolution picture is taken.
inline constexpr int kFullScreenDelayMs = 1000;

/// The notes of a file written ("the chart is ... pixels", lower case, as a command prints them)
/// as sentences for an alert, one a line.
[[nodiscard]] QString notesAsSentences(const QStringList &notes);

/// The export and share commands: PNG and PDF in two sizes through save panels, the
/// clipboard copy and the hand-over of a share file to the mail application.
class ExportController : public QObject
{
    Q_OBJECT
public:
    ExportController(AppContext context, ChartExporter &exporter, QObject *parent = nullptr);

    /// Registers the export and share handlers by name.
    void addHandlers(HandlerTable &table);

    /// The folder of the share files and of the side picture: a folder of the program's own in
    /// the cache location unless set, so that no file of the user's is written over.
    void setDocumentsFolder(const QString &folder) { m_documentsFolder = folder; }
    /// Where the save panel's proposed name comes from (the chart's title or document).
    void setProposedName(std::function<QString()> name) { m_proposedName = std::move(name); }
    /// How drawing the grid's chart went when an export found none drawn yet.
    enum class FirstRender {
        NothingToDraw, // the grid is empty
        Drawn,         // asked for: the export waits for it
        Refused,       // the render said why in an alert of its own
    };
    void setRenderFirst(std::function<FirstRender()> render) { m_renderFirst = std::move(render); }
    [[nodiscard]] QString documentsFolder() const;

    // Exports (`PNGDownload:`, `PDFDownload:`, `downloadHiResPNG:`, `printHiResPDF:`).
    void PNGDownload();
    void PDFDownload();
    void downloadHiResPNG();
    void printHiResPDF();
    void downloadHiResPNGFinal();
    void printHiResPDFFinal();
    /// `downloadWOptions:`: asks which of the four exports to run.
    void downloadWOptions();
    /// `copyChart:`: the small picture onto the clipboard.
    void copyChart();

    // Shares.
    /// `emailChart:`: asks which of the four shares to run.
    void emailChart();
    void PNGShare();
    void PDFShare();
    void pngShareEnterFullScreen();
    void pdfShareEnterFullScreen();
    void PNGShareHiRes();
    void PDFShareHiRes();

Q_SIGNALS:
    /// An export, copy or share has ended: written, refused, cancelled or failed.
    void finished();

private:
    enum class Format { Png, Pdf };
    void saveWithPanel(Resolution resolution, Format format);
    void share(Resolution resolution, Format format);
    /// Asks with the options alert; returns the index of the chosen option (0-3) or -1.
    int askOption(const QString &informativeText);
    void enterFullScreenThen(void (ExportController::*step)());
    void toggleFullScreen();
    [[nodiscard]] QString sharePath(const QString &name) const;
    /// Refuses, with an alert that says so, when nothing has been rendered and the grid has no
    /// chart to render either; ends the flow.
    bool refuseWithoutChart();
    /// Shows \a problem (when there is one) and ends the flow.
    void finish(const QString &problem, const QString &path = {},
                const QString &message = QStringLiteral("The chart could not be exported."));

    AppContext m_context;
    ChartExporter &m_exporter;
    QString m_documentsFolder;
    std::function<QString()> m_proposedName;
    std::function<FirstRender()> m_renderFirst;
};

} // namespace plotwell
