#include "convert/Conversion.h"

#include "app/Log.h"
#include "convert/JsonWriter.h"
#include "convert/SqlWriter.h"
#include "convert/XmlWriter.h"
#include "csv/CsvParser.h"

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <vector>

namespace plotwell::convert {

namespace {

/// Builds one record at a time from the parser's fields and hands it on: the first record as
/// the column names, every later one as data.
class RecordForwarder final : public csv::CsvParserDelegate
{
public:
    RecordForwarder(RecordSink &sink, qint64 inputSize, ConversionProgress *progress,
                    const TableWriter *writer)
        : m_sink(sink), m_inputSize(inputSize), m_progress(progress), m_writer(writer)
    {}

    void parserDidBeginLine(csv::CsvParser &, qsizetype) override
    {
        m_text.resize(0);
        m_ends.clear();
    }

    void parserDidReadField(csv::CsvParser &, QStringView field, qsizetype) override
    {
        m_text.append(field);
        m_ends.push_back(m_text.size());
    }

    void parserDidEndLine(csv::CsvParser &parser, qsizetype recordNumber) override
    {
        // The parser ends a malformed record before it reports the error: that record is not
        // passed on, as its fields are not what the file meant.
        if (parser.error()) {
            m_failedRecord = recordNumber;
            return;
        }
        if (!m_begun) {
            QStringList names;
            names.reserve(qsizetype(m_ends.size()));
            qsizetype start = 0;
            for (qsizetype end : m_ends) {
                names.append(m_text.sliced(start, end - start));
                start = end;
            }
            m_sink.begin(names);
            m_begun = true;
        } else {
            m_views.clear();
            qsizetype start = 0;
            for (qsizetype end : m_ends) {
                m_views.emplace_back(QStringView(m_text).sliced(start, end - start));
                start = end;
            }
            m_sink.record(m_views, ++m_records);
        }
        if (m_progress) {
            if (m_inputSize > 0) {
                const int percent = int(parser.totalBytesRead() * 100 / m_inputSize);
                if (percent != m_progress->percent.load(std::memory_order_relaxed))
                    m_progress->percent.store(std::min(percent, 100), std::memory_order_relaxed);
            }
            if (m_progress->cancelRequested.load(std::memory_order_relaxed)) {
                m_cancelled = true;
                parser.cancelParsing();
            }
        }
        // Reading on would only produce what cannot be written.
        if (m_writer && !m_writer->ok())
            parser.cancelParsing();
    }

    void parserDidFailWithError(csv::CsvParser &, const csv::CsvError &error) override
    {
        m_error = error.description.isEmpty() ? QStringLiteral("error %1").arg(error.code)
                                              : error.description;
    }

