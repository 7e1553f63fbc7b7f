// The window with the real web engine where the engine itself decides the outcome: what address
// an HTML page reports, and what the export viewers hold before any render.
#include "LaunchedWindow.h"
#include "TestFiles.h"
#include "document/DocumentController.h"
#include "export/ExportController.h"
#include "ui/GridView.h"
#include "ui/Style.h"

#include <QPushButton>
#include <QScopeGuard>
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

    // A dark desktop reaches the visible viewer's page through the injected mark; the export
    // viewers, whose pages are the pictures, never get it.
    void aDarkDesktopDarkensOnlyTheVisibleViewersSurround()
    {
        qputenv("PLOTWELL_PALETTE", "dark");
        applyAppStyle(*qApp);
        const auto restore = qScopeGuard([] {
            qunsetenv("PLOTWELL_PALETTE");
            applyAppStyle(*qApp);
        });
        LaunchedWindow w;
        w.loadSampleOne();
        w.view().renderButton()->click();
        QVERIFY(w.waitForLoad());
        const auto evaluate = [](QWidget *view, const char *script) -> QString {
            std::optional<QString> answer;
            qobject_cast<QWebEngineView *>(view)->page()->runJavaScript(
                QString::fromLatin1(script),
                [&answer](const QVariant &value) { answer = value.toString(); });
            QTest::qWaitFor([&answer] { return answer.has_value(); }, 30000);
            return answer.value_or(QStringLiteral("no answer"));
        };
        QCOMPARE(evaluate(w.webView(), "getComputedStyle(document.querySelector('.chart-viewer'))"
                                       ".backgroundColor"),
                 QStringLiteral("rgb(29, 33, 38)"));
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(w.view().viewers().webViewMWidget,
                                           "String(!!document.querySelector('svg.orgchart')) + "
                                           "String(document.documentElement.dataset.surround)"),
                                  QStringLiteral("trueundefined"), 30000);
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
