// The export and share flows with scripted ports and a fake picture taker: panels, the
// full-screen round trip, the share files, the options alerts and the failures shown.
#include "Fakes.h"
#include "TestFiles.h"
#include "base/AppState.h"
#include "base/CommandCenter.h"
#include "base/Commands.h"
#include "export/ExportController.h"
#include "model/ChartGrid.h"
#include "render/ViewerLoader.h"

#include <QDir>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace plotwell;
using namespace plotwell::testing;

namespace {

/// Pictures of a fixed size per viewer, drawn at the scale asked; the PDF is a marker text.
class FakePictures final : public ChartPictures
{
public:
    [[nodiscard]] QSizeF viewerSize(const ChartViewer &viewer) const override
    {
        return sizes.value(&viewer);
    }
    void takePicture(ChartViewer &viewer, double scale, ImageDone done) override
    {
        if (fail) {
            done({});
            return;
        }
        QImage image((viewerSize(viewer) * scale).toSize(), QImage::Format_RGB32);
        image.fill(Qt::red);
        done(image);
    }
    void printToPdf(ChartViewer &viewer, PdfDone done) override
    {
        done(fail ? QByteArray()
                  : QByteArray("%PDF-") + QByteArray::number(sizes.value(&viewer).width()));
    }

    QMap<const ChartViewer *, QSizeF> sizes;
    bool fail = false;
};

/// Fresh ports, pictures and controller for each test, the documents folder not yet made.
struct Flows : FakeApp
{
    QTemporaryDir dir;
    FakeChartViewer webViewM, webViewL;
    FakePictures pictures;
    ChartExporter exporter{webViewM, webViewL, pictures};
    ExportController exports{context, exporter};
    int fullScreenToggles = 0;
    Flows()
    {
        pictures.sizes = {{&webViewM, QSizeF(300, 200)}, {&webViewL, QSizeF(800, 630)}};
        commands.observe(command::fScreen, [this](const QVariant &) { ++fullScreenToggles; });
        exports.setDocumentsFolder(dir.filePath(QStringLiteral("Documents")));
    }
    [[nodiscard]] QString file(const char *name) const { return dir.filePath(QLatin1String(name)); }
    [[nodiscard]] QString documents(const char *name) const
    {
        return dir.filePath(QStringLiteral("Documents/") + QLatin1String(name));
    }
    void run(void (ExportController::*flow)())
    {
        QSignalSpy finished(&exports, &ExportController::finished);
        (exports.*flow)();
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), 10000);
    }
};

} // namespace

class ExportFlowsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void hiResScaleDoublesAtLeastAndCoversLargeCharts()
    {
        // A chart smaller than the screen: twice the screen's density.
        QCOMPARE(hiResScale({300, 200}, {1440, 930}), 2.0);
        // A chart wider than the screen, which the page shrinks to fit: enough density that
        // the large picture still has twice the small one's pixels each way.
        QVERIFY(1440 * hiResScale({3000, 400}, {1440, 930}) >= 2 * 3000);
        QVERIFY(930 * hiResScale({400, 2500}, {1440, 930}) >= 2 * 2500);
        // Bounded, so a huge chart cannot ask for an image no one can hold.
        QVERIFY(1440 * hiResScale({100000, 400}, {1440, 930}) <= kMaxPictureSide + 1);
    }

    void smallPngAndPdfGoWhereThePanelSaysThePdfWithASidePicture()
    {
        Flows f;
        f.panels.savePaths = {f.file("chart.png"), f.file("chart.pdf"), f.file("chart.pdf")};
        f.run(&ExportController::PNGDownload);
        QCOMPARE(QImage(f.file("chart.png")).size(), QSize(300, 200));
        QVERIFY(!QFile::exists(f.documents("new.png")));

        f.run(&ExportController::PDFDownload);
        QCOMPARE(readFile(f.file("chart.pdf")), QByteArray("%PDF-300"));
        QCOMPARE(QImage(f.documents("new.png")).size(), QSize(300, 200));
        // The next PDF export overwrites the side picture.
        f.pictures.sizes[&f.webViewM] = QSizeF(120, 80);
        f.run(&ExportController::PDFDownload);
        QCOMPARE(QImage(f.documents("new.png")).size(), QSize(120, 80));
    }

    void optionsRunTheChosenExportOrNothing()
    {
        Flows f;
        f.alerts.answers = {kFirstButton + 4};
        f.run(&ExportController::downloadWOptions);
        QCOMPARE(f.alerts.shown.size(), 1);
        QCOMPARE(f.alerts.shown[0].buttons,
                 (QStringList{"PNG", "HiRes PNG", "PDF", "HiRes PDF", "Cancel"}));
        QVERIFY(f.panels.savePanels.isEmpty());

        f.alerts.answers = {kFirstButton + 2};
        f.run(&ExportController::downloadWOptions); // "PDF", cancelled in its panel
        QCOMPARE(f.panels.savePanels.value(0).allowedTypes, QStringList{"pdf"});
        QCOMPARE(f.panels.savePanels.value(0).title, QStringLiteral("Export PDF"));
        QCOMPARE(f.fullScreenToggles, 0);
        QVERIFY(QDir(f.dir.path()).isEmpty());
    }

    void sharesWriteTheirFileAndHandItToTheMailer()
    {
        Flows f;
        f.run(&ExportController::PNGShare);
        f.run(&ExportController::PDFShare);
        QCOMPARE(f.mailer.attached,
                 (QStringList{f.documents("new.png"), f.documents("OrvantaDocument.pdf")}));
        QCOMPARE(QImage(f.documents("new.png")).size(), QSize(300, 200));
        QVERIFY(f.panels.savePanels.isEmpty());
        // Unless told otherwise the share files go to a folder of ours, not the user's Documents.
        QVERIFY(ExportController(f.context, f.exporter)
                    .documentsFolder()
                    .startsWith(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)));

        // The high-resolution share is drawn in full screen and ends out of it.
        f.alerts.answers = {kFirstButton + 3}; // "HiRes PDF"
        f.run(&ExportController::emailChart);
        QCOMPARE(f.fullScreenToggles, 2);
        QCOMPARE(f.mailer.attached.size(), 3);
        QCOMPARE(readFile(f.documents("OrvantaDocument.pdf")), QByteArray("%PDF-800"));
    }

    void beforeAnyRenderEveryExportSaysToRenderFirst()
    {
        Flows f;
        FakeChartViewer webView;
        ChartGrid grid;
        ViewerLoader loader(webView, f.webViewM, f.webViewL, grid, f.state, f.commands, f.desktop);
        f.exporter.setLoader(&loader);
        for (const auto flow : {&ExportController::PNGDownload, &ExportController::PDFShare,
                                &ExportController::copyChart, &ExportController::downloadHiResPNG})
            f.run(flow);
        QCOMPARE(f.alerts.messages(), QStringList(4, QStringLiteral("Render the chart first.")));
        QVERIFY(f.panels.savePanels.isEmpty() && f.mailer.attached.isEmpty());
        QCOMPARE(f.fullScreenToggles, 2); // the high-resolution one leaves full screen again
        QVERIFY(!QDir(f.file("Documents")).exists());
    }

    void failuresAreShown()
    {
        Flows f;
        // A folder that cannot be written: the save fails, and says so.
        const QString blocked = f.file("missing/chart.png");
        f.panels.savePaths = {blocked};
        f.run(&ExportController::PNGDownload);
        QVERIFY(f.alerts.shown.value(0).informativeText.contains(blocked));

        // A mail hand-over that fails with pages of output: one line of it is shown.
        f.alerts.shown.clear();
        f.mailer.failure = QStringLiteral("xdg-email failed with exit code 3.\n") +
                           QStringLiteral("gio: error\n").repeated(50);
        f.run(&ExportController::PNGShare);
        QVERIFY(f.alerts.shown.value(0).informativeText.contains(
            QStringLiteral("xdg-email failed with exit code 3. (the whole output")));
        QVERIFY(!f.alerts.shown[0].informativeText.contains(QStringLiteral("gio")));

        // No picture: nothing is written or handed over.
        f.alerts.shown.clear();
        f.mailer.attached.clear();
        f.mailer.failure.clear();
        f.pictures.fail = true;
        f.run(&ExportController::PDFShare);
        QCOMPARE(f.alerts.shown.size(), 1);
        QVERIFY(f.mailer.attached.isEmpty());
        QVERIFY(!QFile::exists(f.documents("OrvantaDocument.pdf")));
    }
};

QTEST_MAIN(ExportFlowsTest)
#include "export_flows_test.moc"
