// The exports of a rendered chart, with the real chart page drawn off screen: files, sizes,
// colours, the PDF's page and text, the clipboard and the mail hand-over. The flows' choices,
// cancels and failures are export_flows_test's, with fakes; the small PDF's page is checked
// by render_command_test, through the same exporter.
#include "Fakes.h"
#include "LogCapture.h"
#include "PdfFacts.h"
#include "app/Commands.h"
#include "export/ExportController.h"
#include "model/ChartGrid.h"
#include "platform/ChartViewer.h"
#include "ui/AppDelegate.h"
#include "ui/GridView.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

using namespace plotwell;
using namespace plotwell::testing;

namespace {

constexpr int kWait = 90000;

bool closeColour(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) <= 3 && std::abs(a.green() - b.green()) <= 3 &&
           std::abs(a.blue() - b.blue()) <= 3;
}

QString evaluate(ChartViewer &viewer, const QString &script)
{
    QString answer;
    bool answered = false;
    viewer.evaluate(script, [&](const QString &result) {
        answer = result;
        answered = true;
    });
    QTest::qWaitFor([&] { return answered; }, kWait);
    return answer;
}

} // namespace

class ExportWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void smallPngIsTheExportViewersPictureWithTheRootsColour();
    void hiResPngHasTwiceThePixelsAndStaysInFullScreen();
    void hiResPdfIsOnePageOfTheFullScreenChart();
    void copyPutsThePictureOnTheClipboard();
    void sharesHandTheirFileToTheMailer();
    void aNewRenderIsPicturedNotTheLastOne();
    void ctrlCCopiesTheChartUnlessAFieldHasFocus();
    void cleanupTestCase();

private:
    void run(void (ExportController::*flow)());
    /// Whether a pixel inside the root's box in \a png has row 1's colour; the box is found
    /// in the export viewer's page.
    bool rootHasItsColour(const QImage &png);
    [[nodiscard]] QString file(const char *name) const
    {
        return m_dir.filePath(QLatin1String(name));
    }

    QTemporaryDir m_dir;
    MemoryPreferences m_preferences;
    ScriptedAlerts m_alerts;
    ScriptedFilePanels m_panels;
    RecordingMailer m_mailer;
    std::unique_ptr<AppDelegate> m_window;
    QImage m_smallPicture;
};

void ExportWindowTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("PLOTWELL_RESOURCE_DIR", PLOTWELL_BINARY_DIR "/resources");
    AppDelegate::Ports ports;
    ports.preferences = &m_preferences;
    ports.alerts = &m_alerts;
    ports.filePanels = &m_panels;
    ports.mailer = &m_mailer;
    m_window = std::make_unique<AppDelegate>(ports);
    m_window->resize(1200, 800);
    m_window->applicationDidFinishLaunching();
    m_window->show();
    MasterViewController &view = *m_window->viewController();
    view.exports().setDocumentsFolder(m_dir.filePath(QStringLiteral("Documents")));

    m_alerts.answers = {kFirstButton}; // Sample 1
    view.liveSample();
    QSignalSpy exportLoaded(view.viewers().webViewM, &ChartViewer::loadFinished);
    QSignalSpy fullLoaded(view.viewers().webViewL, &ChartViewer::loadFinished);
    view.submitData();
    QTRY_VERIFY_WITH_TIMEOUT(!exportLoaded.isEmpty() && !fullLoaded.isEmpty(), kWait);
    QVERIFY(exportLoaded.last().at(0).toBool());
    m_alerts.shown.clear(); // the sample question
}

void ExportWindowTest::run(void (ExportController::*flow)())
{
    ExportController &exports = m_window->viewController()->exports();
    QSignalSpy finished(&exports, &ExportController::finished);
    (exports.*flow)();
    QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), kWait);
}

void ExportWindowTest::smallPngIsTheExportViewersPictureWithTheRootsColour()
{
    m_panels.savePaths = {file("small.png")};
    run(&ExportController::PNGDownload);
    QCOMPARE(m_panels.savePanels.last().allowedTypes, QStringList{QStringLiteral("png")});
    QVERIFY2(m_alerts.shown.isEmpty(), qPrintable(m_alerts.messages().join(';')));
    QImage png(file("small.png"));
    QVERIFY(!png.isNull());
    MasterViewController &view = *m_window->viewController();
    QWidget *webViewM = view.viewers().webViewMWidget;
    QCOMPARE(png.size(), webViewM->size() * webViewM->devicePixelRatio());
    m_smallPicture = png;

    QVERIFY(rootHasItsColour(png));
}

bool ExportWindowTest::rootHasItsColour(const QImage &png)
{
    MasterViewController &view = *m_window->viewController();
    const QStringList box =
        evaluate(*view.viewers().webViewM,
                 QStringLiteral("(function () { var r = document.querySelector("
                                "'g.node[data-row=\"1\"] rect.node-box')"
                                ".getBoundingClientRect();"
                                " return r.left + ' ' + r.top + ' ' + r.width; })()"))
            .split(' ');
    if (box.size() != 3 || box[2].toDouble() < 20)
        return false;
    const double ratio = view.viewers().webViewMWidget->devicePixelRatio();
    const QPoint inside(int((box[0].toDouble() + 6) * ratio), int((box[1].toDouble() + 6) * ratio));
    const QColor root(view.grid().slotText(1));
    const bool same = closeColour(png.pixelColor(inside), root);
    if (!same)
        qWarning() << "root pixel" << png.pixelColor(inside).name() << "expected" << root.name();
    return same;
}

