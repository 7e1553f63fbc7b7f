// The window with the real web engine where the engine itself decides the outcome: what address
// an HTML page reports, what the mouse does to the chart's boxes, and what a whole organisation
// or a chart beyond one picture exports as.
#include "LaunchedWindow.h"
#include "PdfFacts.h"
#include "TestFiles.h"
#include "WideChart.h"
#include "base/Commands.h"
#include "document/DocumentController.h"
#include "model/RowEdits.h"
#include "render/ViewerLoader.h"
#include "shell/ChartWorkspace.h"
#include "staff/StaffChart.h"
#include "staff/StaffColumns.h"
#include "staff/StaffTable.h"
#include "ui/GridView.h"
#include "ui/OrganisationFile.h"
#include "ui/Style.h"
#include "ui/WorkCard.h"

#include <QImage>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace plotwell;
using namespace plotwell::testing;

namespace {

QVariant evaluate(QWebEngineView *view, const QString &script)
{
    std::optional<QVariant> result;
    view->page()->runJavaScript(script, [&](const QVariant &value) { result = value; });
    if (!QTest::qWaitFor([&] { return result.has_value(); }, 10000))
        qWarning("the page did not answer: %s", qPrintable(script));
    return result.value_or(QVariant());
}

/// The middle of the box of \a row, in the view's coordinates.
QPoint boxCentre(QWebEngineView *view, int row)
{
    const QVariantList at =
        evaluate(view, QStringLiteral("(r => [r.x + r.width / 2, r.y + r.height / 2])("
                                      "document.querySelector('g.node[data-row=\"%1\"] "
                                      ".node-box').getBoundingClientRect())")
                           .arg(row))
            .toList();
    return at.size() == 2 ? QPoint(at[0].toInt(), at[1].toInt()) : QPoint(-1, -1);
}

/// A mouse event as the desktop sends it, with the buttons held (QTest's moves carry none).
void mouse(QWidget *target, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
    QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

/// The page's data string of a made-up organisation of \a count people, each manager with
/// teams of \a team.
QString organisationData(int count, int team)
{
    QByteArray csv = "Name,Manager\nPerson 0,\n";
    for (int i = 1; i < count; ++i)
        csv += QStringLiteral("Person %1,Person %2\n").arg(i).arg((i - 1) / team).toUtf8();
    const staff::StaffTable table = staff::readStaffTable(csv);
    const staff::Organisation people =
        staff::buildOrganisation(table, staff::guessColumns(table.header));
    return staff::staffDataString(people, staff::chartOrder(people, staff::everyone(people)));
}

} // namespace

class EngineWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // On a dark desktop, which must change only what surrounds the chart.
    void initTestCase()
    {
        qputenv("PLOTWELL_RESOURCE_DIR", PLOTWELL_BINARY_DIR "/resources");
        qputenv("PLOTWELL_PALETTE", "dark");
        applyAppStyle(*qApp);
    }

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

    // The page tells the grid through the web channel: a box dropped onto another takes it as
    // its parent, one undo step; a box clicked selects its row.
    void draggingABoxReparentsItAndClickingSelectsItsRow()
    {
        LaunchedWindow w;
        w.loadSampleOne();
        w.view().submitData();
        QVERIFY(w.waitForLoad(60000));
        QWebEngineView *view = w.webView();
        const QString ready =
            QStringLiteral("document.documentElement.getAttribute('data-box-edits') === 'ready'");
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(view, ready).toBool(), 30000);
        // The dark desktop darkens the visible viewer's surround, never the export viewer's page.
        QCOMPARE(evaluate(view, QStringLiteral("getComputedStyle(document.querySelector("
                                               "'.chart-viewer')).backgroundColor"))
                     .toString(),
                 QStringLiteral("rgb(29, 33, 38)"));
        QTRY_COMPARE_WITH_TIMEOUT(
            evaluate(qobject_cast<QWebEngineView *>(w.view().viewers().webViewMWidget),
                     QStringLiteral("!!document.querySelector('svg.orgchart') + ' ' +"
                                    " document.documentElement.dataset.surround"))
                .toString(),
            QStringLiteral("true undefined"), 30000);
        QWidget *input = view->focusProxy();
        const QPoint from = boxCentre(view, 8);
        const QPoint to = boxCentre(view, 2);
        QVERIFY(input && from.x() >= 0 && to.x() >= 0);
        QCOMPARE(referencedRow(w.view().grid().parent(8)), std::optional<int>(5));
        const int steps = w.view().workspace().editor().undoStack().count();

