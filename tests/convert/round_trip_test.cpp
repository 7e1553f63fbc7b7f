// Converts one file of hostile values and reads each output back with a reader of its own kind,
// expecting exactly the records the file was written with (every field quoted, so that writing
// it takes no reader of ours).
#include "TestFiles.h"
#include "convert/Conversion.h"
#include "convert/Escaping.h"
#include "convert/SqlWriter.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

using namespace plotwell::convert;

namespace {

using Rows = QList<QStringList>;

const QStringList kHeader = {"Name", "Dept \"x\"", "2024", "Price ($)", "record_id", "a`b", "\""};

/// The file's records as they are meant to be read. Written out with full CSV quoting below.
Rows hostileRecords()
{
    return {
        kHeader,
        {"O'Brien", "say \"hi\"", "back\\slash\\", "a]]>b", "<script>alert('x')</script>", "a,b,c",
         ""},
        {"line\nbreak", "crlf\r\ninside", "cr\ronly", "tab\there",
         "\u201Ccurly\u201D \u2018single\u2019 `tick`",
         QString::fromUtf8("\xF0\x9F\x98\x80 \xE2\x82\xAC"), " spaced "},
        {"\\'", "]]]]>", "&amp; &lt;", "--; DROP TABLE x; --", "\\N", "%s %d", "NULL"},
        {"short", "row"},
        // Longer than what goes to the writer in one batch, and cleaned in place.
        {"big", QStringLiteral("say \"x\", ").repeated(20000), "after", "", "", "", ""},
        {"long", "row", "3", "4", "5", "6", "7", "extra 8", "extra 9"},
        {"", "", "", "", "", "", ""},
        {QString::fromUtf8("日本語"), "\u00A0nbsp", "\"\"", "'", "\\", "]", "]]"},
    };
}

QByteArray csvText(const Rows &rows)
{
    QByteArray text;
    for (const QStringList &row : rows) {
        QStringList fields;
        for (QString field : row)
            fields.append(QLatin1Char('"') +
                          field.replace(QLatin1Char('"'), QLatin1String("\"\"")) +
                          QLatin1Char('"'));
        text += fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
    }
    return text;
}

class ConverterRoundTrip : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_expected = hostileRecords();
        m_csv = plotwell::testing::writeFile(m_dir.filePath("hostile.csv"), csvText(m_expected));
        m_columns = m_expected.first().size();
    }

    ConversionResult convert(Format format, const QString &name)
    {
        ConversionSettings settings;
        settings.tableName = "hostile`table";
        ConversionResult result = convertFile(format, m_csv, m_dir.filePath(name), settings);
        EXPECT_TRUE(result.ok) << result.error.toStdString();
        EXPECT_EQ(result.recordCount, m_expected.size() - 1);
        EXPECT_EQ(result.report.shortRecords, 1);
        EXPECT_EQ(result.report.longRecords, 1);
        return result;
    }

    QByteArray output(const QString &name)
    {
        return plotwell::testing::readFile(m_dir.filePath(name));
    }

    QTemporaryDir m_dir;
    QString m_csv;
    Rows m_expected;
    qsizetype m_columns = 0; // a writer keeps this many values of a record, or fewer
};

} // namespace

