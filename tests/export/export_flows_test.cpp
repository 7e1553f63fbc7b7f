// The export and share flows with scripted ports and a fake picture taker: panels, the
// full-screen round trip, the share files, the options alerts and the failures shown.
#include "Fakes.h"
#include "LogCapture.h"
#include "app/AppState.h"
#include "app/CommandCenter.h"
#include "app/Commands.h"
#include "export/ExportController.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
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
    void copyPutsTheSmallPictureOnTheClipboard();
    void sharesWriteTheirFileAndHandItToTheMailer();
    void hiResShareEndsOutOfFullScreen();
    void failuresAreShown();

private:
    void run(void (ExportController::*flow)());
    [[nodiscard]] QString documents(const char *name) const
    {
        return QDir(m_dir->filePath(QStringLiteral("Documents"))).filePath(QLatin1String(name));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    AppState m_state;
    CommandCenter m_commands;
    MemoryPreferences m_preferences;
    ScriptedAlerts m_alerts;
    ScriptedFilePanels m_panels;
    FakeDesktop m_desktop;
    RecordingMailer m_mailer;
    FakeChartViewer m_webViewM;
    FakeChartViewer m_webViewL;
    FakePictures m_pictures;
    std::unique_ptr<ChartExporter> m_exporter;
    std::unique_ptr<ExportController> m_export;
    int m_fullScreenToggles = 0;
};

void ExportFlowsTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_alerts = {};
    m_panels = {};
    m_mailer.attached.clear();
    m_mailer.failure.clear();
    m_pictures.sizes = {{&m_webViewM, QSizeF(300, 200)}, {&m_webViewL, QSizeF(800, 630)}};
    m_pictures.scales.clear();
    m_pictures.fail = false;
    m_commands = CommandCenter();
    m_fullScreenToggles = 0;
    m_commands.observe(command::fScreen, [this](const QVariant &) { ++m_fullScreenToggles; });
    m_exporter = std::make_unique<ChartExporter>(m_webViewM, m_webViewL, m_pictures);
    m_export = std::make_unique<ExportController>(
        AppContext{m_state, m_commands, m_preferences, m_alerts, m_panels, m_desktop, m_mailer},
        *m_exporter);
    // A documents folder that does not exist yet: the share files make it.
    m_export->setDocumentsFolder(m_dir->filePath(QStringLiteral("Documents")));
}

void ExportFlowsTest::cleanup()
{
    m_export.reset();
    m_exporter.reset();
}

void ExportFlowsTest::run(void (ExportController::*flow)())
{
    QSignalSpy finished(m_export.get(), &ExportController::finished);
    (m_export.get()->*flow)();
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
    const QString path = m_dir->filePath(QStringLiteral("chart.png"));
    m_panels.savePaths = {path};
    run(&ExportController::PNGDownload);
    QCOMPARE(m_panels.savePanels.size(), 1);
    QCOMPARE(m_panels.savePanels[0].allowedTypes, QStringList{QStringLiteral("png")});
    QCOMPARE(QImage(path).size(), QSize(300, 200));
    QCOMPARE(m_pictures.scales, QList<double>{1.0});
    QVERIFY(log.has(QStringLiteral("We actually saved")));
    QVERIFY(log.has(QStringLiteral("Saved as filename = ") + path));
    QVERIFY(!QFile::exists(documents("new.png")));
    QCOMPARE(m_fullScreenToggles, 0);
}

void ExportFlowsTest::pdfExportAlsoLeavesTheSidePicture()
{
    const QString path = m_dir->filePath(QStringLiteral("chart.pdf"));
    m_panels.savePaths = {path, path};
    run(&ExportController::PDFDownload);
    QCOMPARE(m_panels.savePanels[0].allowedTypes, QStringList{QStringLiteral("pdf")});
    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QCOMPARE(pdf.readAll(), QByteArray("%PDF-300"));
    QCOMPARE(QImage(documents("new.png")).size(), QSize(300, 200));
    // The next PDF export overwrites the side picture.
    m_pictures.sizes[&m_webViewM] = QSizeF(120, 80);
    run(&ExportController::PDFDownload);
    QCOMPARE(QImage(documents("new.png")).size(), QSize(120, 80));
}

void ExportFlowsTest::hiResExportWaitsInFullScreenAndLeavesItOnlyWhenCancelled()
{
    const QString path = m_dir->filePath(QStringLiteral("large.png"));
    m_panels.savePaths = {path};
    QSignalSpy finished(m_export.get(), &ExportController::finished);
    m_export->downloadHiResPNG();
    QCOMPARE(m_fullScreenToggles, 1);
    QVERIFY(m_panels.savePanels.isEmpty()); // the panel waits for the full-screen layout
    QVERIFY(finished.wait(5000));
    QCOMPARE(QImage(path).size(), QSize(1600, 1260));
    QCOMPARE(m_fullScreenToggles, 1); // stays in full screen after a save

    run(&ExportController::printHiResPDF); // cancelled
    QCOMPARE(m_fullScreenToggles, 3);
    QCOMPARE(m_panels.savePanels.last().allowedTypes, QStringList{QStringLiteral("pdf")});
}

