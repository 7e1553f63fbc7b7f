// The document commands in the window: a file given at launch, the Open Recent menu, and a
// saved chart that opens back whole and is drawn.
#include "TestFiles.h"
#include "TestWindow.h"
#include "ui/AppearancePanel.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using namespace plotwell;
using namespace plotwell::testing;

class DocumentWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void launchDocumentIsImportedWithoutAPanel()
    {
        writeFile(m_folder.filePath(QStringLiteral("people list.csv")), "Ann(CEO),Bo(CTO)\n1,2\n");

        // A relative path, as a shell hands it over, is taken from the current folder.
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m_folder.path());
        Window w({1200, 800}, QStringLiteral("people list.csv"));
        QDir::setCurrent(previous);

        QCOMPARE(w.panels.openPanelCount, 0);
        QCOMPARE(w.delegate->windowTitle(), QStringLiteral("people list"));
        QCOMPARE(w.view().grid().title(2), QStringLiteral("Ann(CEO)"));
        QTRY_VERIFY(
            w.webView->currentPage().contains(QStringLiteral("Preview of 1 Total Records")));
        QVERIFY(w.view().documents().isPreviewShown());

        // Open Recent lists the file; New empties the grid; the menu entry brings it back.
        auto *recent = w.delegate->findChild<QMenu *>(QStringLiteral("openRecentMenu"));
        QVERIFY(recent);
        QAction *entry = recent->actions().value(0);
        QVERIFY(entry);
        QCOMPARE(entry->text(), QStringLiteral("people list.csv"));
        w.alerts.answers.push_back(kFirstButton);
        w.action("newFile:")->trigger();
        QVERIFY(w.view().grid().title(2).isEmpty());
        // The empty grid shows the placeholder again in place of the preview.
        QVERIFY(
            w.webView->currentPage().contains(QStringLiteral("Click Open to load your CSV file")));
        entry->trigger();
        QCOMPARE(w.view().grid().title(2), QStringLiteral("Ann(CEO)"));
        QCOMPARE(w.panels.openPanelCount, 0);

        // Once the file is gone the entry says so, leaves the grid, and goes when asked to.
        QVERIFY(QFile::remove(m_folder.filePath(QStringLiteral("people list.csv"))));
        w.alerts.shown.clear();
        w.alerts.answers.push_back(kFirstButton); // "Remove from Open Recent"
        recent->actions().value(0)->trigger();
        QCOMPARE(w.alerts.messages(),
                 QStringList{QStringLiteral("\"people list.csv\" is no longer there.")});
        QCOMPARE(w.view().grid().title(2), QStringLiteral("Ann(CEO)"));
        QTRY_VERIFY(std::none_of(recent->actions().cbegin(), recent->actions().cend(),
                                 [](const QAction *a) { return a->text() == "people list.csv"; }));
    }

    void savedChartOpensWholeAndIsDrawn()
    {
        Window w;
        ChartGrid &grid = w.view().grid();
        w.alerts.answers.push_back(kFirstButton); // Sample 1
        w.view().liveSample();
        w.delegate->state().appearance.cornerRadius = 12;
        grid.setSlotText(2, QStringLiteral("#B0171F"));
        const QString target = m_folder.filePath(QStringLiteral("Sample 1.csv"));
        w.panels.savePaths.push_back(target);
        w.action("saveAsFile:")->trigger();
        QVERIFY(QFile::exists(target));

        w.alerts.answers.push_back(kFirstButton);
        w.action("newFile:")->trigger();
        QVERIFY(grid.title(1).isEmpty());
        QCOMPARE(w.delegate->state().appearance.cornerRadius, 12); // New keeps the settings
        w.delegate->state().appearance.cornerRadius = 3;

        const qsizetype loadsBefore = w.webView->loads.size();
        w.panels.openPaths.push_back(target);
        w.action("openFile:")->trigger();
        // What a saved chart brings back is the document tests' business; here, that the window
        // shows it: the grid, the appearance panel, the title and the chart itself.
        QCOMPARE(grid.title(1), QStringLiteral("Niall Brent(CEO)"));
        QCOMPARE(grid.slotText(2), QStringLiteral("#B0171F"));
        QCOMPARE(w.delegate->windowTitle(), QStringLiteral("Sample 1"));
        QCOMPARE(w.view().appearance().selectedValue(AppearancePanel::Setting::NodeRadius),
                 QStringLiteral("12"));
        // Drawn at once: the visible viewer got a chart request, not a table preview.
        QVERIFY(w.webView->loads.size() > loadsBefore);
        QVERIFY(w.webView->currentUrl().toString().contains(QStringLiteral("Niall")));
        // Only the sample's and New's questions: no complaint about the file.
        QCOMPARE(w.alerts.shown.size(), 2);
    }

    void chartDrawnWhileAPreviewIsCountedStays()
    {
        QByteArray many = "Ann(CEO),Bo(CTO)\n";
        for (int i = 1; i <= 200000; ++i)
            many += "a" + QByteArray::number(i) + ",b\n";
        const QString large = writeFile(m_folder.filePath(QStringLiteral("large.csv")), many);
        const QString small =
            writeFile(m_folder.filePath(QStringLiteral("small.csv")), "Cy(CFO),Di(COO)\n1,2\n");

        Window w;
        w.panels.openPaths.push_back(large);
        w.action("openFile:")->trigger();
        QCOMPARE(w.view().grid().title(2), QStringLiteral("Ann(CEO)"));
        QVERIFY(w.view().documents().isPreviewPending());
        QVERIFY(!w.view().progressView()->isHidden());

        w.view().viewerLoader().loadWebView(QStringLiteral("Ann(CEO)_1___2*"));
        QVERIFY(!w.view().documents().isPreviewPending());
        QVERIFY(w.webView->currentUrl().toString().contains(QStringLiteral("orgchart.html")));

        // The next file's preview arrives; the dropped one never does.
        w.panels.openPaths.push_back(small);
        w.action("openFile:")->trigger();
        QTRY_VERIFY(
            w.webView->currentPage().contains(QStringLiteral("Preview of 1 Total Records")));
        for (const QString &page : std::as_const(w.webView->loads))
            QVERIFY(!page.contains(QStringLiteral("200000 Total Records")));

        // Closed while counting: the count stops and nothing reaches the viewers, which go
        // first.
        w.panels.openPaths.push_back(large);
        w.action("openFile:")->trigger();
        QVERIFY(w.view().documents().isPreviewPending());
    }

private:
    QTemporaryDir m_folder;
};

QTEST_MAIN(DocumentWindowTest)
#include "document_window_test.moc"