TEST_F(ConverterRoundTrip, JsonParsesBackToTheFileValues)
{
    (void)convert(Format::Json, "out.json");
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(output("out.json"), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonArray items = document.object().value("items").toArray();
    ASSERT_EQ(items.size(), m_expected.size() - 1);
    const QStringList keys = jsonKeys(kHeader);
    for (qsizetype i = 1; i < m_expected.size(); ++i) {
        const QJsonObject item = items.at(i - 1).toObject();
        EXPECT_EQ(item.size(), m_columns);
        const QStringList record = m_expected.at(i).mid(0, m_columns);
        for (qsizetype c = 0; c < m_columns; ++c) {
            const QJsonValue value = item.value(keys.at(c));
            if (c < record.size())
                EXPECT_EQ(value.toString(), record.at(c)) << i << "," << c;
            else
                EXPECT_TRUE(value.isNull()) << i << "," << c;
        }
    }
}

TEST_F(ConverterRoundTrip, XmlParsesBackToTheFileValues)
{
    (void)convert(Format::Xml, "out.xml");
    EXPECT_TRUE(xmlValidationError(m_dir.filePath("out.xml")).isEmpty());
    QXmlStreamReader reader(output("out.xml"));
    ASSERT_TRUE(reader.readNextStartElement());
    EXPECT_EQ(reader.name(), QLatin1String("Items"));
    const QStringList names = xmlElementNames(kHeader);
    Rows items;
    while (reader.readNextStartElement()) {
        QStringList values;
        while (reader.readNextStartElement()) {
            EXPECT_EQ(reader.name().toString(), names.at(values.size()));
            values.append(reader.readElementText());
        }
        items.append(values);
    }
    ASSERT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    ASSERT_EQ(items.size(), m_expected.size() - 1);
    for (qsizetype i = 1; i < m_expected.size(); ++i)
        EXPECT_EQ(items.at(i - 1), m_expected.at(i).mid(0, m_columns)) << i;
}

namespace {

/// A private MariaDB server for the test, on a socket in a temporary folder.
class MariaDb
{
public:
    ~MariaDb()
    {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            if (!m_server.waitForFinished(30000))
                m_server.kill();
            m_server.waitForFinished(5000);
        }
    }

    /// Empty when the server runs; otherwise why it could not start.
    QString start()
    {
        const QStringList places = {"/usr/sbin", "/usr/bin", "/usr/local/bin", "/usr/local/sbin"};
        const QString server = QStandardPaths::findExecutable("mariadbd", places);
        const QString install = QStandardPaths::findExecutable("mariadb-install-db", places);
        m_client = QStandardPaths::findExecutable("mariadb", places);
        if (server.isEmpty() || install.isEmpty() || m_client.isEmpty())
            return "mariadbd, mariadb-install-db or mariadb is not installed";
        if (!m_dir.isValid())
            return "no temporary folder";
        const QString data = m_dir.filePath("data");
        m_socket = m_dir.filePath("sock");
        QStringList asUser;
        if (geteuid() == 0)
            asUser << "--user=root";
        QProcess setup;
        setup.start(install,
                    QStringList{"--no-defaults", "--auth-root-authentication-method=normal",
                                "--datadir=" + data} +
                        asUser);
        if (!setup.waitForFinished(120000) || setup.exitCode() != 0)
            return "mariadb-install-db failed: " + QString::fromUtf8(setup.readAll());
        m_server.setProcessChannelMode(QProcess::MergedChannels);
        m_server.start(server,
                       QStringList{"--no-defaults", "--datadir=" + data, "--socket=" + m_socket,
                                   "--skip-networking", "--pid-file=" + m_dir.filePath("pid")} +
                           asUser);
        if (!m_server.waitForStarted(30000))
            return "mariadbd did not start: " + m_server.errorString();
        const bool ready = QTest::qWaitFor(
            [&] {
                return m_server.state() == QProcess::NotRunning ||
                       (QFile::exists(m_socket) && client({"-e", "SELECT 1"}).has_value());
            },
            60000);
        if (!ready || m_server.state() == QProcess::NotRunning)
            return "mariadbd did not answer: " + QString::fromUtf8(m_server.readAll());
        return {};
    }

    /// Runs the client; its standard output, or nothing when it failed (the error is added to
    /// `error`).
    std::optional<QByteArray> client(const QStringList &arguments, const QByteArray &input = {},
                                     QString *error = nullptr)
    {
        QProcess process;
        process.start(m_client,
                      QStringList{"--no-defaults", "--socket=" + m_socket, "-uroot"} + arguments);
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0) {
            if (error)
                *error = QString::fromUtf8(process.readAllStandardError());
            return std::nullopt;
        }
        return process.readAllStandardOutput();
    }

private:
    QTemporaryDir m_dir;
    QProcess m_server;
    QString m_client;
    QString m_socket;
};

} // namespace

