#include "ui/StaffRenderCommand.h"

#include "base/Log.h"
#include "model/ChartGrid.h"
#include "platform/qt/PdfJoin.h"
#include "platform/qt/WebEngineChartPictures.h"
#include "platform/qt/WebEngineChartViewer.h"
#include "render/Appearance.h"
#include "render/PageRequest.h"
#include "staff/StaffChart.h"
#include "staff/StaffImport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QSaveFile>
#include <QTextStream>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <utility>

namespace plotwell {

namespace {

constexpr char kUsage[] =
    "usage: plotwell render --staff STAFF.csv -o OUT.pdf|OUT.png|OUT.svg [--paper a4|a3|letter]\n"
    "                       [--name-column C] [--title-column C] [--manager-column C]\n";

// A PDF page beyond 200 inches a side is more than most readers open: such a chart is printed
// on sheets of this paper unless the user chose one.
constexpr double kLargestPdfPagePoints = 14400;
const QString kDefaultPaper = QStringLiteral("a3");

struct StaffRenderOptions
{
    QString staff;
    QString output;
    QString paper;
    staff::ColumnChoices columns;
};

std::optional<StaffRenderOptions> parseOptions(const QStringList &args, QString &problem)
{
    StaffRenderOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--staff") && hasValue)
            options.staff = args[++i];
        else if ((arg == QLatin1String("-o") || arg == QLatin1String("--output")) && hasValue)
            options.output = args[++i];
        else if (arg == QLatin1String("--paper") && hasValue)
            options.paper = args[++i].toLower();
        else if (arg == QLatin1String("--name-column") && hasValue)
            options.columns.name = args[++i];
        else if (arg == QLatin1String("--title-column") && hasValue)
            options.columns.title = args[++i];
        else if (arg == QLatin1String("--manager-column") && hasValue)
            options.columns.manager = args[++i];
        else {
            problem = QStringLiteral("unknown argument: ") + arg;
            return std::nullopt;
        }
    }
    const QString suffix = QFileInfo(options.output).suffix().toLower();
    if (options.staff.isEmpty() || options.output.isEmpty() ||
        !QStringList{"pdf", "png", "svg"}.contains(suffix)) {
        problem = QStringLiteral("give a staff list (--staff) and a .pdf, .png or .svg file (-o)");
        return std::nullopt;
    }
    if (!options.paper.isEmpty() && !QStringList{"a4", "a3", "letter"}.contains(options.paper)) {
        problem = QStringLiteral("the paper is a4, a3 or letter");
        return std::nullopt;
    }
    return options;
}

QPageSize pageSizeOf(const QString &paper)
{
    if (paper == QLatin1String("a4"))
        return QPageSize(QPageSize::A4);
    if (paper == QLatin1String("letter"))
        return QPageSize(QPageSize::Letter);
    return QPageSize(QPageSize::A3);
}

/// Draws one staff list with the chart page in an off-screen view and writes the file the
/// output's suffix names. Each step waits for the page's answer to the one before.
class StaffRender : public QObject
{
public:
    StaffRender(StaffRenderOptions options, QString data, QTextStream &out, QTextStream &err)
        : m_options(std::move(options)), m_data(std::move(data)), m_out(out), m_err(err),
          m_view(new QWebEngineView), m_viewer(m_view.get())
    {
        m_view->setAttribute(Qt::WA_DontShowOnScreen);
        m_view->resize(1280, 800);
        m_view->show();
        m_pictures.setTimeout(120000);
        m_target = QFileInfo(m_options.output).absoluteFilePath();
        m_suffix = QFileInfo(m_options.output).suffix().toLower();
    }

    void start()
    {
        m_clock.start();
        ChartGrid grid;
        grid.setSetting(ChartSetting::Ctype, getCtype(kOrgChartTypeLabel).value_or(QString()));
        const AppState state;
        const ScriptedRequest scripted =
            scriptedRequest(requestUrl(viewerRequest(gatherRequestSettings(grid, state), m_data)),
                            QStringLiteral("{still: true}"));
        // Kept as the page got it, for a drawing at another size.
        m_data = scripted.data;
        connect(&m_viewer, &ChartViewer::loadFinished, this, [this](bool ok) {
            if (m_loaded)
                return;
            m_loaded = true;
            if (!ok)
                return fail(QStringLiteral("the chart page did not draw the chart"));
            m_viewer.evaluate(QString::fromLatin1(kChartSizeScript), [this](const QString &answer) {
                const QSizeF size = parseChartSize(answer);
                if (size.isEmpty())
                    return fail(QStringLiteral("the chart page did not draw the chart"));
                drawn(size);
            });
        });
        m_viewer.loadThenRun(scripted.page, scripted.script);
    }

