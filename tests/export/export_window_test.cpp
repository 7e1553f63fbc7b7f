// The exports of a rendered chart, with the real chart page drawn off screen: files, sizes,
// colours, the PDF's page and text, the clipboard. The flows' choices, shares, cancels and
// failures are export_flows_test's; the small PDF's page is render_command_test's.
#include "LaunchedWindow.h"
#include "PdfFacts.h"
#include "export/ExportController.h"
#include "model/ChartGrid.h"
#include "platform/ChartViewer.h"
#include "ui/GridView.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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
    return QTest::qWaitFor([&] { return answered; }, kWait) ? answer : QString();
}

} // namespace

class ExportWindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<LaunchedWindow> m_w;
    QImage m_smallPicture;

    MasterViewController &view() { return m_w->view(); }
    [[nodiscard]] QString file(const char *name) const
    {
        return m_dir.filePath(QLatin1String(name));
    }
    void run(void (ExportController::*flow)())
    {
        QSignalSpy finished(&view().exports(), &ExportController::finished);
        (view().exports().*flow)();
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), kWait);
    }
    /// The picture \a name when it has the export viewer's size in pixels, else a null image.
    QImage exportViewerSized(const char *name)
    {
        const QImage png(file(name));
        QWidget *viewer = view().viewers().webViewMWidget;
        return png.size() == viewer->size() * viewer->devicePixelRatio() ? png : QImage();
    }
    /// Whether a pixel inside the root's box in \a png has row 1's colour; the box is found
    /// in the export viewer's page.
    bool rootHasItsColour(const QImage &png)
    {
        const QStringList box =
            evaluate(*view().viewers().webViewM,
                     QStringLiteral("(function () { var r = document.querySelector("
                                    "'g.node[data-row=\"1\"] rect.node-box')"
                                    ".getBoundingClientRect();"
                                    " return r.left + ' ' + r.top + ' ' + r.width; })()"))
                .split(' ');
        if (box.size() != 3 || box[2].toDouble() < 20)
            return false;
        const double ratio = view().viewers().webViewMWidget->devicePixelRatio();
        const QPoint inside(int((box[0].toDouble() + 6) * ratio),
                            int((box[1].toDouble() + 6) * ratio));
        return closeColour(png.pixelColor(inside), QColor(view().grid().slotText(1)));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("PLOTWELL_RESOURCE_DIR", PLOTWELL_BINARY_DIR "/resources");
        m_w = std::make_unique<LaunchedWindow>(QSize(1200, 800));
        view().exports().setDocumentsFolder(file("Documents"));
    }

    // Typed into the grid and never drawn, the chart is drawn for its export.
    void aChartNeverRenderedIsDrawnForItsExport()
    {
        view().workspace().editor().setTitle(1, QStringLiteral("Ada Lane(CEO)"));
        view().workspace().editor().setTitle(2, QStringLiteral("Ben Hart(CTO)"));
        m_w->panels.savePaths = {file("typed.png")};
        run(&ExportController::PNGDownload);
        QVERIFY2(m_w->alerts.shown.isEmpty(), qPrintable(m_w->alerts.messages().join(';')));
        const QImage png = exportViewerSized("typed.png");
        QVERIFY(!png.isNull());
        QVERIFY(rootHasItsColour(png));
        QCOMPARE(evaluate(*view().viewers().webViewM,
                          QStringLiteral("document.querySelectorAll('g.node').length")),
                 QStringLiteral("2"));
    }

    void smallPngIsTheExportViewersPictureWithTheRootsColour()
    {
        m_w->alerts.answers = {kFirstButton, kFirstButton + 1}; // Sample 1, Don't Save
        view().liveSample();
        QSignalSpy exportLoaded(view().viewers().webViewM, &ChartViewer::loadFinished);
        QSignalSpy fullLoaded(view().viewers().webViewL, &ChartViewer::loadFinished);
        view().submitData();
        QTRY_VERIFY_WITH_TIMEOUT(!exportLoaded.isEmpty() && !fullLoaded.isEmpty(), kWait);
        QVERIFY(exportLoaded.last().at(0).toBool());
        m_w->alerts.shown.clear(); // the sample's questions

        m_w->panels.savePaths = {file("small.png")};
        run(&ExportController::PNGDownload);
        QVERIFY2(m_w->alerts.shown.isEmpty(), qPrintable(m_w->alerts.messages().join(';')));
        m_smallPicture = exportViewerSized("small.png");
        QVERIFY(!m_smallPicture.isNull());
        QVERIFY(rootHasItsColour(m_smallPicture));
    }

    void hiResPngHasTwiceThePixelsAndLeavesFullScreen()
    {
        QVERIFY(!m_smallPicture.isNull());
        m_w->panels.savePaths = {file("large.png")};
        run(&ExportController::downloadHiResPNG);
        QVERIFY2(m_w->alerts.shown.isEmpty(), qPrintable(m_w->alerts.messages().join(';')));
        QTRY_VERIFY(!m_w->window.isFullScreen()); // the grid is back after the export
        const QImage large(file("large.png"));
        QVERIFY(large.width() >= 2 * m_smallPicture.width());
        QVERIFY(large.height() >= 2 * m_smallPicture.height());
    }

    void hiResPdfIsOnePageOfTheFullScreenChart()
    {
        m_w->panels.savePaths = {file("large.pdf")};
        run(&ExportController::printHiResPDF);
        QVERIFY2(m_w->alerts.shown.isEmpty(), qPrintable(m_w->alerts.messages().join(';')));
        const PdfFacts pdf = pdfFacts(file("large.pdf"));
        QCOMPARE(pdf.pages, 1);
        QVERIFY(pdf.text.contains(QStringLiteral("Niall Brent")));
        const QSizeF screen = QGuiApplication::screens().last()->availableGeometry().size();
        QVERIFY(std::abs(pdf.pageSize.width() - screen.width() * 0.75) < 2);
        run(&ExportController::printHiResPDF); // no path: cancelled, full screen left
        QTRY_VERIFY(!m_w->window.isFullScreen());
    }

    void aNewRenderIsPicturedNotTheLastOne()
    {
        // Sample 2 in the same viewers, its root box elsewhere and a colour of its own.
        m_w->alerts.answers = {kFirstButton + 1, kFirstButton + 1}; // Sample 2, Don't Save
        view().liveSample();
        view().grid().setSlotText(1, QStringLiteral("#123456"));
        view().submitData();
        // At once: the export itself waits for the new chart to reach the export viewer.
        QVERIFY(view().viewerLoader().exportPending());
        m_w->alerts.shown.clear();
        m_w->panels.savePaths = {file("second.png")};
        run(&ExportController::PNGDownload);
        const QImage png = exportViewerSized("second.png");
        QVERIFY(!png.isNull() && png.size() != m_smallPicture.size());
        QVERIFY(rootHasItsColour(png));
    }

    void svgIsTheDrawnChartUnderTheChartsName()
    {
        const QString path = file("chart.svg");
        m_w->panels.savePaths = {path};
        m_w->window.action(QStringLiteral("exportSvg:"))->trigger();
        const SavePanelSpec panel = m_w->panels.savePanels.last();
        QCOMPARE(panel.proposedName, QStringLiteral("Sample Org Chart"));
        QCOMPARE(panel.allowedTypes, QStringList{QStringLiteral("svg")});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(path).size() > 0, kWait);
        QFile svg(path);
        QVERIFY(svg.open(QIODevice::ReadOnly));
        const QByteArray text = svg.readAll();
        QVERIFY(text.contains("<svg") && text.contains("Niall Brent"));
    }

    void ctrlCCopiesTheChartUnlessAFieldHasTextSelected()
    {
        m_w->window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_w->window));
        QClipboard *clipboard = QGuiApplication::clipboard();

        QLineEdit *title = view().gridView().row(1).title;
        title->setFocus();
        title->selectAll();
        clipboard->clear();
        QTest::keySequence(title, QKeySequence::Copy);
        QCOMPARE(clipboard->text(), title->text());
        QVERIFY(clipboard->image().isNull());

        // In the grid with nothing selected, as after typing a title and Ctrl+R.
        title->deselect();
        QSignalSpy finished(&view().exports(), &ExportController::finished);
        QTest::keySequence(title, QKeySequence::Copy);
        QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), kWait);
        QCOMPARE(clipboard->image().convertToFormat(QImage::Format_RGB32),
                 QImage(file("second.png")).convertToFormat(QImage::Format_RGB32));
    }

    void cleanupTestCase() { m_w.reset(); }
};

QTEST_MAIN(ExportWindowTest)
#include "export_window_test.moc"
