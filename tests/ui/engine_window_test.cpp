// The window with the real web engine where the engine itself decides the outcome: what address
// an HTML page reports, and what the export viewers hold before any render.
#include "LaunchedWindow.h"
#include "PdfFacts.h"
#include "TestFiles.h"
#include "base/Commands.h"
#include "document/DocumentController.h"
#include "export/ExportController.h"
#include "render/ViewerLoader.h"
#include "shell/ChartWorkspace.h"
#include "staff/StaffChart.h"
#include "staff/StaffImport.h"
#include "ui/GridView.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace plotwell;
using namespace plotwell::testing;

class EngineWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qputenv("PLOTWELL_RESOURCE_DIR", PLOTWELL_BINARY_DIR "/resources"); }

    // The engine reports a page given as HTML as a "data:" address, not an empty one.
    void thePreviewFollowsASettingsChange()
    {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("people.csv"));
        writeFile(file, "Ann(CEO),Bo(CTO)\n1,2\n");
        LaunchedWindow w;
        w.view().documents().openFileRequest(file);
        QTRY_VERIFY_WITH_TIMEOUT(w.view().documents().isPreviewShown(), 60000);
        QSignalSpy loads(w.webView(), &QWebEngineView::loadFinished);
        w.view().documents().openRecentDocument();
        QVERIFY(loads.wait(60000));
        QVERIFY(w.view().documents().isPreviewShown());
    }

    void beforeAnyRenderAnExportSaysSoAndTheWindowStaysAsItWas()
    {
        LaunchedWindow w;
        const bool gridShown = w.view().gridView().isVisible();
        QSignalSpy finished(&w.view().exports(), &ExportController::finished);
        w.view().exports().downloadHiResPNG();
        QVERIFY(finished.wait(30000));
        QCOMPARE(w.alerts.messages(), QStringList{QStringLiteral("Render the chart first.")});
        QVERIFY(w.panels.savePanels.isEmpty());
        QTRY_COMPARE(w.view().gridView().isVisible(), gridShown);
    }

    // A whole organisation on show is exported from its data, as the command draws it, not
    // from the export viewers, which hold the grid's chart.
    void aWholeOrganisationExportsAsPdfAndPng()
    {
        QTemporaryDir folder;
        QByteArray csv = "Name,Manager\n";
        for (int i = 0; i < 150; ++i)
            csv += "Person " + QByteArray::number(i) + ',' +
                   (i ? "Person " + QByteArray::number((i - 1) / 4) : QByteArray()) + '\n';
        const QString staffFile = folder.filePath(QStringLiteral("staff.csv"));
        writeFile(staffFile, csv);
        QString problem;
        const auto loaded = staff::loadStaffList(staffFile, {}, &problem);
        QVERIFY2(loaded, qPrintable(problem));
        const staff::Organisation &people = loaded->organisation;
        LaunchedWindow w;
        w.view().workspace().loader().loadWebViewByScript(
            staff::staffDataString(people, staff::chartOrder(people, staff::everyone(people))));
        QVERIFY(w.waitForLoad(60000));

        const QString pdf = folder.filePath(QStringLiteral("org.pdf"));
        const QString png = folder.filePath(QStringLiteral("org.png"));
        w.panels.savePaths = {pdf, png};
        w.window.commands().post(command::PDFDownload);
        QTRY_VERIFY2_WITH_TIMEOUT(QFile::exists(pdf), qPrintable(w.alerts.messages().join(u'|')),
                                  60000);
        w.window.commands().post(command::PNGDownload);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(png), 60000);
        const QString text = pdfFacts(pdf).text.simplified();
        for (const QString &name : {QStringLiteral("Person 0"), QStringLiteral("Person 149")})
            QVERIFY2(text.contains(name), qPrintable(text.left(200)));
        QVERIFY(QImage(png).width() > 1000);
        QVERIFY(w.alerts.messages().isEmpty());
    }
};

QTEST_MAIN(EngineWindowTest)
#include "engine_window_test.moc"