TEST_F(ConverterRoundTrip, SqlOfWideTablesLongValuesAndChartDataLoadsWithDefaultClientSettings)
{
    MariaDb db;
    if (const QString why = db.start(); !why.isEmpty())
        GTEST_SKIP() << "No MariaDB server for the SQL round trip: " << why.toStdString();
    QString error;
    ASSERT_TRUE(db.client({"-e", "CREATE DATABASE wide"}, {}, &error)) << error.toStdString();

    // 70 columns pass the row-size limit as VARCHAR(255); values of 300 and 70,000 characters;
    // an emoji in the first row of each of the two INSERTs; the grid's type fields holding chart
    // data.
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    const auto value = [&](int record, int column) {
        if (column == 1 && record == 2)
            return QString(300, QLatin1Char('x'));
        if (column == 2 && record == 3)
            return QString(70000, QLatin1Char('y'));
        if (column == 0 && record % SqlWriter::kRecordsPerInsert == 1)
            return emoji + QString::number(record);
        return QStringLiteral("v%1_%2").arg(record).arg(column);
    };
    const struct
    {
        QString table;
        int columns;
    } tables[] = {{"wide", 70}, {"narrow", 3}};
    for (const auto &shape : tables) {
        const int records = 1002;
        QByteArray csv;
        QStringList header;
        for (int c = 0; c < shape.columns; ++c)
            header.append(QStringLiteral("c%1").arg(c));
        csv += header.join(',').toUtf8() + "\n";
        for (int r = 1; r <= records; ++r) {
            QStringList fields;
            for (int c = 0; c < shape.columns; ++c)
                fields.append(value(r, c));
            csv += fields.join(',').toUtf8() + "\n";
        }
        const QString input =
            plotwell::testing::writeFile(m_dir.filePath(shape.table + ".csv"), csv);
        ConversionSettings settings;
        settings.tableName = shape.table;
        // As the grid gives them once a chart is drawn over "1_Niall Brent(CEO)" and "u".
        settings.columnTypes = {"VARCHAR(255)", "VARCHAR(255)", "VARCHAR(255)"};
        settings.columnsWithoutSqlType = {1};
        const ConversionResult result =
            convertFile(Format::Sql, input, m_dir.filePath(shape.table + ".sql"), settings);
        ASSERT_TRUE(result.ok) << result.error.toStdString();
        EXPECT_TRUE(result.message().contains("made TEXT")) << result.message().toStdString();
        EXPECT_TRUE(result.message().contains("no SQL type for column(s) c0"));
        ASSERT_TRUE(db.client({"wide"}, output(shape.table + ".sql"), &error))
            << shape.table.toStdString() << ": " << error.toStdString();

        QStringList hexColumns;
        for (const QString &name : header)
            hexColumns.append("HEX(`" + name + "`)");
        const auto table = db.client(
            {"--batch", "--skip-column-names", "wide", "-e",
             "SELECT " + hexColumns.join(',') + " FROM `" + shape.table + "` ORDER BY record_id"},
            {}, &error);
        ASSERT_TRUE(table) << error.toStdString();
        const QList<QByteArray> lines = table->trimmed().split('\n');
        ASSERT_EQ(lines.size(), records);
        for (int r = 1; r <= records; ++r) {
            const QList<QByteArray> cells = lines.at(r - 1).split('\t');
            ASSERT_EQ(cells.size(), shape.columns);
            for (int c = 0; c < shape.columns; ++c)
                ASSERT_EQ(QString::fromUtf8(QByteArray::fromHex(cells.at(c))), value(r, c))
                    << shape.table.toStdString() << " " << r << "," << c;
        }
    }
}

TEST_F(ConverterRoundTrip, SqlLoadsIntoMariaDbWithDefaultClientSettingsAndSelectsBack)
{
    MariaDb db;
    if (const QString why = db.start(); !why.isEmpty())
        GTEST_SKIP() << "No MariaDB server for the SQL round trip: " << why.toStdString();
    const ConversionResult result = convert(Format::Sql, "out.sql");
    QString error;
    ASSERT_TRUE(db.client({"-e", "CREATE DATABASE rt"}, {}, &error)) << error.toStdString();
    ASSERT_TRUE(db.client({"rt"}, output("out.sql"), &error)) << error.toStdString();
    EXPECT_TRUE(result.message().contains("made TEXT")) << result.message().toStdString();

    // The column names are the writer's to choose: the server lists them, every value in hex.
    const QString table = sqlTableIdentifier("hostile`table");
    const QString query =
        "SET @q = (SELECT CONCAT('SELECT ', GROUP_CONCAT(CONCAT('HEX(`', COLUMN_NAME, '`)') "
        "ORDER BY ORDINAL_POSITION), ' FROM `" +
        table +
        "` ORDER BY record_id') FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = "
        "'rt' AND COLUMN_NAME <> 'record_id'); PREPARE s FROM @q; EXECUTE s;";
    const auto selected =
        db.client({"--batch", "--skip-column-names", "rt", "-e", query}, {}, &error);
    ASSERT_TRUE(selected) << error.toStdString();
    const QList<QByteArray> lines = selected->trimmed().split('\n');
    ASSERT_EQ(lines.size(), m_expected.size() - 1);
    for (qsizetype i = 1; i < m_expected.size(); ++i) {
        const QList<QByteArray> cells = lines.at(i - 1).split('\t');
        ASSERT_EQ(cells.size(), m_columns) << i;
        const QStringList record = m_expected.at(i).mid(0, m_columns);
        for (qsizetype c = 0; c < m_columns; ++c) {
            if (c < record.size())
                EXPECT_EQ(QString::fromUtf8(QByteArray::fromHex(cells.at(c))), record.at(c))
                    << i << "," << c;
            else
                EXPECT_EQ(cells.at(c), "NULL") << i << "," << c;
        }
    }
}
