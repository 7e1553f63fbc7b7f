// The export and share flows with scripted ports and a fake picture taker: panels, the
// full-screen round trip, the share files, the options alerts and the failures shown.
#include "Fakes.h"
#include "LogCapture.h"
#include "app/AppState.h"
#include "app/CommandCenter.h"
#include "app/Commands.h"
#include "export/ExportController.h"

#include <QDir>
#include <QSignalSpy>
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
        scales << scale;
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
    QList<double> scales;
    bool fail = false;
};

} // namespace

class ExportFlowsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void hiResScaleDoublesAtLeastAndCoversLargeCharts();
    void smallPngGoesWhereThePanelSays();
    void pdfExportAlsoLeavesTheSidePicture();
    void hiResExportWaitsInFullScreenAndLeavesItOnlyWhenCancelled();
    void optionsRunTheChosenExportOrNothing();
    void sharesWriteTheirFileAndHandItToTheMailer();
    void hiResShareEndsOutOfFullScreen();
    void failuresAreShown();

private:
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
        [[nodiscard]] QString documents(const char *name) const
        {
            return dir.filePath(QStringLiteral("Documents/") + QLatin1String(name));
        }
    };
    void run(void (ExportController::*flow)());
    std::unique_ptr<Flows> f;
};

void ExportFlowsTest::init()
{
    f = std::make_unique<Flows>();
}

void ExportFlowsTest::cleanup()
{
    f.reset();
}

void ExportFlowsTest::run(void (ExportController::*flow)())
{
    QSignalSpy finished(&f->exports, &ExportController::finished);
    (f->exports.*flow)();
    QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), 10000);
}

void ExportFlowsTest::hiResScaleDoublesAtLeastAndCoversLargeCharts()
{
    // A chart smaller than the screen: twice the screen's density.
    QCOMPARE(hiResScale({300, 200}, {1440, 930}), 2.0);
    // A chart wider than the screen, which the page shrinks to fit: enough density that
    // the large picture still has twice the small one's pixels each way.
    const double wide = hiResScale({3000, 400}, {1440, 930});
    QVERIFY(1440 * wide >= 2 * 3000);
    const double tall = hiResScale({400, 2500}, {1440, 930});
    QVERIFY(930 * tall >= 2 * 2500);
    // Bounded, so a huge chart cannot ask for an image no one can hold.
    QVERIFY(1440 * hiResScale({100000, 400}, {1440, 930}) <= kMaxPictureSide + 1);
}

void ExportFlowsTest::smallPngGoesWhereThePanelSays()
{
    LogCapture log;
    const QString path = f->dir.filePath(QStringLiteral("chart.png"));
    f->panels.savePaths = {path};
    run(&ExportController::PNGDownload);
    QCOMPARE(f->panels.savePanels.size(), 1);
    QCOMPARE(f->panels.savePanels[0].allowedTypes, QStringList{QStringLiteral("png")});
    QCOMPARE(QImage(path).size(), QSize(300, 200));
    QCOMPARE(f->pictures.scales, QList<double>{1.0});
    QVERIFY(log.has(QStringLiteral("We actually saved")));
    QVERIFY(log.has(QStringLiteral("Saved as filename = ") + path));
    QVERIFY(!QFile::exists(f->documents("new.png")));
    QCOMPARE(f->fullScreenToggles, 0);
}

void ExportFlowsTest::pdfExportAlsoLeavesTheSidePicture()
{
    const QString path = f->dir.filePath(QStringLiteral("chart.pdf"));
    f->panels.savePaths = {path, path};
    run(&ExportController::PDFDownload);
    QCOMPARE(f->panels.savePanels[0].allowedTypes, QStringList{QStringLiteral("pdf")});
    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QCOMPARE(pdf.readAll(), QByteArray("%PDF-300"));
    QCOMPARE(QImage(f->documents("new.png")).size(), QSize(300, 200));
    // The next PDF export overwrites the side picture.
    f->pictures.sizes[&f->webViewM] = QSizeF(120, 80);
    run(&ExportController::PDFDownload);
    QCOMPARE(QImage(f->documents("new.png")).size(), QSize(120, 80));
}

void ExportFlowsTest::hiResExportWaitsInFullScreenAndLeavesItOnlyWhenCancelled()
{
    const QString path = f->dir.filePath(QStringLiteral("large.png"));
    f->panels.savePaths = {path};
    QSignalSpy finished(&f->exports, &ExportController::finished);
    f->exports.downloadHiResPNG();
    QCOMPARE(f->fullScreenToggles, 1);
    QVERIFY(f->panels.savePanels.isEmpty()); // the panel waits for the full-screen layout
    QVERIFY(finished.wait(5000));
    QCOMPARE(QImage(path).size(), QSize(1600, 1260));
    QCOMPARE(f->fullScreenToggles, 1); // stays in full screen after a save

    run(&ExportController::printHiResPDF); // cancelled
    QCOMPARE(f->fullScreenToggles, 3);
    QCOMPARE(f->panels.savePanels.last().allowedTypes, QStringList{QStringLiteral("pdf")});
}