        mouse(input, QEvent::MouseButtonPress, from, Qt::LeftButton);
        for (int i = 1; i <= 8; ++i)
            mouse(input, QEvent::MouseMove, from + (to - from) * i / 8, Qt::LeftButton);
        // While dragging, a copy of the title follows the pointer.
        QTRY_COMPARE(evaluate(view, QStringLiteral("(document.querySelector('.box-drag-ghost') "
                                                   "|| {}).textContent"))
                         .toString(),
                     QStringLiteral("Rufus Lorne(Talent Development)"));
        QSignalSpy redrawn(w.viewer(), &ChartViewer::loadFinished);
        mouse(input, QEvent::MouseButtonRelease, to, Qt::NoButton);
        QTRY_COMPARE(referencedRow(w.view().grid().parent(8)), std::optional<int>(2));
        QCOMPARE(w.view().workspace().editor().undoStack().count(), steps + 1);
        QCOMPARE(w.view().gridView().currentRow(), 8);

        // The drop redraws the chart; a click on a box then selects its row, and changes nothing.
        QTRY_VERIFY_WITH_TIMEOUT(!redrawn.isEmpty(), 60000);
        QTRY_VERIFY_WITH_TIMEOUT(evaluate(view, ready).toBool(), 30000);
        const QPoint third = boxCentre(view, 3);
        mouse(input, QEvent::MouseButtonPress, third, Qt::LeftButton);
        mouse(input, QEvent::MouseButtonRelease, third, Qt::NoButton);
        QTRY_COMPARE(w.view().gridView().currentRow(), 3);
        QCOMPARE(w.view().workspace().editor().undoStack().count(), steps + 1);