void ExportWindowTest::aNewRenderIsPicturedNotTheLastOne()
{
    // Sample 2 in the same viewers, its root box elsewhere and a colour of its own.
    MasterViewController &view = *m_window->viewController();
    m_alerts.answers = {kFirstButton + 1};
    view.liveSample();
    view.grid().setSlotText(1, QStringLiteral("#123456"));
    view.submitData();
    // At once: the export itself waits for the new chart to reach the export viewer.
    QVERIFY(view.viewerLoader().exportPending());
    m_panels.savePaths = {file("second.png")};
    run(&ExportController::PNGDownload);
    const QImage png(file("second.png"));
    QCOMPARE(png.size(), view.viewers().webViewMWidget->size() *
                             view.viewers().webViewMWidget->devicePixelRatio());
    QVERIFY(png.size() != m_smallPicture.size());
    QVERIFY(rootHasItsColour(png));
    m_alerts.shown.clear();
}

void ExportWindowTest::hiResPngHasTwiceThePixelsAndStaysInFullScreen()
{
    QVERIFY(!m_smallPicture.isNull());
    m_panels.savePaths = {file("large.png")};
    run(&ExportController::downloadHiResPNG);
    QVERIFY2(m_alerts.shown.isEmpty(), qPrintable(m_alerts.messages().join(';')));
    QVERIFY(m_window->isFullScreen()); // a saved export stays in full screen
    const QImage large(file("large.png"));
    QVERIFY(large.width() >= 2 * m_smallPicture.width());
    QVERIFY(large.height() >= 2 * m_smallPicture.height());
    // The full-screen viewer is back at its own size and zoom after the picture.
    auto *webViewL =
        qobject_cast<QWebEngineView *>(m_window->viewController()->viewers().webViewLWidget);
    QCOMPARE(webViewL->zoomFactor(), 1.0);
}

void ExportWindowTest::hiResPdfIsOnePageOfTheFullScreenChart()
{
    m_panels.savePaths = {file("large.pdf")};
    run(&ExportController::printHiResPDF);
    QVERIFY2(m_alerts.shown.isEmpty(), qPrintable(m_alerts.messages().join(';')));
    const PdfFacts pdf = pdfFacts(file("large.pdf"));
    QCOMPARE(pdf.pages, 1);
    QVERIFY(pdf.text.contains(QStringLiteral("Niall Brent")));
    const QSizeF screen = QGuiApplication::screens().last()->availableGeometry().size();
    QVERIFY(std::abs(pdf.pageSize.width() - screen.width() * 0.75) < 2);
    run(&ExportController::printHiResPDF); // no path: cancelled, full screen left
    QTRY_VERIFY(!m_window->isFullScreen());
}

void ExportWindowTest::copyPutsThePictureOnTheClipboard()
{
    QGuiApplication::clipboard()->clear();
    run(&ExportController::copyChart);
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), m_smallPicture.size());
    QCOMPARE(copied.convertToFormat(QImage::Format_RGB32),
             m_smallPicture.convertToFormat(QImage::Format_RGB32));
}

void ExportWindowTest::sharesHandTheirFileToTheMailer()
{
    const QString png = m_dir.filePath(QStringLiteral("Documents/new.png"));
    const QString pdf = m_dir.filePath(QStringLiteral("Documents/OrvantaDocument.pdf"));
    QFile::remove(png);
    m_mailer.attached.clear();
    run(&ExportController::PNGShare);
    run(&ExportController::PDFShare);
    QCOMPARE(m_mailer.attached, (QStringList{png, pdf}));
    QCOMPARE(QImage(png).size(), m_smallPicture.size());
    QVERIFY(pdfFacts(pdf).text.contains(QStringLiteral("Niall Brent")));
}

void ExportWindowTest::ctrlCCopiesTheChartUnlessAFieldHasFocus()
{
    MasterViewController &view = *m_window->viewController();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QClipboard *clipboard = QGuiApplication::clipboard();

    QLineEdit *title = view.gridView().row(1).title;
    title->setFocus();
    title->selectAll();
    clipboard->clear();
    QTest::keySequence(title, QKeySequence::Copy);
    QCOMPARE(clipboard->text(), title->text());
    QVERIFY(clipboard->image().isNull());

    view.renderButton()->setFocus();
    QSignalSpy finished(&view.exports(), &ExportController::finished);
    QTest::keySequence(view.renderButton(), QKeySequence::Copy);
    QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), kWait);
    QVERIFY(!clipboard->image().isNull());
}

void ExportWindowTest::cleanupTestCase()
{
    m_window.reset();
}

QTEST_MAIN(ExportWindowTest)
#include "export_window_test.moc"