void ExportFlowsTest::optionsRunTheChosenExportOrNothing()
{
    LogCapture log;
    f->alerts.answers = {kFirstButton + 4};
    run(&ExportController::downloadWOptions);
    QCOMPARE(f->alerts.shown.size(), 1);
    const AlertSpec &alert = f->alerts.shown[0];
    QCOMPARE(alert.message, QStringLiteral("Select an Option"));
    QCOMPARE(alert.informativeText, QStringLiteral("Select  resolution & format to download"));
    QCOMPARE(alert.buttons, (QStringList{"PNG", "HiRes PNG", "PDF", "HiRes PDF", "Cancel"}));
    QCOMPARE(alert.style, AlertSpec::Style::Warning);
    QVERIFY(f->panels.savePanels.isEmpty());
    QVERIFY(log.has(QStringLiteral("rCODE= 1004")));
    QVERIFY(log.has(QStringLiteral("other")));

    f->alerts.answers = {kFirstButton + 2};
    run(&ExportController::downloadWOptions); // "PDF", cancelled in its panel
    QVERIFY(log.has(QStringLiteral("PDF")));
    QCOMPARE(f->panels.savePanels.size(), 1);
    QCOMPARE(f->panels.savePanels[0].allowedTypes, QStringList{QStringLiteral("pdf")});
    QCOMPARE(f->fullScreenToggles, 0);
    QVERIFY(
        QDir(f->dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
}

void ExportFlowsTest::sharesWriteTheirFileAndHandItToTheMailer()
{
    run(&ExportController::PNGShare);
    run(&ExportController::PDFShare);
    QCOMPARE(f->mailer.attached,
             (QStringList{f->documents("new.png"), f->documents("OrvantaDocument.pdf")}));
    QCOMPARE(QImage(f->documents("new.png")).size(), QSize(300, 200));
    QVERIFY(f->panels.savePanels.isEmpty());
    QCOMPARE(f->fullScreenToggles, 0);

    f->alerts.answers = {kFirstButton + 4};
    run(&ExportController::emailChart);
    QCOMPARE(f->alerts.shown[0].informativeText,
             QStringLiteral("Select  resolution & format to share"));
    QCOMPARE(f->mailer.attached.size(), 2);
}

void ExportFlowsTest::hiResShareEndsOutOfFullScreen()
{
    f->alerts.answers = {kFirstButton + 3}; // "HiRes PDF"
    QSignalSpy finished(&f->exports, &ExportController::finished);
    f->exports.emailChart();
    QCOMPARE(f->fullScreenToggles, 1);
    QVERIFY(finished.wait(5000));
    QCOMPARE(f->fullScreenToggles, 2);
    QCOMPARE(f->mailer.attached, QStringList{f->documents("OrvantaDocument.pdf")});
    QFile pdf(f->documents("OrvantaDocument.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QCOMPARE(pdf.readAll(), QByteArray("%PDF-800"));
}

void ExportFlowsTest::failuresAreShown()
{
    // A folder that cannot be written: the save fails, and says so.
    const QString blocked = f->dir.filePath(QStringLiteral("missing/chart.png"));
    f->panels.savePaths = {blocked};
    run(&ExportController::PNGDownload);
    QCOMPARE(f->alerts.messages(), QStringList{QStringLiteral("The chart could not be exported.")});
    QVERIFY(f->alerts.shown[0].informativeText.contains(blocked));
    QVERIFY(!QFile::exists(blocked));

    // A mail hand-over that fails.
    f->alerts.shown.clear();
    f->mailer.failure = QStringLiteral("xdg-email failed with exit code 3.");
    run(&ExportController::PNGShare);
    QCOMPARE(f->alerts.messages(), QStringList{QStringLiteral("The chart could not be shared.")});
    QVERIFY(f->alerts.shown[0].informativeText.contains(f->mailer.failure));

    // No picture: nothing is written or handed over.
    f->alerts.shown.clear();
    f->mailer.attached.clear();
    f->mailer.failure.clear();
    f->pictures.fail = true;
    QFile::remove(f->documents("OrvantaDocument.pdf"));
    run(&ExportController::PDFShare);
    QCOMPARE(f->alerts.shown.size(), 1);
    QVERIFY(f->mailer.attached.isEmpty());
    QVERIFY(!QFile::exists(f->documents("OrvantaDocument.pdf")));
    run(&ExportController::copyChart);
    QCOMPARE(f->alerts.shown.size(), 2);
}

QTEST_MAIN(ExportFlowsTest)
#include "export_flows_test.moc"