    [[nodiscard]] int exitCode() const { return m_exitCode; }

private:
    // Where a large chart's time goes, for `--verbose` and the benchmark.
    void phase(const char *what)
    {
        diag(QStringLiteral("staff render: %1 after %2 ms")
                 .arg(QLatin1String(what))
                 .arg(m_clock.elapsed()));
    }

    void draw(const QString &options, const std::function<void(QSizeF)> &then)
    {
        m_viewer.evaluate(drawDataScript(m_data, options), [this, then](const QString &answer) {
            const QSizeF size = parseChartSize(answer);
            if (size.isEmpty())
                return fail(QStringLiteral("the chart page did not draw the chart"));
            then(size);
        });
    }

    void drawn(QSizeF size)
    {
        phase("drawn");
        m_size = size;
        if (m_suffix == QLatin1String("svg"))
            writeSvg();
        else if (m_suffix == QLatin1String("pdf"))
            writePdf();
        else
            writePng();
    }

    void writeSvg()
    {
        m_viewer.evaluate(QStringLiteral("Orgchart.standaloneSvg(document)"),
                          [this](const QString &svg) {
                              if (svg.isEmpty())
                                  return fail(QStringLiteral("the chart page gave no drawing"));
                              save(svg.toUtf8());
                          });
    }

    void writePdf()
    {
        QString paper = m_options.paper;
        const double largest = std::max(m_size.width(), m_size.height()) * 0.75;
        if (paper.isEmpty() && largest > kLargestPdfPagePoints) {
            paper = kDefaultPaper;
            m_err << "plotwell render: the chart is " << qRound(m_size.width()) << " x "
                  << qRound(m_size.height())
                  << " pixels, too large for one page: printed on A3 sheets (choose with "
                     "--paper)\n";
        }
        if (paper.isEmpty()) {
            // One page as large as the chart, as the window's PDF export.
            const QPageSize pageSize(m_size * 0.75, QPageSize::Point, QString(),
                                     QPageSize::ExactMatch);
            print(QPageLayout(pageSize, QPageLayout::Portrait, QMarginsF()));
            return;
        }
        m_paper = paper;
        layOutSheets(0);
    }

    // The engine's printing slows with the square of the pages a document holds: many sheets
    // are printed a batch at a time, and the batches joined.
    static constexpr int kSheetsPerBatch = 100;

    void layOutSheets(int first)
    {
        m_viewer.evaluate(
            QStringLiteral("(function () { var p = Orgchart.layOutOnPaper(document, '%1', "
                           "{first: %2, count: %3}); return p ? p.sheets + ' ' + (p.landscape ? 1 "
                           ": 0) + ' ' + p.cols + ' ' + p.rows : ''; })()")
                .arg(m_paper)
                .arg(first)
                .arg(kSheetsPerBatch),
            [this, first](const QString &answer) {
                const QStringList plan = answer.split(u' ');
                if (plan.size() != 4)
                    return fail(QStringLiteral("the chart page could not lay out the sheets"));
                const int sheets = plan[0].toInt();
                const bool landscape = plan[1] == QLatin1String("1");
                if (first == 0) {
                    phase("sheets planned");
                    m_err << "plotwell render: " << sheets << " sheet(s) of " << m_paper.toUpper()
                          << (landscape ? " landscape" : " portrait") << " (" << plan[2]
                          << " across, " << plan[3]
                          << " down, empty ones left out): cut each sheet along its marks and lay "
                             "its edge on the dashed marks of the sheet before\n";
                }
                const QPageLayout layout(pageSizeOf(m_paper),
                                         landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                         QMarginsF());
                const int next = first + kSheetsPerBatch;
                print(layout, [this, next, sheets](const QByteArray &pdf) {
                    m_batches.append(pdf);
                    phase("batch printed");
                    if (next < sheets)
                        return layOutSheets(next);
                    phase("printed");
                    QString problem;
                    const QByteArray joined = joinPdfs(std::exchange(m_batches, {}), &problem);
                    if (joined.isEmpty())
                        return fail(QStringLiteral("the printed sheets could not be joined: ") +
                                    problem);
                    save(joined);
                });
            });
    }

