// Tool, not a test: the staff list import dialog for a made-up organisation of 1,000 people,
// and the whole organisation drawn in the window's viewer. Saves a screenshot of each and
// prints how many boxes the viewer drew. Run under a display (xvfb-run), as
// scripts/screenshots.sh runs the window's.
#include "LaunchedWindow.h"
#include "ScreenSave.h"
#include "StaffTestSupport.h"
#include "render/ViewerLoader.h"
#include "shell/ChartWorkspace.h"
#include "staff/StaffChart.h"
#include "ui/AppDelegate.h"
#include "ui/StaffImportDialog.h"
#include "ui/Style.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

using namespace plotwell;

int main(int argc, char *argv[])
{
    useOverlayScrollBars();
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Plotwell"));
    applyAppStyle(app);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    const int people = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 1000;
    QDir().mkpath(out);

    testing::LaunchedWindow launched({1440, 900});
    launched.waitForLoad();

    const staff::StaffTable table = staff::readStaffTable(staff::test::generateStaff(people).csv);
    StaffImportDialog dialog(table, &launched.window);
    dialog.show();
    saveScreen(out, "staff-dialog.png", 800);
    const staff::Organisation organisation = dialog.organisation();
    dialog.close();

    QWebEngineView *web = launched.webView();
    QSignalSpy loaded(web, &QWebEngineView::loadFinished);
    launched.view().workspace().loader().loadWebViewByScript(
        staff::staffDataString(organisation,
                               staff::chartOrder(organisation, staff::everyone(organisation))),
        people);
    loaded.wait(60000);
    int boxes = -1;
    for (int i = 0; i < 600 && boxes < people; ++i) {
        web->page()->runJavaScript(QStringLiteral("document.querySelectorAll('g.node').length"),
                                   [&boxes](const QVariant &n) { boxes = n.toInt(); });
        QTest::qWait(100);
    }
    qInfo().noquote() << "the viewer drew" << boxes << "boxes of" << people;
    saveScreen(out, QStringLiteral("staff-%1-viewer.png").arg(people).toLatin1().constData(), 1500);
    // The search finds one person among them.
    web->page()->runJavaScript(
        QStringLiteral("(function () { plotwellView.openSearch();"
                       " var i = document.querySelector('.search-box input');"
                       " i.value = 'Chief Executive'; i.dispatchEvent(new Event('input')); })()"));
    saveScreen(out, QStringLiteral("staff-%1-search.png").arg(people).toLatin1().constData(), 1500);
    return boxes == people ? 0 : 1;
}
