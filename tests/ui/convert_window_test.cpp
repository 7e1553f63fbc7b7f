// The conversions in the window: a CSV file opened and exported through the menu with scripted
// panels, and the progress view while the job runs. What the outputs hold is the writers' test.
#include "TestFiles.h"
#include "TestWindow.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
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
        const QString csv = writeFile(folder.filePath(QStringLiteral("staff.csv")),
                                      "Name,Dept\nAnn,Sales\nBob,R&D\n");

        Window w;
        w.panels.openPaths.push_back(csv);
        w.action("openFile:")->trigger();
        QCOMPARE(w.view().grid().title(3), QStringLiteral("Dept"));

        const QString xml = folder.filePath(QStringLiteral("staff.xml"));
        w.panels.savePaths.push_back(xml);
        QSignalSpy ended(&w.view().conversions(), &convert::ConversionController::conversionEnded);
        w.action("printChart:")->trigger();
        QWidget *progressView = w.view().progressView();
        QVERIFY(!progressView->isHidden());
        QVERIFY(ended.wait(30000));
        QCOMPARE(ended.at(0).at(0).toBool(), true);
        QVERIFY(progressView->isHidden());
        QCOMPARE(progressView->findChild<QLabel *>(QStringLiteral("progressPercent"))->text(),
                 QStringLiteral("100\uFF05 done"));
        QVERIFY(QFile(xml).size() > 0);
    }

    void malformedFileIsNamedAtOpenAndInThePreview()
    {
        QTemporaryDir folder;
        Window w;
        w.panels.openPaths.push_back(writeFile(folder.filePath(QStringLiteral("bad.csv")),
                                               "Name,Dept\nAnn,\"Sales\nWest\"\n\"x\"y,3\n"));
        QSignalSpy shown(&w.view().documents(), &document::DocumentController::tablePreviewShown);
        w.action("openFile:")->trigger();
        QVERIFY(shown.wait(30000));
        QCOMPARE(w.alerts.messages(), QStringList{QStringLiteral("This file is malformed.")});
        QVERIFY2(w.alerts.shown.at(0).informativeText.contains(QStringLiteral("record 3 (line 4)")),
                 qPrintable(w.alerts.shown.at(0).informativeText));
        QVERIFY(w.webView->loads.last().contains(QStringLiteral("the count is partial")));
    }

    void cancelStopsThePreviewCountAndAConversionLeavingTheOutputAsItWas()
    {
        QTemporaryDir folder;
        QByteArray csv = "Name,Dept\n";
        for (int i = 0; i < 1000000; ++i) // about 35 MB
            csv += "Person " + QByteArray::number(i) + ",\"Department, " +
                   QByteArray::number(i % 100000) + "\"\n";
        Window w;
        w.panels.openPaths.push_back(writeFile(folder.filePath(QStringLiteral("big.csv")), csv));
        auto *cancel =
            w.view().progressView()->findChild<QPushButton *>(QStringLiteral("progressCancel"));
        QVERIFY(cancel);
        QSignalSpy shown(&w.view().documents(), &document::DocumentController::tablePreviewShown);
        w.action("openFile:")->trigger();
        QVERIFY(!cancel->isHidden());
        cancel->click();
        QVERIFY(shown.wait(30000));
        QVERIFY(w.webView->loads.last().contains(QStringLiteral("the count was cancelled")));
        QVERIFY(cancel->isHidden());

        const QString sql =
            writeFile(folder.filePath(QStringLiteral("big.sql")), "the previous output");
        w.panels.savePaths.push_back(sql);
        QSignalSpy ended(&w.view().conversions(), &convert::ConversionController::conversionEnded);
        w.action("generateSQL:")->trigger();
        QVERIFY(!cancel->isHidden());
        cancel->click();
        QVERIFY(ended.wait(30000));
        QCOMPARE(ended.at(0).at(0).toBool(), false);
        QCOMPARE(w.alerts.messages().last(), QStringLiteral("Did not save."));
        QCOMPARE(readFile(sql), QByteArray("the previous output"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 2);
    }
};

QTEST_MAIN(ConvertWindowTest)
#include "convert_window_test.moc"