    void print(const QPageLayout &layout, const std::function<void(const QByteArray &)> &then = {})
    {
        m_view->page()->printToPdf(
            [this, then](const QByteArray &pdf) {
                if (pdf.isEmpty())
                    return fail(QStringLiteral("printing the chart failed"));
                if (then)
                    return then(pdf);
                phase("printed");
                save(pdf);
            },
            layout);
    }

    void writePng()
    {
        const QSize natural(int(std::ceil(m_size.width())), int(std::ceil(m_size.height())));
        const double scale = staffPictureScale(natural);
        if (scale < 1.0) {
            const QSize shown = (QSizeF(natural) * scale).toSize();
            m_err << "plotwell render: the chart is " << natural.width() << " x "
                  << natural.height() << " pixels, more than the engine paints in one picture ("
                  << kLargestPictureSide << " a side, " << kLargestPicturePixels / 1000000
                  << " million pixels): scaled to " << shown.width() << " x " << shown.height()
                  << "; for every name at full size write a PDF or an SVG\n";
            draw(QStringLiteral("{still: true, screen: {width: %1, height: %2}}")
                     .arg(shown.width())
                     .arg(shown.height()),
                 [this, shown](QSizeF) { picture(shown); });
            return;
        }
        picture(natural);
    }

    void picture(QSize size)
    {
        m_view->resize(size);
        m_pictures.takePicture(m_viewer, 1.0, [this](const QImage &image) {
            phase("painted");
            if (image.isNull())
                return fail(QStringLiteral("the chart page did not paint"));
            QSaveFile file(m_target);
            if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
                return fail(file.errorString());
            done();
        });
    }

    void save(const QByteArray &bytes)
    {
        QSaveFile file(m_target);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0 || !file.commit())
            return fail(file.errorString());
        done();
    }

    void done()
    {
        phase("written");
        m_out << m_target << '\n';
        m_exitCode = 0;
        QApplication::exit();
    }

    void fail(const QString &why)
    {
        m_err << "plotwell render: " << m_target << ": " << why << '\n';
        QApplication::exit();
    }

    StaffRenderOptions m_options;
    QString m_data;
    QTextStream &m_out;
    QTextStream &m_err;
    std::unique_ptr<QWebEngineView> m_view;
    WebEngineChartViewer m_viewer;
    WebEngineChartPictures m_pictures;
    QString m_target;
    QString m_suffix;
    QSizeF m_size;
    bool m_loaded = false;
    int m_exitCode = 1;
    QElapsedTimer m_clock;
    QString m_paper;
    QList<QByteArray> m_batches;
};

} // namespace

double staffPictureScale(QSize chart)
{
    if (chart.isEmpty())
        return 1.0;
    const double side = double(kLargestPictureSide) / std::max(chart.width(), chart.height());
    const double area =
        std::sqrt(double(kLargestPicturePixels) / (double(chart.width()) * chart.height()));
    return std::min({1.0, side, area});
}

int runStaffRenderCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString problem;
    const std::optional<StaffRenderOptions> options = parseOptions(args, problem);
    if (!options) {
        err << "plotwell render: " << problem << '\n' << kUsage;
        return 2;
    }
    const std::optional<staff::LoadedStaff> loaded =
        staff::loadStaffList(options->staff, options->columns, &problem);
    if (!loaded) {
        err << "plotwell render: " << options->staff << ": " << problem << '\n';
        return 1;
    }
    const staff::Organisation &organisation = loaded->organisation;
    for (const QString &line : staff::problemLines(organisation))
        err << "plotwell render: " << line << '\n';
    if (organisation.people.isEmpty()) {
        err << "plotwell render: " << options->staff << ": the staff list holds nobody\n";
        return 1;
    }
    const QString data = staff::staffDataString(
        organisation, staff::chartOrder(organisation, staff::everyone(organisation)));

    StaffRender render(*options, data, out, err);
    render.start();
    QTimer::singleShot(600000, qApp, [&] {
        err << "plotwell render: the chart page did not finish drawing\n";
        QApplication::exit();
    });
    QApplication::exec();
    return render.exitCode();
}

} // namespace plotwell
