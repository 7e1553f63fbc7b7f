// The conversion commands driven through scripted panels and alerts, with real files: the
// column-name check, cancel, the four outputs, one job at a time, failures shown to the user.
#include "Fakes.h"
#include "LogCapture.h"
#include "TestFiles.h"
#include "base/AppState.h"
#include "base/DocumentNames.h"
#include "base/Progress.h"
#include "convert/ColumnTypes.h"
#include "convert/ConversionController.h"
#include "document/DocumentImport.h"
#include "model/ChartGrid.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plotwell;
using namespace plotwell::convert;
using namespace plotwell::testing;

namespace {

const QByteArray kStaff = "Name,Dept\nAnn,Sales\nBob,IT\n";

class Conversions : public ::testing::Test
{
protected:
    Conversions()
    {
        QObject::connect(&progress, &ProgressMonitor::progressViewShown,
                         [this](const QString &label, int) { shownLabels << label; });
        QObject::connect(&progress, &ProgressMonitor::progressViewHidden, [this] { ++hidden; });
    }

    QString write(const QString &name, const QByteArray &content)
    {
        return writeFile(dir.filePath(name), content);
    }
    /// What the import leaves: the file's names as titles, the column set-up, the file's URL.
    QString import(const QByteArray &content)
    {
        const QString path = write(QStringLiteral("in.csv"), content);
        const std::optional<QStringList> names = readFirstRecord(path);
        EXPECT_TRUE(names.has_value());
        (void)document::importTitles(grid, names.value_or(QStringList()));
        document::initializeDataTypes(grid);
        state.fileUrl = document::urlTextOfLocalFile(path);
        return path;
    }
    /// Runs \a command with the panel answering \a path and waits for the job to end.
    bool convert(void (ConversionController::*command)(), const QString &path)
    {
        QSignalSpy ended(&controller, &ConversionController::conversionEnded);
        panels.savePaths.push_back(path);
        (controller.*command)();
        return controller.isRunning() && ended.wait(30000) && ended.at(0).at(0).toBool();
    }

    QTemporaryDir dir;
    ChartGrid grid;
    AppState state;
    ScriptedAlerts alerts;
    ScriptedFilePanels panels;
    ProgressMonitor progress{state};
    int width = 640;
    ConversionController controller{
        {grid, state, alerts, panels, progress, [this] { return width; }}};
    QStringList shownLabels;
    int hidden = 0;
};

} // namespace

TEST_F(Conversions, NoColumnNamesOrNoOpenedFileStopBeforeThePanel)
{
    grid.setTitle(2, QStringLiteral("Name"));
    state.fileUrl = document::urlTextOfLocalFile(write(QStringLiteral("in.csv"), kStaff));
    controller.showSQLPanel();
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].message, "Invalid or Incorrectly formatted CSV file");

    // Titles from a sample chart, but no CSV file behind them.
    grid.setTitle(3, QStringLiteral("Dept"));
    state.fileUrl.reset();
    controller.showHTMLDownloadPanel();
    ASSERT_EQ(alerts.shown.size(), 2);
    EXPECT_EQ(alerts.shown[1].message, "There is no CSV file to convert.");

    EXPECT_TRUE(panels.savePanels.isEmpty());
    EXPECT_FALSE(controller.isRunning());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"in.csv"});
}

TEST_F(Conversions, CancelLogsDidNotSaveAndNothingElse)
{
    import(kStaff);
    state.saveUrl = QStringLiteral("file:///kept.csv");
    LogCapture log;
    controller.showJSONPanel();
    EXPECT_EQ(log.lines, QStringList{"Did not save"});
    ASSERT_EQ(panels.savePanels.size(), 1);
    EXPECT_EQ(panels.savePanels[0].allowedTypes, QStringList{"json"});
    EXPECT_EQ(panels.savePanels[0].proposedName, "in");
    EXPECT_EQ(state.saveUrl, "file:///kept.csv");
    EXPECT_TRUE(shownLabels.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"in.csv"});
}

