#include "ui/OrganisationFile.h"

#include "base/AppState.h"
#include "base/Log.h"
#include "model/ChartGrid.h"
#include "platform/qt/PdfJoin.h"
#include "render/Appearance.h"
#include "render/PageRequest.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPointer>
#include <QSaveFile>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <cmath>
#include <utility>

namespace plotwell {

namespace {

// A PDF page beyond 200 inches a side is more than most readers open: such a chart is printed
// on sheets of this paper unless the user chose one.
constexpr double kLargestPdfPagePoints = 14400;
const QString kDefaultPaper = QStringLiteral("a3");

// The engine's printing slows with the square of the pages a document holds: many sheets are
// printed a batch at a time, and the batches joined. A sheet of a large organisation holds about
// a hundred people, so batches stay small; the page collects what they leave every few batches.
constexpr int kSheetsPerBatch = 20;

QPageSize pageSizeOf(const QString &paper)
{
    if (paper == QLatin1String("a4"))
        return QPageSize(QPageSize::A4);
    if (paper == QLatin1String("letter"))
        return QPageSize(QPageSize::Letter);
    return QPageSize(QPageSize::A3);
}

} // namespace

OrganisationFile::OrganisationFile(QString data, const QString &target, QString paper,
                                   QObject *parent)
    : QObject(parent), m_paper(std::move(paper)), m_data(std::move(data)),
      m_view(new QWebEngineView), m_viewer(m_view.get())
{
    keepOffScreen(*m_view);
    m_view->resize(1280, 800);
    m_pictures.setTimeout(120000);
    m_target = QFileInfo(target).absoluteFilePath();
    m_suffix = QFileInfo(target).suffix().toLower();
}

OrganisationFile::~OrganisationFile()
{
    // Gone with its window, the file has nothing more to do or say, whatever the engine still
    // answers. A view destroyed while it prints stops the engine outright: such a view is left
    // to its print, and goes when that ends (print()).
    m_ended = true;
    m_cancelRequested = true;
    if (m_printing)
        (void)m_view.release();
    else
        m_view.reset();
}

void OrganisationFile::start()
{
    m_clock.start();
    ChartGrid grid;
    grid.setSetting(ChartSetting::Ctype, getCtype(kOrgChartTypeLabel).value_or(QString()));
    const AppState state;
    const ScriptedRequest scripted = scriptedRequest(
        requestUrl(viewerRequest(m_look ? *m_look : gatherRequestSettings(grid, state), m_data)),
        // The paper chosen, if any, shapes the layout: its columns end where a sheet does.
        m_paper.isEmpty() ? QStringLiteral("{still: true}")
                          : QStringLiteral("{still: true, paper: '%1'}").arg(m_paper));
    // Kept as the page got it, for a drawing at another size.
    m_data = scripted.data;
    connect(&m_viewer, &ChartViewer::loadFinished, this, [this](bool ok) {
        if (m_loaded)
            return;
        m_loaded = true;
        if (stopped())
            return;
        if (!ok)
            return end(QStringLiteral("the chart page did not draw the chart"));
        m_viewer.evaluate(QString::fromLatin1(kChartSizeScript), [this](const QString &answer) {
            if (stopped())
                return;
            const QSizeF size = parseChartSize(answer);
            if (size.isEmpty())
                return end(QStringLiteral("the chart page did not draw the chart"));
            drawn(size);
        });
    });
    progress(0, 0);
    m_viewer.loadThenRun(scripted.page, scripted.script);
}

// Where a large chart's time goes, for `--verbose` and the benchmark.
void OrganisationFile::phase(const char *what)
{
    diag(QStringLiteral("organisation file: %1 after %2 ms")
             .arg(QLatin1String(what))
             .arg(m_clock.elapsed()));
}

void OrganisationFile::note(const QString &text)
{
    if (noted)
        noted(text);
}

void OrganisationFile::progress(int done, int of)
{
    if (progressed)
        progressed(done, of);
}

bool OrganisationFile::stopped()
{
    if (!m_cancelRequested)
        return false;
    end(QStringLiteral("cancelled"));
    return true;
}

void OrganisationFile::draw(const QString &options, const std::function<void(QSizeF)> &then)
{
    m_viewer.evaluate(drawDataScript(m_data, options), [this, then](const QString &answer) {
        if (stopped())
            return;
        const QSizeF size = parseChartSize(answer);
        if (size.isEmpty())
            return end(QStringLiteral("the chart page did not draw the chart"));
        then(size);
    });
}

void OrganisationFile::drawn(QSizeF size)
{
    phase("drawn");
    progress(0, 0);
    m_size = size;
    if (m_suffix == QLatin1String("svg"))
        writeSvg();
    else if (m_suffix == QLatin1String("pdf"))
        writePdf();
    else
        writePng();
}

void OrganisationFile::writeSvg()
{
    m_viewer.evaluate(QStringLiteral("Orgchart.standaloneSvg(document)"),
                      [this](const QString &svg) {
                          if (stopped())
                              return;
                          if (svg.isEmpty())
                              return end(QStringLiteral("the chart page gave no drawing"));
                          save(svg.toUtf8());
                      });
}

void OrganisationFile::writePdf()
{
    const double largest = std::max(m_size.width(), m_size.height()) * 0.75;
    const QSize natural(int(std::ceil(m_size.width())), int(std::ceil(m_size.height())));
    const bool beyondPicture = m_pagedBeyondPicture && largestPictureScale(natural) < 1.0;
    if (m_paper.isEmpty() && (largest > kLargestPdfPagePoints || beyondPicture)) {
        m_paper = kDefaultPaper;
        note(QStringLiteral("the chart is %1 x %2 pixels, too large for one page: printed on A3 "
                            "sheets")
                 .arg(qRound(m_size.width()))
                 .arg(qRound(m_size.height())));
    }
    if (m_paper.isEmpty()) {
        // One page as large as the chart, as the window's PDF export.
        const QPageSize pageSize(m_size * 0.75, QPageSize::Point, QString(), QPageSize::ExactMatch);
        print(QPageLayout(pageSize, QPageLayout::Portrait, QMarginsF()),
              [this](const QByteArray &pdf) {
                  phase("printed");
                  save(pdf);
              });
        return;
    }
    layOutSheets(0);
}

void OrganisationFile::layOutSheets(int first)
{
    m_viewer.evaluate(
        QStringLiteral("(function () { var p = Orgchart.layOutOnPaper(document, '%1', "
                       "{first: %2, count: %3}); return p ? p.sheets + ' ' + (p.landscape ? 1 "
                       ": 0) + ' ' + p.cols + ' ' + p.rows : ''; })()")
            .arg(m_paper)
            .arg(first)
            .arg(kSheetsPerBatch),
        [this, first](const QString &answer) {
            if (stopped())
                return;
            const QStringList plan = answer.split(u' ');
            if (plan.size() != 4)
                return end(QStringLiteral("the chart page could not lay out the sheets"));
            const int sheets = plan[0].toInt();
            const bool landscape = plan[1] == QLatin1String("1");
            if (first == 0) {
                phase("sheets planned");
                note(
                    QStringLiteral("%1 sheet(s) of %2%3 (%4 across, %5 down, empty ones left "
                                   "out): cut each sheet along its marks and lay its edge on "
                                   "the dashed marks of the sheet before")
                        .arg(sheets)
                        .arg(m_paper.toUpper(),
                             landscape ? QStringLiteral(" landscape") : QStringLiteral(" portrait"),
                             plan[2], plan[3]));
            }
            const QPageLayout layout(pageSizeOf(m_paper),
                                     landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF());
            const int next = first + kSheetsPerBatch;
            progress(first, sheets);
            print(layout, [this, next, sheets](const QByteArray &pdf) {
                m_batches.append(pdf);
                phase("batch printed");
                progress(std::min(next, sheets), sheets);
                if (next < sheets)
                    return layOutSheets(next);
                // Joined straight into the file: the batches are the only copy held.
                const QList<QByteArray> batches = std::exchange(m_batches, {});
                QString problem;
                QSaveFile file(m_target);
                if (!file.open(QIODevice::WriteOnly))
                    return end(file.errorString());
                if (!joinPdfs(batches, file, &problem))
                    return end(QStringLiteral("the printed sheets could not be joined: ") +
                               problem);
                if (!file.commit())
                    return end(file.errorString());
                end({});
            });
        });
}

void OrganisationFile::print(const QPageLayout &layout,
                             const std::function<void(const QByteArray &)> &then)
{
    m_printing = true;
    const QPointer<OrganisationFile> self(this);
    QWebEngineView *view = m_view.get();
    m_view->page()->printToPdf(
        [self, view, then](const QByteArray &pdf) {
            if (!self) {
                view->deleteLater();
                return;
            }
            self->m_printing = false;
            if (self->stopped())
                return;
            if (pdf.isEmpty())
                return self->end(QStringLiteral("printing the chart failed"));
            then(pdf);
        },
        layout);
}

void OrganisationFile::writePng()
{
    const QSize natural(int(std::ceil(m_size.width())), int(std::ceil(m_size.height())));
    const double scale = largestPictureScale(natural);
    if (scale < 1.0) {
        const QSize shown = (QSizeF(natural) * scale).toSize();
        note(QStringLiteral("the chart is %1 x %2 pixels, more than the engine paints in one "
                            "picture (%3 a side, %4 million pixels): scaled to %5 x %6; for every "
                            "name at full size write a PDF or an SVG")
                 .arg(natural.width())
                 .arg(natural.height())
                 .arg(kLargestPictureSide)
                 .arg(kLargestPicturePixels / 1000000)
                 .arg(shown.width())
                 .arg(shown.height()));
        draw(QStringLiteral("{still: true, screen: {width: %1, height: %2}}")
                 .arg(shown.width())
                 .arg(shown.height()),
             [this, shown](QSizeF) { picture(shown); });
        return;
    }
    picture(natural);
}

void OrganisationFile::picture(QSize size)
{
    m_view->resize(size);
    m_pictures.takePicture(m_viewer, 1.0, [this](const QImage &image) {
        if (stopped())
            return;
        phase("painted");
        if (image.isNull())
            return end(QStringLiteral("the chart page did not paint"));
        QSaveFile file(m_target);
        if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
            return end(file.errorString());
        end({});
    });
}

void OrganisationFile::save(const QByteArray &bytes)
{
    QSaveFile file(m_target);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0 || !file.commit())
        return end(file.errorString());
    end({});
}

void OrganisationFile::end(const QString &problem)
{
    if (std::exchange(m_ended, true))
        return;
    phase(problem.isEmpty() ? "written" : "failed");
    if (!problem.isEmpty())
        diag(QStringLiteral("organisation file: ") + problem);
    if (finished)
        finished(problem);
}

ChartExporter::SheetPrinter gridSheetPrinter(QObject *owner)
{
    return [owner](const QString &data, const RequestSettings &look, const QString &path,
                   std::function<void(const QString &)> noted, ChartExporter::Done done) {
        auto *file = new OrganisationFile(data, path, QString(), owner);
        file->setLook(look);
        file->setPagedBeyondPicture(true);
        file->noted = std::move(noted);
        file->finished = [file, done = std::move(done)](const QString &problem) {
            file->deleteLater();
            done(problem);
        };
        file->start();
    };
}

} // namespace plotwell
