// The staff list import dialog: the columns it shows are the ones the grid is filled from.
#include "../staff/StaffTestSupport.h"
#include "TestFiles.h"
#include "TestWindow.h"
#include "model/ChartGrid.h"
#include "ui/StaffImportDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using plotwell::staff::StaffRole;

class StaffImportTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void changingTheManagerColumnChangesTheGrid()
    {
        const QByteArray csv = "Name,Title,Reports To,Mentor\n"
                               "Ann Lee,Director,,\n"
                               "Bob Stone,Engineer,Ann Lee,Ann Lee\n"
                               "Cy Ortiz,Analyst,Ann Lee,Bob Stone\n";
        plotwell::StaffImportDialog dialog(plotwell::staff::readStaffTable(csv));
        QComboBox *manager = dialog.roleCombo(StaffRole::Manager);
        QCOMPARE(manager->currentText(), QStringLiteral("Reports To"));
        QCOMPARE(dialog.roleCombo(StaffRole::Name)->currentText(), QStringLiteral("Name"));
        QVERIFY(!dialog.drawsInViewer());

        plotwell::ChartGrid grid;
        QVERIFY(dialog.importInto(grid));
        QCOMPARE(grid.parent(3), QStringLiteral("1_Ann Lee(Director)"));

        manager->setCurrentIndex(manager->findText(QStringLiteral("Mentor")));
        QVERIFY(dialog.importInto(grid));
        QCOMPARE(grid.title(3), QStringLiteral("Cy Ortiz(Analyst)"));
        QCOMPARE(grid.parent(3), QStringLiteral("2_Bob Stone(Engineer)"));

        // No manager column: everyone at the top.
        manager->setCurrentIndex(0);
        QVERIFY(dialog.importInto(grid));
        QCOMPARE(grid.parent(2), QString());
        QCOMPARE(grid.parent(3), QString());
    }

    void aLargeListOffersTheViewerOrAPartThatFits()
    {
        const auto generated = plotwell::staff::test::generateStaff(300);
        plotwell::StaffImportDialog dialog(plotwell::staff::readStaffTable(generated.csv));
        QVERIFY(dialog.drawsInViewer());
        QComboBox *part = dialog.partCombo();
        QVERIFY(part->count() > 2);
        plotwell::ChartGrid grid;
        const QString before = grid.title(1);
        for (int i = 1; i < part->count(); ++i) {
            part->setCurrentIndex(i);
            QVERIFY(!dialog.drawsInViewer());
            const qsizetype members = dialog.chosenMembers().size();
            QVERIFY2(members > 0 && members <= plotwell::kRowCount,
                     qPrintable(part->currentText()));
            QVERIFY(part->currentText().contains(QString::number(members)));
        }
        part->setCurrentIndex(0);
        QVERIFY(!dialog.importInto(grid));
        QCOMPARE(grid.title(1), before);
    }

    // Accepted, a list that fits fills the grid and is drawn at once; over unsaved changes it
    // asks to save them first.
    void anImportFillsTheGridAndDrawsTheChart()
    {
        QTemporaryDir dir;
        const QString file = plotwell::testing::writeFile(
            dir.filePath(QStringLiteral("team.tsv")),
            "Name\tTitle\tManager\nAnn Lee\tCEO\t\nBo Li\tCTO\tAnn Lee\n");
        plotwell::testing::Window w;
        w.view().workspace().editor().setTitle(1, QStringLiteral("Zed(Boss)"));
        const auto acceptTheImport = [] {
            QTimer::singleShot(0, [] {
                if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                    dialog->accept();
            });
        };
        for (const int answer : {plotwell::kFirstButton + 2, plotwell::kFirstButton + 1}) {
            w.alerts.answers = {answer}; // Cancel, then Don't Save
            acceptTheImport();
            plotwell::importStaffList(w.view(), w.delegate.get(), file);
            QCOMPARE(
                w.alerts.shown.last().message,
                QStringLiteral("Do you want to save the chart before importing \"team.tsv\"?"));
        }
        QCOMPARE(w.alerts.shown.size(), 2);
        QCOMPARE(w.view().grid().title(2), QStringLiteral("Bo Li(CTO)"));
        QVERIFY(!w.webView->loads.isEmpty());
        QVERIFY2(w.webView->loads.last().contains(QStringLiteral("Bo")),
                 qPrintable(w.webView->loads.last().left(200)));
    }

    void aDroppedFileIsAStaffListByItsHeader()
    {
        QTemporaryDir dir;
        using plotwell::testing::writeFile;
        QVERIFY(plotwell::looksLikeStaffList(
            writeFile(dir.filePath("hr.csv"), "Employee Name;Job Title;Reports To\nAnn;Boss;\n")));
        QVERIFY(plotwell::looksLikeStaffList(
            writeFile(dir.filePath("dir.tsv"), "cn\ttitle\tmanager\nAnn\tBoss\t\n")));
        QVERIFY(!plotwell::looksLikeStaffList(
            writeFile(dir.filePath("titles.csv"), "Planning,Design,Build\n1,2,3\n")));
        QVERIFY(!plotwell::looksLikeStaffList(dir.filePath("none.csv")));
    }
};

QTEST_MAIN(StaffImportTest)
#include "staff_import_test.moc"
