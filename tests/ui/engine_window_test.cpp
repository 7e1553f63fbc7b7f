// The window with the real web engine where the engine itself decides the outcome: what address
// an HTML page reports, and what the export viewers hold before any render.
#include "LaunchedWindow.h"
#include "TestFiles.h"
#include "document/DocumentController.h"
#include "export/ExportController.h"
#include "ui/GridView.h"

#include <QTemporaryDir>
#include <QTest>

using namespace plotwell;
using namespace plotwell::testing;

class EngineWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
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
};

QTEST_MAIN(EngineWindowTest)
#include "engine_window_test.moc"