        // Dragged from the background, the chart pans with the pointer and selects no text.
        const QVariantList start =
            evaluate(view, QStringLiteral(
                               "(() => { plotwellView.zoomTo(3); const v = document.querySelector("
                               "'.chart-viewer'); v.scrollLeft = (v.scrollWidth - v.clientWidth)"
                               " / 2; v.scrollTop = (v.scrollHeight - v.clientHeight) / 2;"
                               " for (let y = 200; y < v.clientHeight - 100; y += 10)"
                               " for (let x = 200; x < v.clientWidth - 100; x += 10)"
                               " if (document.elementFromPoint(x, y).matches('rect.backdrop'))"
                               " return [x, y, v.scrollLeft, v.scrollTop]; return []; })()"))
                .toList();
        QCOMPARE(start.size(), 4);
        const QPoint grab(start[0].toInt(), start[1].toInt());
        mouse(input, QEvent::MouseButtonPress, grab, Qt::LeftButton);
        for (int i = 1; i <= 4; ++i)
            mouse(input, QEvent::MouseMove, grab - QPoint(30, 20) * i, Qt::LeftButton);
        mouse(input, QEvent::MouseButtonRelease, grab - QPoint(120, 80), Qt::NoButton);
        QTRY_COMPARE(
            evaluate(view, QStringLiteral("(v => [v.scrollLeft, v.scrollTop, String("
                                          "getSelection())].join(' '))(document."
                                          "querySelector('.chart-viewer'))"))
                .toString(),
            QStringLiteral("%1 %2 ").arg(start[2].toInt() + 120).arg(start[3].toInt() + 80));
    }

    // A whole organisation on show is exported from its data, as the command draws it, not
    // from the export viewers, which hold the grid's chart.
    void aWholeOrganisationExportsAsPdfAndPng()
    {
        QTemporaryDir folder;
        LaunchedWindow w;
        w.view().workspace().loader().loadWebViewByScript(organisationData(150, 4), 150);
        QVERIFY(w.waitForLoad(60000));

        const QString pdf = folder.filePath(QStringLiteral("org.pdf"));
        const QString png = folder.filePath(QStringLiteral("org.png"));
        w.panels.savePaths = {pdf, png};
        w.window.commands().post(command::PDFDownload);
        // A second export asked for meanwhile waits its turn: the user is told, nothing is lost.
        QTRY_VERIFY(w.view().exportCard().isVisible());
        w.window.commands().post(command::PDFDownload);
        QTRY_VERIFY2_WITH_TIMEOUT(QFile::exists(pdf), qPrintable(w.alerts.messages().join(u'|')),
                                  60000);
        QCOMPARE(w.alerts.messages(),
                 QStringList{QStringLiteral("An export of the organisation is under way.")});
        w.alerts.shown.clear();
        // The card over the viewer said what was written, and went with the end.
        QCOMPARE(w.view().exportCard().text(), QStringLiteral("Exporting org.pdf…"));
        QTRY_VERIFY(!w.view().exportCard().isVisible());
        w.window.commands().post(command::PNGDownload);
        QTRY_VERIFY_WITH_TIMEOUT(QImage(png).width() > 1000, 60000);
        const QString text = pdfFacts(pdf).text.simplified();
        for (const QString &name : {QStringLiteral("Person 0"), QStringLiteral("Person 149")})
            QVERIFY2(text.contains(name), qPrintable(text.left(200)));
        QVERIFY(w.alerts.messages().isEmpty());

        // Gone back to from another chart, the page loads without its data: it is drawn again.
        w.loadSampleOne();
        w.view().renderButton()->click();
        QVERIFY(w.waitForLoad());
        for (int step = 0; step < 3 && !w.webView()->url().query().contains("pending=1"); ++step) {
            w.view().workspace().loader().undoAction();
            QVERIFY(w.waitForLoad());
        }
        QTRY_COMPARE(
            evaluate(w.webView(), QStringLiteral("document.querySelectorAll('g.node').length"))
                .toInt(),
            150);
        // and its exports are the organisation's again, not the grid chart's.
        const QString again = folder.filePath(QStringLiteral("again.pdf"));
        w.panels.savePaths = {again};
        w.window.commands().post(command::PDFDownload);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(again), 60000);
        QVERIFY(pdfFacts(again).text.contains(QStringLiteral("Person 149")));
    }

    // An organisation's file says how far it has got (sheets printed), and Cancel stops it
    // before anything is written.
    void anOrganisationFileCountsItsSheetsAndCancelWritesNothing()
    {
        const QString data = organisationData(150, 4);
        QTemporaryDir folder;
        QList<QPair<int, int>> steps;
        std::optional<QString> ended;
        OrganisationFile sheets(data, folder.filePath(QStringLiteral("sheets.pdf")),
                                QStringLiteral("a4"));
        sheets.progressed = [&steps](int done, int of) { steps << qMakePair(done, of); };
        sheets.finished = [&ended](const QString &problem) { ended = problem; };
        sheets.start();
        QTRY_VERIFY_WITH_TIMEOUT(ended.has_value(), 60000);
        QVERIFY2(ended->isEmpty(), qPrintable(*ended));
        QCOMPARE(steps.first(), qMakePair(0, 0)); // drawing: no measure yet
        QVERIFY2(steps.last().second > 0 && steps.last().first == steps.last().second,
                 qPrintable(QString::number(steps.last().first)));

        // Gone while it prints (the window closed): it says nothing more. The engine answers a
        // print still pending as the view goes, with nothing.
        auto gone = std::make_unique<OrganisationFile>(
            data, folder.filePath(QStringLiteral("gone.pdf")), QStringLiteral("a4"));
        bool printing = false;
        bool heard = false;
        gone->progressed = [&printing](int, int of) { printing = printing || of > 0; };
        gone->finished = [&heard](const QString &) { heard = true; };
        gone->start();
        QTRY_VERIFY_WITH_TIMEOUT(printing, 60000);
        gone.reset();
        QVERIFY(!heard);

        const QString stopped = folder.filePath(QStringLiteral("stopped.pdf"));
        OrganisationFile cancelled(data, stopped);
        ended.reset();
        cancelled.finished = [&ended](const QString &problem) { ended = problem; };
        cancelled.start();
        cancelled.cancel();
        QTRY_VERIFY_WITH_TIMEOUT(ended.has_value(), 60000);
        QVERIFY(cancelled.cancelled());
        QVERIFY(!QFile::exists(stopped));
    }

    // The view an organisation's file is drawn in never appears on the desktop: shown before its
    // page, the engine put it there, an empty window over the program while it worked.
    void anOrganisationFileIsDrawnWithoutAWindow()
    {
        QTemporaryDir folder;
        OrganisationFile file(organisationData(40, 4), folder.filePath(QStringLiteral("org.png")));
        std::optional<QString> ended;
        file.finished = [&ended](const QString &problem) { ended = problem; };
        bool appeared = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&appeared] {
            for (const QWindow *window : QGuiApplication::topLevelWindows())
                appeared = appeared || window->isExposed();
        });
        watch.start(5);
        file.start();
        QTRY_VERIFY_WITH_TIMEOUT(ended.has_value(), 60000);
        QVERIFY2(ended->isEmpty(), qPrintable(*ended));
        QVERIFY(!appeared);
    }

    // A large organisation leaves the viewer empty for seconds: meanwhile a card says what is
    // being drawn, and it goes once the chart is on screen.
    void aLargeOrganisationSaysItIsDrawnUntilItIsOnScreen()
    {
        LaunchedWindow w;
        QVERIFY(w.waitForLoad());
        w.view().workspace().loader().loadWebViewByScript(organisationData(10000, 6), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(w.view().drawingCard() && w.view().drawingCard()->isVisible(),
                                 10000);
        QCOMPARE(w.view().drawingCard()->text(), ViewerLoader::drawingLabel(10000));
        QTRY_VERIFY_WITH_TIMEOUT(!w.view().drawingCard()->isVisible(), 60000);
        QCOMPARE(evaluate(w.webView(), QStringLiteral("document.querySelectorAll('g.node').length"))
                     .toInt(),
                 10000);
    }

    // Scaled onto one page, a chart some 20,000 pixels wide would keep no name readable.
    void aGridChartBeyondOnePictureIsPrintedOnSheets()
    {
        QTemporaryDir folder;
        LaunchedWindow w;
        QCOMPARE(w.view().workspace().loadChartFile(writeWideChart(QDir(folder.path()))),
                 QString());
        w.view().renderButton()->click();
        QVERIFY(w.waitForLoad(60000));

        const QString pdf = folder.filePath(QStringLiteral("wide.pdf"));
        w.panels.savePaths = {pdf};
        w.window.commands().post(command::PDFDownload);
        QTRY_VERIFY_WITH_TIMEOUT(!w.alerts.messages().isEmpty(), 120000);
        QVERIFY2(w.alerts.messages().join(u'|').contains(QStringLiteral("sheets")),
                 qPrintable(w.alerts.messages().join(u'|')));
        const PdfFacts facts = pdfFacts(pdf);
        QVERIFY(facts.pages > 1);
        QCOMPARE(missingPeople(facts.text), QStringList());
    }
};

QTEST_MAIN(EngineWindowTest)
#include "engine_window_test.moc"