TEST_F(Conversions, EachCommandWritesItsOutputFromTheOpenedFileAndTheGrid)
{
    import(kStaff);
    grid.setSetting(ChartSetting::ChartTitle, QStringLiteral("staff"));
    grid.setParent(3, QStringLiteral("INT"));
    grid.setPosition(3, QStringLiteral("NOT NULL"));
    const struct
    {
        void (ConversionController::*command)();
        const char *type;
    } commands[] = {{&ConversionController::showSQLPanel, "sql"},
                    {&ConversionController::showJSONPanel, "json"},
                    {&ConversionController::print, "xml"},
                    {&ConversionController::showHTMLDownloadPanel, "HTML"}};
    QStringList outputs;
    for (const auto &entry : commands) {
        const QString type = QLatin1String(entry.type);
        const QString out = dir.filePath(QStringLiteral("my exports/out.") + type);
        QDir().mkpath(QFileInfo(out).path());
        LogCapture log;
        ASSERT_TRUE(convert(entry.command, out)) << entry.type;
        EXPECT_EQ(panels.savePanels.last().allowedTypes, QStringList{type});
        EXPECT_EQ(state.saveUrl, document::urlTextOfLocalFile(out).replace("%20", " "));
        EXPECT_TRUE(log.has(QStringLiteral("FILENAME= out.") + type));
        outputs << QString::fromUtf8(readFile(out));
    }
    // The grid's column types and the window's width reach the writers.
    EXPECT_TRUE(outputs[0].contains("  `Dept` INT NOT NULL,\n"));
    EXPECT_EQ(QJsonDocument::fromJson(outputs[1].toUtf8())["items"].toArray().size(), 2);
    EXPECT_TRUE(outputs[2].contains("<Dept><![CDATA[Sales]]></Dept>"));
    EXPECT_TRUE(outputs[3].contains("min-width:640px;"));

    // Clean conversions tell nothing; the progress view came and went with each.
    EXPECT_TRUE(alerts.shown.isEmpty());
    EXPECT_EQ(shownLabels, QStringList(4, QStringLiteral("Working..")));
    EXPECT_EQ(hidden, 4);
}

TEST_F(Conversions, OneConversionAtATimeAndItsProgressViewStaysUntilItEnds)
{
    import(kStaff);
    QSignalSpy ended(&controller, &ConversionController::conversionEnded);
    panels.savePaths = {dir.filePath("a.sql"), dir.filePath("b.json")};
    controller.showSQLPanel();
    ASSERT_TRUE(controller.isRunning());

    controller.showJSONPanel();
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].informativeText, ConversionJob::refusalText());
    EXPECT_EQ(panels.savePanels.size(), 1);

    // A chart load finishing meanwhile does not hide the conversion's progress view.
    progress.isProgressDone = true;
    progress.checkProgressView();
    EXPECT_EQ(hidden, 0);

    ASSERT_TRUE(ended.wait(30000));
    EXPECT_EQ(hidden, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("b.json")));
}

TEST_F(Conversions, FailuresAndRemarksAreShownNotOnlyLogged)
{
    import("Name,Dept\nAnn\nBob,IT\n");
    // Ragged records: converted, and the user hears of it.
    EXPECT_TRUE(convert(&ConversionController::showSQLPanel, dir.filePath("r.sql")));
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].message, "The file was converted with remarks.");
    EXPECT_TRUE(alerts.shown[0].informativeText.contains("fewer fields"));

    // The CSV file itself is never the output.
    const QString source = dir.filePath("in.csv");
    const QByteArray before = readFile(source);
    panels.savePaths.push_back(source);
    controller.showXMLPanel();
    EXPECT_FALSE(controller.isRunning());
    ASSERT_EQ(alerts.shown.size(), 2);
    EXPECT_EQ(alerts.shown[1].message, "The CSV file cannot be replaced by its conversion.");
    EXPECT_EQ(readFile(source), before);

    if (QFile::exists("/dev/full")) {
        EXPECT_FALSE(convert(&ConversionController::showJSONPanel, "/dev/full"));
        ASSERT_EQ(alerts.shown.size(), 3);
        EXPECT_EQ(alerts.shown[2].message, "The conversion failed.");
        // A failure leaves no percentage behind that would hold back the refresh requests.
        EXPECT_EQ(state.barValue, 0);
        EXPECT_EQ(hidden, 2);
    }

    // The file is missing by now: the failure names it.
    QFile::remove(source);
    EXPECT_FALSE(convert(&ConversionController::showHTMLDownloadPanel, dir.filePath("t.html")));
    EXPECT_TRUE(alerts.shown.last().informativeText.contains("Could not read \"in.csv\""));
}