void ExportFlowsTest::optionsRunTheChosenExportOrNothing()
{
    LogCapture log;
    m_alerts.answers = {kFirstButton + 4};
    run(&ExportController::downloadWOptions);
    QCOMPARE(m_alerts.shown.size(), 1);
    const AlertSpec &alert = m_alerts.shown[0];
    QCOMPARE(alert.message, QStringLiteral("Select an Option"));
    QCOMPARE(alert.informativeText, QStringLiteral("Select  resolution & format to download"));
    QCOMPARE(alert.buttons, (QStringList{"PNG", "HiRes PNG", "PDF", "HiRes PDF", "Cancel"}));
    QCOMPARE(alert.style, AlertSpec::Style::Warning);
    QVERIFY(m_panels.savePanels.isEmpty());
    QVERIFY(log.has(QStringLiteral("rCODE= 1004")));
    QVERIFY(log.has(QStringLiteral("other")));

    m_alerts.answers = {kFirstButton + 2};
    run(&ExportController::downloadWOptions); // "PDF", cancelled in its panel
    QVERIFY(log.has(QStringLiteral("PDF")));
    QCOMPARE(m_panels.savePanels.size(), 1);
    QCOMPARE(m_panels.savePanels[0].allowedTypes, QStringList{QStringLiteral("pdf")});
    QCOMPARE(m_fullScreenToggles, 0);
    QVERIFY(
        QDir(m_dir->path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
}

void ExportFlowsTest::copyPutsTheSmallPictureOnTheClipboard()
{
    QGuiApplication::clipboard()->clear();
    run(&ExportController::copyChart);
    QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(300, 200));
}

void ExportFlowsTest::sharesWriteTheirFileAndHandItToTheMailer()
{
    run(&ExportController::PNGShare);
    run(&ExportController::PDFShare);
    QCOMPARE(m_mailer.attached,
             (QStringList{documents("new.png"), documents("OrvantaDocument.pdf")}));
    QCOMPARE(QImage(documents("new.png")).size(), QSize(300, 200));
    QVERIFY(m_panels.savePanels.isEmpty());
    QCOMPARE(m_fullScreenToggles, 0);

    m_alerts.answers = {kFirstButton + 4};
    run(&ExportController::emailChart);
    QCOMPARE(m_alerts.shown[0].informativeText,
             QStringLiteral("Select  resolution & format to share"));
    QCOMPARE(m_mailer.attached.size(), 2);
}

void ExportFlowsTest::hiResShareEndsOutOfFullScreen()
{
    m_alerts.answers = {kFirstButton + 3}; // "HiRes PDF"
    QSignalSpy finished(m_export.get(), &ExportController::finished);
    m_export->emailChart();
    QCOMPARE(m_fullScreenToggles, 1);
    QVERIFY(finished.wait(5000));
    QCOMPARE(m_fullScreenToggles, 2);
    QCOMPARE(m_mailer.attached, QStringList{documents("OrvantaDocument.pdf")});
    QFile pdf(documents("OrvantaDocument.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QCOMPARE(pdf.readAll(), QByteArray("%PDF-800"));
}

void ExportFlowsTest::failuresAreShown()
{
    // A folder that cannot be written: the save fails, and says so.
    const QString blocked = m_dir->filePath(QStringLiteral("missing/chart.png"));
    m_panels.savePaths = {blocked};
    run(&ExportController::PNGDownload);
    QCOMPARE(m_alerts.messages(), QStringList{QStringLiteral("The chart could not be exported.")});
    QVERIFY(m_alerts.shown[0].informativeText.contains(blocked));
    QVERIFY(!QFile::exists(blocked));

    // A mail hand-over that fails.
    m_alerts.shown.clear();
    m_mailer.failure = QStringLiteral("xdg-email failed with exit code 3.");
    run(&ExportController::PNGShare);
    QCOMPARE(m_alerts.messages(), QStringList{QStringLiteral("The chart could not be shared.")});
    QVERIFY(m_alerts.shown[0].informativeText.contains(m_mailer.failure));

    // No picture: nothing is written or handed over.
    m_alerts.shown.clear();
    m_mailer.attached.clear();
    m_mailer.failure.clear();
    m_pictures.fail = true;
    QFile::remove(documents("OrvantaDocument.pdf"));
    run(&ExportController::PDFShare);
    QCOMPARE(m_alerts.shown.size(), 1);
    QVERIFY(m_mailer.attached.isEmpty());
    QVERIFY(!QFile::exists(documents("OrvantaDocument.pdf")));
    run(&ExportController::copyChart);
    QCOMPARE(m_alerts.shown.size(), 2);
}

QTEST_MAIN(ExportFlowsTest)
#include "export_flows_test.moc"