    bool begun() const { return m_begun; }
    qsizetype failedRecord() const { return m_failedRecord; }
    qsizetype records() const { return m_records; }
    bool cancelled() const { return m_cancelled; }
    const QString &error() const { return m_error; }

private:
    RecordSink &m_sink;
    qint64 m_inputSize;
    ConversionProgress *m_progress;
    const TableWriter *m_writer;
    QString m_text;
    std::vector<qsizetype> m_ends;
    std::vector<QStringView> m_views;
    qsizetype m_records = 0;
    qsizetype m_failedRecord = 0;
    bool m_begun = false;
    bool m_cancelled = false;
    QString m_error;
};

void readInto(const QString &inputPath, RecordSink &sink, ConversionResult &result,
              ConversionProgress *progress, const TableWriter *writer)
{
    QFile input(inputPath);
    if (!input.open(QIODevice::ReadOnly)) {
        diag(QStringLiteral("Error reading file."));
        result.error = QStringLiteral("Could not read \"%1\": %2")
                           .arg(QFileInfo(inputPath).fileName(), input.errorString());
        sink.finish(0);
        return;
    }
    csv::CsvParser parser(&input);
    parser.setSanitizesFields(true);
    RecordForwarder forwarder(sink, input.size(), progress, writer);
    parser.setDelegate(&forwarder);
    parser.parse();
    sink.finish(forwarder.records());

    result.recordCount = forwarder.records();
    result.undecodableCharacters = parser.replacementCharacterCount();
    result.endedInsideQuotedField = parser.endedInsideQuotedField();
    result.cancelled = forwarder.cancelled();
    if (!forwarder.error().isEmpty())
        result.error = QStringLiteral("Reading stopped at record %1 of the file: %2")
                           .arg(forwarder.failedRecord())
                           .arg(forwarder.error());
    else if (!forwarder.begun())
        result.error = QStringLiteral("The file holds no column names.");
    else if (result.cancelled)
        result.error = QStringLiteral("The conversion was cancelled.");
}

} // namespace

QString progressLabel(int percent)
{
    return QStringLiteral("%1\uFF05 done").arg(percent < 1 ? 0 : percent);
}

QStringList ConversionResult::notes() const
{
    QStringList notes = report.notes;
    if (undecodableCharacters > 0)
        notes.append(QStringLiteral("%1 character(s) of the file were not valid text and were "
                                    "read as U+FFFD.")
                         .arg(undecodableCharacters));
    if (endedInsideQuotedField)
        notes.append(QStringLiteral("The file ends inside a quoted value: its last value may be "
                                    "incomplete."));
    if (!xmlValidationError.isEmpty())
        notes.append(QStringLiteral("The XML does not parse: %1").arg(xmlValidationError));
    return notes;
}

QString ConversionResult::message() const
{
    QStringList lines;
    lines.append(ok ? QStringLiteral("Converted %1 record(s).").arg(recordCount) : error);
    lines.append(notes());
    return lines.join(QLatin1Char('\n'));
}

std::unique_ptr<TableWriter> makeWriter(Format format, QIODevice &output,
                                        const ConversionSettings &settings)
{
    switch (format) {
    case Format::Sql:
        return std::make_unique<SqlWriter>(output, settings);
    case Format::Json:
        return std::make_unique<JsonWriter>(output, settings);
    case Format::Xml:
        return std::make_unique<XmlWriter>(output, settings);
    case Format::Html:
        return std::make_unique<HtmlTableWriter>(output, settings);
    }
    return {};
}

void readRecords(const QString &inputPath, RecordSink &sink, ConversionResult &result,
                 ConversionProgress *progress)
{
    readInto(inputPath, sink, result, progress, nullptr);
}

ConversionResult convertFile(Format format, const QString &inputPath, const QString &outputPath,
                             const ConversionSettings &settings, ConversionProgress *progress)
{
    ConversionResult result;
    if (const QLatin1StringView line = formatTexts(format).startLog; !line.isEmpty())
        diag(line);
    QFile output(outputPath);
    // The writer buffers; a second buffer in QFile would only copy.
    if (!output.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        result.error = QStringLiteral("Could not write \"%1\": %2")
                           .arg(QFileInfo(outputPath).fileName(), output.errorString());
        return result;
    }
    {
        std::unique_ptr<TableWriter> writer = makeWriter(format, output, settings);
        readInto(inputPath, *writer, result, progress, writer.get());
        result.report = writer->report();
        result.bytesWritten = writer->bytesWritten();
        if (!writer->ok())
            result.error = QStringLiteral("Could not write \"%1\": %2")
                               .arg(QFileInfo(outputPath).fileName(), writer->errorString());
    }
    if (!output.flush() && result.error.isEmpty())
        result.error = QStringLiteral("Could not write \"%1\": %2")
                           .arg(QFileInfo(outputPath).fileName(), output.errorString());
    output.close();
    result.ok = result.error.isEmpty();
    if (result.ok)
        diag(formatTexts(format).completionLog);
    if (progress && result.ok)
        progress->percent.store(100);
    return result;
}

TablePreview buildTablePreview(const QString &inputPath, const ConversionSettings &settings)
{
    diag(formatTexts(Format::Html).startLog);
    TablePreviewBuilder builder(settings);
    ConversionResult ignored;
    readRecords(inputPath, builder, ignored);
    return builder.result();
}

QString xmlValidationError(const QString &path)
{
    diag(QStringLiteral("Attempting to load a file: %1").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    QXmlStreamReader reader(&file);
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartDocument:
            diag(QStringLiteral("Started."));
            break;
        case QXmlStreamReader::EndElement:
            qCDebug(lcPlotwell).noquote()
                << QStringLiteral("Finished element.") + reader.name().toString();
            break;
        default:
            break;
        }
    }
    if (!reader.hasError())
        return {};
    const QString error = QStringLiteral("%1 (line %2, column %3)")
                              .arg(reader.errorString())
                              .arg(reader.lineNumber())
                              .arg(reader.columnNumber());
    diag(QStringLiteral("Error occured: %1").arg(error));
    return error;
}

} // namespace plotwell::convert
