// Conversions of files on disk: the background job, failures, and the grid's column types.
#include "TestFiles.h"
#include "base/AppState.h"
#include "convert/ColumnTypes.h"
#include "convert/ConversionJob.h"
#include "document/DocumentImport.h"
#include "model/ChartGrid.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plotwell;
using namespace plotwell::convert;

namespace {

class Files : public ::testing::Test
{
protected:
    QString write(const QString &name, const QByteArray &content)
    {
        return plotwell::testing::writeFile(m_dir.filePath(name), content);
    }
    QByteArray staffRecords(int count)
    {
        QByteArray text = "Name,Dept\n";
        for (int i = 1; i <= count; ++i)
            text += "\"n" + QByteArray::number(i) + "\",d\n";
        return text;
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(Files, AJobConvertsManyBatchesInTheBackgroundAndInOrder)
{
    // Enough records for several of the batches that go to the writing thread.
    const int count = 60000;
    const QString input = write("in.csv", staffRecords(count));
    const QString output = m_dir.filePath("out.json");
    ConversionJob job;
    QSignalSpy finished(&job, &ConversionJob::finished);

    ASSERT_TRUE(job.start(Format::Json, input, output, {}));
    EXPECT_TRUE(job.isRunning());

    ASSERT_TRUE(finished.wait(30000));
    EXPECT_TRUE(finished.at(0).at(0).toBool());
    EXPECT_EQ(finished.at(0).at(1).toString(),
              QStringLiteral("Converted %1 record(s).").arg(count));
    EXPECT_FALSE(job.isRunning());
    EXPECT_EQ(job.progress(), 100);
    const QJsonDocument document = QJsonDocument::fromJson(plotwell::testing::readFile(output));
    const QJsonArray items = document["items"].toArray();
    ASSERT_EQ(items.size(), count);
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(items.at(i)["Name"].toString(), QStringLiteral("n%1").arg(i + 1));
}

TEST(ColumnTypes, TypesAndSettingsComeFromTheGridAfterTheImportSetUp)
{
    ChartGrid grid;
    grid.setTitle(2, "Name");
    EXPECT_FALSE(hasColumnLabels(grid));
    grid.setTitle(3, "Dept");
    EXPECT_TRUE(hasColumnLabels(grid));
    grid.setParent(3, "INT");
    grid.setPosition(3, "NOT NULL");
    document::initializeDataTypes(grid);
    EXPECT_EQ(getDataType(grid, 1), "VARCHAR(255)");
    EXPECT_EQ(getDataType(grid, 2), "INT NOT NULL");
    EXPECT_EQ(getDataType(grid, 93), "VARCHAR(255)");
    // After a chart is drawn the same fields hold chart data: never taken for SQL.
    const struct
    {
        const char *parent;
        const char *position;
        const char *sql;
        bool fromGrid;
    } fields[] = {
        {"decimal(10, 2) unsigned", "not  null", "decimal(10, 2) unsigned NOT NULL", true},
        {"1_Niall Brent(CEO)", "u", "VARCHAR(255)", false},
        {"VARCHAR(255)", "u", "VARCHAR(255)", false},
        {"INT; DROP TABLE x", "NULL", "VARCHAR(255) NULL", false},
    };
    for (const auto &field : fields) {
        grid.setParent(4, field.parent);
        grid.setPosition(4, field.position);
        EXPECT_EQ(columnTypeOf(grid, 3).sql, field.sql) << field.parent;
        EXPECT_EQ(columnTypeOf(grid, 3).fromGrid, field.fromGrid) << field.parent;
    }

    grid.setSetting(ChartSetting::ChartTitle, "staff");
    grid.setSetting(ChartSetting::HexBackBg, "#000001");
    AppState state;
    state.appearance.fontFamily = "Helvetica";
    const ConversionSettings settings = conversionSettings(grid, state, 640);
    EXPECT_EQ(settings.tableName, "staff");
    EXPECT_EQ(settings.columnType(2), "INT NOT NULL");
    EXPECT_EQ(settings.hexBackBg, "#000001");
    EXPECT_EQ(settings.appearance.fontFamily, "Helvetica");
    EXPECT_EQ(settings.htmlWidth, 640);
}
