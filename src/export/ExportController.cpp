#include "export/ExportController.h"

#include "base/CommandCenter.h"
#include "base/Commands.h"
#include "base/Log.h"
#include "platform/Alerts.h"
#include "platform/FilePanels.h"
#include "platform/Mailer.h"
#include "render/ViewerLoader.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QTimer>

namespace plotwell {

namespace {

const QStringList kOptionButtons = {QStringLiteral("PNG"), QStringLiteral("HiRes PNG"),
                                    QStringLiteral("PDF"), QStringLiteral("HiRes PDF"),
                                    QStringLiteral("Cancel")};

} // namespace

QString notesAsSentences(const QStringList &notes)
{
    QStringList said;
    for (const QString &note : notes)
        said << note.left(1).toUpper() + note.mid(1) + QLatin1Char('.');
    return said.join(QLatin1Char('\n'));
}

ExportController::ExportController(AppContext context, ChartExporter &exporter, QObject *parent)
    : QObject(parent), m_context(context), m_exporter(exporter)
{}

void ExportController::addHandlers(HandlerTable &table)
{
    table.bind(QStringLiteral("PNGDownload:"), this, &ExportController::PNGDownload);
    table.bind(QStringLiteral("PDFDownload:"), this, &ExportController::PDFDownload);
    table.bind(QStringLiteral("downloadHiResPNG:"), this, &ExportController::downloadHiResPNG);
    table.bind(QStringLiteral("printHiResPDF:"), this, &ExportController::printHiResPDF);
    table.bind(QStringLiteral("downloadWOptions:"), this, &ExportController::downloadWOptions);
    table.bind(QStringLiteral("copyChart:"), this, &ExportController::copyChart);
    table.bind(QStringLiteral("emailChart:"), this, &ExportController::emailChart);
    table.bind(QStringLiteral("PNGShare"), this, &ExportController::PNGShare);
    table.bind(QStringLiteral("PDFShare"), this, &ExportController::PDFShare);
}

QString ExportController::documentsFolder() const
{
    if (!m_documentsFolder.isEmpty())
        return m_documentsFolder;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
        .filePath(QStringLiteral("shared"));
}

bool ExportController::refuseWithoutChart()
{
    if (m_exporter.hasChart())
        return false;
    // The grid filled but not drawn yet: a picture of it is what was asked for, so it is drawn
    // as Render would draw it.
    const FirstRender first = m_renderFirst ? m_renderFirst() : FirstRender::NothingToDraw;
    if (first == FirstRender::Drawn && m_exporter.hasChart())
        return false;
    if (first != FirstRender::Refused)
        m_context.alerts.runModal({QStringLiteral("Render the chart first."),
                                   QStringLiteral("There is no chart to export or share yet: "
                                                  "fill the grid, press Render, then try again."),
                                   {},
                                   AlertSpec::Style::Informational});
    Q_EMIT finished();
    return true;
}

QString ExportController::sharePath(const QString &name) const
{
    const QString folder = documentsFolder();
    // The folder is created on first use.
    QDir().mkpath(folder);
    return QDir(folder).filePath(name);
}

void ExportController::finish(const QString &problem, const QString &path, const QString &message)
{
    if (!problem.isEmpty()) {
        diag(message + QLatin1Char(' ') + problem);
        const QString where = path.isEmpty() ? QString() : path + QStringLiteral("\n\n");
        m_context.alerts.runModal({message, where + problem, {}, AlertSpec::Style::Warning});
    }
    Q_EMIT finished();
}

void ExportController::toggleFullScreen()
{
    m_context.commands.post(command::fScreen);
}

void ExportController::enterFullScreenThen(void (ExportController::*step)())
{
    toggleFullScreen();
    // The full-screen viewer is laid out at the screen's size while the window settles.
    QTimer::singleShot(kFullScreenDelayMs, this, [this, step] { (this->*step)(); });
}

void ExportController::saveWithPanel(Resolution resolution, Format format)
{
    if (refuseWithoutChart()) {
        if (resolution == Resolution::High)
            toggleFullScreen();
        return;
    }
    const bool png = format == Format::Png;
    const std::optional<QString> path = m_context.filePanels.chooseSavePath(
        {{png ? QStringLiteral("png") : QStringLiteral("pdf")},
         m_proposedName ? m_proposedName() : QString(),
         png ? QStringLiteral("Export PNG") : QStringLiteral("Export PDF")});
    if (!path) {
        diag(QStringLiteral("Did not save"));
        if (resolution == Resolution::High)
            toggleFullScreen();
        finish({});
        return;
    }
    const QString target = *path;
    // The window leaves full screen after every high-resolution export, written or not.
    const auto saved = [this, target, resolution](const QString &problem) {
        if (resolution == Resolution::High)
            toggleFullScreen();
        if (!problem.isEmpty()) {
            finish(problem, target);
            return;
        }
        diag(QStringLiteral("We actually saved"));
        diag(QStringLiteral("Saved as filename = ") + target);
        if (!m_exporter.sheetNotes().isEmpty()) {
            m_context.alerts.runModal({QStringLiteral("The chart was printed on sheets."),
                                       notesAsSentences(m_exporter.sheetNotes()),
                                       {},
                                       AlertSpec::Style::Informational});
        } else if (const double scale = m_exporter.exportScale(); scale < 1.0) {
            m_context.alerts.runModal(
                {QStringLiteral("The chart was drawn smaller to fit."),
                 QStringLiteral("It is larger than the largest picture that can be drawn "
                                "(%1 pixels a side), so it was scaled to %2%.")
                     .arg(ViewerLoader::kLargestExportSide)
                     .arg(scale * 100, 0, 'f', 0),
                 {},
                 AlertSpec::Style::Informational});
        }
        finish({});
    };
    if (png) {
        m_exporter.writePng(resolution, target, true, saved);
        return;
    }
    // A PDF export leaves its picture as "new.png" beside the share files as well. That side
    // file failing does not stop the PDF the user asked for; it is reported on its own.
    const QString side = sharePath(kSharePngName);
    m_exporter.writePng(resolution, side, false,
                        [this, resolution, target, side, saved](const QString &problem) {
                            if (!problem.isEmpty()) {
                                diag(QStringLiteral("SIDE PICTURE FAILED ") + problem);
                                m_context.alerts.runModal(
                                    {QStringLiteral("The side picture could not be written."),
                                     side + QStringLiteral("\n\n") + problem +
                                         QStringLiteral("\n\nThe PDF is written all the same."),
                                     {},
                                     AlertSpec::Style::Informational});
                            }
                            m_exporter.writePdf(resolution, target, true, saved);
                        });
}

void ExportController::PNGDownload()
{
    saveWithPanel(Resolution::Small, Format::Png);
}

void ExportController::PDFDownload()
{
    saveWithPanel(Resolution::Small, Format::Pdf);
}

void ExportController::downloadHiResPNG()
{
    enterFullScreenThen(&ExportController::downloadHiResPNGFinal);
}

void ExportController::printHiResPDF()
{
    enterFullScreenThen(&ExportController::printHiResPDFFinal);
}

void ExportController::downloadHiResPNGFinal()
{
    saveWithPanel(Resolution::High, Format::Png);
}

void ExportController::printHiResPDFFinal()
{
    saveWithPanel(Resolution::High, Format::Pdf);
}

int ExportController::askOption(const QString &informativeText)
{
    const int code = m_context.alerts.runModal({QStringLiteral("Select an Option"), informativeText,
                                                kOptionButtons, AlertSpec::Style::Warning});
    diag(QStringLiteral("rCODE= %1").arg(code));
    const int option = code - kFirstButton;
    if (option < 0 || option > 3) {
        diag(QStringLiteral("other"));
        return -1;
    }
    diag(kOptionButtons[option]);
    return option;
}

void ExportController::downloadWOptions()
{
    switch (askOption(QStringLiteral("Select  resolution & format to download"))) {
    case 0:
        PNGDownload();
        break;
    case 1:
        downloadHiResPNG();
        break;
    case 2:
        PDFDownload();
        break;
    case 3:
        printHiResPDF();
        break;
    default:
        Q_EMIT finished();
        break;
    }
}

void ExportController::copyChart()
{
    if (refuseWithoutChart())
        return;
    m_exporter.picture(Resolution::Small, [this](const QImage &image) {
        if (image.isNull()) {
            finish(QStringLiteral("No picture of the chart could be taken."));
            return;
        }
        QClipboard *clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setImage(image);
        diag(QStringLiteral("IMAGE= %1x%2").arg(image.width()).arg(image.height()));
        finish({});
    });
}

void ExportController::emailChart()
{
    switch (askOption(QStringLiteral("Select  resolution & format to share"))) {
    case 0:
        PNGShare();
        break;
    case 1:
        pngShareEnterFullScreen();
        break;
    case 2:
        PDFShare();
        break;
    case 3:
        pdfShareEnterFullScreen();
        break;
    default:
        Q_EMIT finished();
        break;
    }
}

void ExportController::share(Resolution resolution, Format format)
{
    if (refuseWithoutChart()) {
        if (resolution == Resolution::High)
            toggleFullScreen();
        return;
    }
    const bool png = format == Format::Png;
    const QString path = sharePath(png ? kSharePngName : kSharePdfName);
    const auto written = [this, resolution, path](const QString &problem) {
        QString failure = problem;
        if (failure.isEmpty()) {
            // A mail program's failure may be pages of output: the alert shows its first line,
            // the diagnostic log keeps all of it.
            failure = m_context.mailer.attachToNewMessage(path);
            if (!failure.isEmpty()) {
                diag(QStringLiteral("MAIL FAILED ") + failure);
                failure = failure.trimmed().section(QLatin1Char('\n'), 0, 0) +
                          QStringLiteral(" (the whole output is in the diagnostic log)");
            }
        }
        // The high-resolution shares leave full screen whether or not the mail client opened.
        if (resolution == Resolution::High)
            toggleFullScreen();
        finish(failure, path, QStringLiteral("The chart could not be shared."));
    };
    if (png)
        m_exporter.writePng(resolution, path, false, written);
    else
        m_exporter.writePdf(resolution, path, false, written);
}

void ExportController::PNGShare()
{
    share(Resolution::Small, Format::Png);
}

void ExportController::PDFShare()
{
    share(Resolution::Small, Format::Pdf);
}

void ExportController::pngShareEnterFullScreen()
{
    enterFullScreenThen(&ExportController::PNGShareHiRes);
}

void ExportController::pdfShareEnterFullScreen()
{
    enterFullScreenThen(&ExportController::PDFShareHiRes);
}

void ExportController::PNGShareHiRes()
{
    share(Resolution::High, Format::Png);
}

void ExportController::PDFShareHiRes()
{
    share(Resolution::High, Format::Pdf);
}

} // namespace plotwell
