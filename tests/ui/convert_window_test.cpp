// The conversions in the window: the Convert CSV menu and the progress view while a job runs.
// What the conversions write is the convert tests'.
#include "TestFiles.h"
#include "TestWindow.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace plotwell;
using namespace plotwell::testing;

class ConvertWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void menuExportsTheOpenedFileWhileTheProgressViewShows()
    {
        QTemporaryDir folder;
        Window w;
        auto *menu = w.delegate->menuBar()->findChild<QMenu *>(QStringLiteral("convertMenu"));
        QVERIFY(menu);
        QStringList labels;
        for (QAction *item : menu->actions())
            labels << item->text();
        QCOMPARE(labels, (QStringList{"Export SQL\u2026", "Export JSON\u2026", "Export XML\u2026",
                                      "Export HTML\u2026"}));
        QCOMPARE(menu->actions().at(2), w.action("printChart:"));

        w.panels.openPaths.push_back(
            writeFile(folder.filePath(QStringLiteral("staff.csv")), "Name,Dept\nAnn,Sales\n"));
        w.action("openFile:")->trigger();
        const QString xml = folder.filePath(QStringLiteral("staff.xml"));
        w.panels.savePaths.push_back(xml);
        QSignalSpy ended(&w.view().conversions(), &convert::ConversionController::conversionEnded);
        menu->actions().at(2)->trigger();
        QWidget *progressView = w.view().progressView();
        QVERIFY(!progressView->isHidden());
        QCOMPARE(progressView->findChild<QLabel *>(QStringLiteral("progressLabel"))->text(),
                 QStringLiteral("Working.."));
        QVERIFY(ended.wait(30000));
        QVERIFY(ended.at(0).at(0).toBool());
        QVERIFY(progressView->isHidden());
        QCOMPARE(progressView->findChild<QLabel *>(QStringLiteral("progressPercent"))->text(),
                 QStringLiteral("100\uFF05 done"));
        QVERIFY(readFile(xml).contains("<Dept><![CDATA[Sales]]></Dept>"));
        QVERIFY(w.alerts.shown.isEmpty());
    }
};

QTEST_MAIN(ConvertWindowTest)
#include "convert_window_test.moc"
