// The document commands in the window: a file given at launch, the Open Recent menu, and a
// saved chart drawn as it opens. What the flows do is document_flows_test's.
#include "TestFiles.h"
#include "TestWindow.h"
#include "render/PageRequest.h"
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
    void launchDocumentIsImportedWithoutAPanelAndListedInOpenRecent()
    {
        writeFile(m_folder.filePath(QStringLiteral("people list.csv")), "Ann(CEO),Bo(CTO)\n1,2\n");
        // A relative path, as a shell hands it over, is taken from the current folder.
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m_folder.path());
        Window w({1200, 800}, QStringLiteral("people list.csv"));
        QDir::setCurrent(previous);

        QCOMPARE(w.panels.openPanelCount, 0);
        QCOMPARE(shownTitle(*w.delegate), QStringLiteral("people list"));
        QCOMPARE(w.view().grid().title(2), QStringLiteral("Ann(CEO)"));
        QTRY_VERIFY(w.webView->currentPage().contains("Preview of 1 Total Records"));

        auto *recent = w.delegate->findChild<QMenu *>(QStringLiteral("openRecentMenu"));
        QVERIFY(recent && !recent->actions().isEmpty());
        QAction *entry = recent->actions().first();
        QCOMPARE(entry->text(), QStringLiteral("people list.csv"));
        w.alerts.answers.push_back(kFirstButton);
        w.action("newFile:")->trigger();
        QVERIFY(w.view().grid().title(2).isEmpty());
        QCOMPARE(w.webView->currentUrl(), placeholderUrl());
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

    void savedChartOpensIntoThePanelsAndIsDrawn()
    {
        Window w;
        // Sample 1, then New, then Don't Save: the look changed since New, so the open asks.
        w.alerts.answers = {kFirstButton, kFirstButton, kFirstButton + 1};
        w.view().liveSample();
        w.delegate->state().appearance.cornerRadius = 12;
        const QString target = m_folder.filePath(QStringLiteral("Sample 1.csv"));
        w.panels.savePaths.push_back(target);
        w.action("saveAsFile:")->trigger();
        w.action("newFile:")->trigger();
        w.delegate->state().appearance.cornerRadius = 3;

        const qsizetype loadsBefore = w.webView->loads.size();
        w.panels.openPaths.push_back(target);
        w.action("openFile:")->trigger();
        QCOMPARE(w.view().grid().title(1), QStringLiteral("Niall Brent(CEO)"));
        QCOMPARE(w.view().appearance().selectedValue(AppearancePanel::Setting::NodeRadius),
                 QStringLiteral("12"));
        // Drawn at once: the visible viewer got a chart request, not a table preview.
        QVERIFY(w.webView->loads.size() > loadsBefore);
        QVERIFY(w.webView->currentUrl().toString().contains(QStringLiteral("Niall")));
        QCOMPARE(w.alerts.shown.size(), 3);
    }

private:
    QTemporaryDir m_folder;
};

QTEST_MAIN(DocumentWindowTest)
#include "document_window_test.moc"
