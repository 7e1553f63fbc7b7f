#include "convert/Conversion.h"

#include "base/Log.h"
#include "convert/JsonWriter.h"
#include "convert/SqlWriter.h"
#include "convert/XmlWriter.h"
#include "csv/CsvDecoder.h"
#include "csv/CsvParser.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamReader>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace plotwell::convert {

namespace {

/// What tells one file from another, and one state of a file from the next.
struct FileState
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    bool regular = false; // a pipe or a device changes as it is read, and is not compared

    bool sameFileAs(const FileState &other) const
    {
        return device == other.device && inode == other.inode;
    }
    bool sameStateAs(const FileState &other) const
    {
        return sameFileAs(other) && size == other.size &&
               modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

FileState fileStateOf(const struct stat &info)
{
    return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, S_ISREG(info.st_mode)};
}

/// The file a path names, through every link; nothing when there is none.
std::optional<FileState> fileStateAt(const QString &path)
{
    struct stat info;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return fileStateOf(info);
}

std::optional<FileState> fileStateOf(const QFile &file)
{
    struct stat info;
    if (file.handle() < 0 || ::fstat(file.handle(), &info) != 0)
        return std::nullopt;
    return fileStateOf(info);
}

/// A growable array of plain values whose new slots are handed out unset, for filling in
/// place: std::vector would clear them first or check its room on every value.
template <typename T> class PlainArray
{
public:
    std::size_t size() const { return m_size; }
    const T &operator[](std::size_t i) const { return m_data[i]; }
    void clear() { m_size = 0; }
    /// `count` more slots at the end.
    T *extend(std::size_t count)
    {
        if (m_size + count > m_capacity) {
            const std::size_t capacity = std::max(m_size + count, m_capacity * 2);
            auto grown = std::make_unique_for_overwrite<T[]>(capacity);
            std::copy_n(m_data.get(), m_size, grown.get());
            m_data = std::move(grown);
            m_capacity = capacity;
        }
        T *slots = m_data.get() + m_size;
        m_size += count;
        return slots;
    }

private:
    std::unique_ptr<T[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

/// Records read and not yet handed on: the text of each, with where its fields lie in it.
struct RecordBatch
{
    std::vector<char16_t> text;
    PlainArray<qsizetype> fieldStarts; // in `text`
    PlainArray<qsizetype> fieldEnds;   // in `text`
    std::vector<qsizetype> recordEnds; // in `fieldStarts` and `fieldEnds`
    qsizetype firstIndex = 1;          // of the first record, counting data records from 1

    void clear(qsizetype nextIndex)
    {
        text.clear();
        fieldStarts.clear();
        fieldEnds.clear();
        recordEnds.clear();
        firstIndex = nextIndex;
    }

    /// Copies a record. Its fields lie in order in one piece of text, which is copied at once
    /// (with what separates them): one copy a record rather than one a field.
    void add(csv::CsvFields fields)
    {
        if (!fields.empty()) {
            const char16_t *const from = fields.front().utf16();
            const char16_t *const to = fields.back().utf16() + fields.back().size();
            Q_ASSERT(from <= to);
            const qsizetype base = qsizetype(text.size());
            text.insert(text.end(), from, to);
            qsizetype *starts = fieldStarts.extend(fields.size());
            qsizetype *ends = fieldEnds.extend(fields.size());
            for (QStringView field : fields) {
                const qsizetype start = base + (field.utf16() - from);
                *starts++ = start;
                *ends++ = start + field.size();
            }
        }
        recordEnds.push_back(qsizetype(fieldEnds.size()));
    }
};

/// Hands each record of `batch` to `sink`.
void deliver(const RecordBatch &batch, RecordSink &sink, std::vector<QStringView> &views)
{
    std::size_t field = 0;
    qsizetype index = batch.firstIndex;
    for (qsizetype recordEnd : batch.recordEnds) {
        const std::size_t count = std::size_t(recordEnd) - field;
        if (views.size() < count)
            views.resize(count);
        for (std::size_t i = 0; i < count; ++i, ++field) {
            const qsizetype start = batch.fieldStarts[field];
            views[i] = QStringView(batch.text.data() + start, batch.fieldEnds[field] - start);
        }
        sink.record(Fields(views.data(), count), index++);
    }
}

/// Writes on a thread of its own while the caller reads the next records, so that a
/// conversion takes about as long as the slower of the two rather than both together. A few
/// batches go round between the threads, which keeps memory flat.
class WritingThread
{
public:
    explicit WritingThread(RecordSink &sink, const TableWriter *writer)
        : m_sink(sink), m_writer(writer)
    {
        for (auto &batch : m_batches)
            m_free.push_back(&batch);
        m_thread = std::thread(&WritingThread::run, this);
    }
    /// Waits for every batch handed over to be written, as `finish()` but never throws.
    ~WritingThread() { close(); }

    /// An empty batch to fill, once the writer has given one back.
    RecordBatch *take()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return !m_free.empty(); });
        RecordBatch *batch = m_free.front();
        m_free.pop_front();
        return batch;
    }
    void write(RecordBatch *batch)
    {
        {
            std::lock_guard lock(m_mutex);
            m_full.push_back(batch);
        }
        m_changed.notify_all();
    }
    /// Writes one record on the calling thread, once every batch handed over is written.
    void writeHere(Fields fields, qsizetype index)
    {
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [&] { return m_full.empty() && !m_busy; });
        }
        writeGuarded([&] { m_sink.record(fields, index); });
    }
    /// Whether writing has stopped (the device failed), so that reading on is pointless.
    bool failed() const { return m_failed.load(std::memory_order_relaxed); }

    /// Waits until everything handed over is written; rethrows what the writing threw.
    void finish()
    {
        close();
        if (m_exception)
            std::rethrow_exception(std::exchange(m_exception, nullptr));
    }

private:
    void close()
    {
        if (!m_thread.joinable())
            return;
        {
            std::lock_guard lock(m_mutex);
            m_closed = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    void run()
    {
        std::vector<QStringView> views;
        for (;;) {
            RecordBatch *batch = nullptr;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] { return !m_full.empty() || m_closed; });
                if (m_full.empty())
                    return;
                batch = m_full.front();
                m_full.pop_front();
                m_busy = true;
            }
            writeGuarded([&] { deliver(*batch, m_sink, views); });
            {
                std::lock_guard lock(m_mutex);
                m_free.push_back(batch);
                m_busy = false;
            }
            m_changed.notify_all();
        }
    }

    /// Runs `write` unless writing has failed, and notes a failure or an exception. Only ever
    /// runs on one thread at a time: `writeHere()` waits until this thread is idle.
    template <typename Write> void writeGuarded(Write &&write)
    {
        if (m_failed.load(std::memory_order_relaxed))
            return;
        try {
            write();
            if (m_writer && !m_writer->ok())
                m_failed.store(true);
        } catch (...) {
            m_exception = std::current_exception();
            m_failed.store(true);
        }
    }

    RecordSink &m_sink;
    const TableWriter *m_writer;
    std::array<RecordBatch, 3> m_batches;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<RecordBatch *> m_free;
    std::deque<RecordBatch *> m_full;
    bool m_closed = false;
    bool m_busy = false; // a batch is being written
    std::atomic<bool> m_failed{false};
    std::exception_ptr m_exception;
    std::thread m_thread;
};

/// Collects the parser's fields record by record and hands them on: the first record as the
/// column names, every later one as data, either at once or in batches to a writing thread.
class RecordForwarder final : public csv::CsvParserDelegate
{
public:
    static constexpr std::size_t kBatchUnits = 128 * 1024;

    RecordForwarder(RecordSink &sink, qint64 inputSize, ConversionProgress *progress,
                    WritingThread *writing)
        : m_sink(sink), m_inputSize(inputSize), m_progress(progress), m_writing(writing),
          m_batch(writing ? writing->take() : nullptr)
    {}

    bool readsWholeRecords() const override { return true; }

    void parserDidReadRecord(csv::CsvParser &parser, qsizetype recordNumber,
                             csv::CsvFields fields) override
    {
        // The parser ends a malformed record before it reports the error: that record is not
        // passed on, as its fields are not what the file meant.
        if (parser.error()) {
            m_failedRecord = recordNumber;
            return;
        }
        if (!m_begun) {
            QStringList names;
            names.reserve(qsizetype(fields.size()));
            for (QStringView field : fields)
                names.append(field.toString());
            m_sink.begin(names);
            m_begun = true;
        } else {
            ++m_records;
            if (!m_writing) {
                m_sink.record(fields, m_records);
            } else if (stretchOf(fields) > kBatchUnits) {
                // Copied into a batch, a record this long would be held twice: it is written
                // from the parser's text, after everything before it.
                if (!m_batch->recordEnds.empty())
                    handOver();
                else
                    m_batch->firstIndex = m_records + 1;
                m_writing->writeHere(fields, m_records);
            } else {
                m_batch->add(fields);
                if (m_batch->text.size() >= kBatchUnits)
                    handOver();
            }
        }
        if (m_progress) {
            // Asking the parser costs more than a record; a percent is thousands of records.
            if (m_inputSize > 0 && recordNumber % 256 == 0) {
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
        if (m_writing && m_writing->failed())
            parser.cancelParsing();
    }

    void parserDidFailWithError(csv::CsvParser &, const csv::CsvError &error) override
    {
        m_error = error.description.isEmpty() ? QStringLiteral("error %1").arg(error.code)
                                              : error.description;
    }

    /// Hands over the records still held.
    void flush()
    {
        if (m_writing && !m_batch->recordEnds.empty())
            handOver();
    }

    bool begun() const { return m_begun; }
    qsizetype failedRecord() const { return m_failedRecord; }
    qsizetype records() const { return m_records; }
    bool cancelled() const { return m_cancelled; }
    const QString &error() const { return m_error; }

private:
    /// The text a batch would copy for the record.
    static std::size_t stretchOf(csv::CsvFields fields)
    {
        if (fields.empty())
            return 0;
        return std::size_t(fields.back().utf16() + fields.back().size() - fields.front().utf16());
    }

    void handOver()
    {
        m_writing->write(m_batch);
        m_batch = m_writing->take();
        m_batch->clear(m_records + 1);
    }

    RecordSink &m_sink;
    qint64 m_inputSize;
    ConversionProgress *m_progress;
    WritingThread *m_writing;
    RecordBatch *m_batch; // being filled, when writing on a thread of its own
    qsizetype m_records = 0;
    qsizetype m_failedRecord = 0;
    bool m_begun = false;
    bool m_cancelled = false;
    QString m_error;
};

/// The line on which record `record` (from 1, the column names included) of the file starts,
/// found again only when a record failed: reading counts records, not lines. Quoted values may
/// hold line breaks; a byte scan suits every encoding that keeps ASCII as it is.
qint64 lineOfRecord(const QString &path, qsizetype record)
{
    QFile file(path);
    if (record < 1 || !file.open(QIODevice::ReadOnly))
        return 0;
    qint64 line = 1;
    qsizetype current = 1;
    bool quoted = false;
    char previous = 0;
    QByteArray block;
    while (current < record && !(block = file.read(1 << 16)).isEmpty()) {
        for (const char byte : std::as_const(block)) {
            if (byte == '"') {
                quoted = !quoted;
            } else if ((byte == '\n' && previous != '\r') || byte == '\r') {
                ++line;
                if (!quoted && ++current == record)
                    break;
            }
            previous = byte;
        }
    }
    return line;
}

/// Reads the file into `sink`; with `writer`, `sink` is that writer and runs on a thread of its
/// own.
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
    const std::optional<FileState> before = fileStateOf(input);
    csv::CsvParser parser(&input);
    parser.setSanitizesFields(true);
    std::optional<WritingThread> writing;
    if (writer)
        writing.emplace(sink, writer);
    RecordForwarder forwarder(sink, input.size(), progress, writing ? &*writing : nullptr);
    parser.setDelegate(&forwarder);
    parser.parse();
    forwarder.flush();
    if (writing)
        writing->finish();
    sink.finish(forwarder.records());

    result.recordCount = forwarder.records();
    result.undecodableCharacters = parser.replacementCharacterCount();
    result.endedInsideQuotedField = parser.endedInsideQuotedField();
    if (parser.encodingWasGuessed())
        result.assumedEncoding = csv::encodingName(parser.streamEncoding());
    result.cancelled = forwarder.cancelled();
    // A file written, cut or replaced while it was read gives records of neither version.
    const std::optional<FileState> after = fileStateOf(input);
    const std::optional<FileState> now = fileStateAt(inputPath);
    const bool changed =
        before && before->regular &&
        (!after || !now || !after->sameStateAs(*before) || !now->sameStateAs(*before));
    if (changed)
        result.error = QStringLiteral("\"%1\" changed while it was read (written to, cut "
                                      "short or replaced). Try again once it has stopped "
                                      "changing.")
                           .arg(QFileInfo(inputPath).fileName());
    else if (!forwarder.error().isEmpty())
        result.error = QStringLiteral("Reading stopped at record %1 (line %2) of the file: %3")
                           .arg(forwarder.failedRecord())
                           .arg(lineOfRecord(inputPath, forwarder.failedRecord()))
                           .arg(forwarder.error());
    else if (!forwarder.begun())
        result.error = QStringLiteral("The file holds no column names.");
    else if (result.cancelled)
        result.error = QStringLiteral("The conversion was cancelled.");
}

} // namespace

QStringList ConversionResult::notes() const
{
    QStringList notes = report.notes;
    if (!assumedEncoding.isEmpty())
        notes.append(QStringLiteral("The file is not UTF-8 and does not say its encoding: it was "
                                    "read as %1.")
                         .arg(assumedEncoding));
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

bool isSameFile(const QString &a, const QString &b)
{
    const std::optional<FileState> first = fileStateAt(a);
    const std::optional<FileState> second = fileStateAt(b);
    return first && second && first->sameFileAs(*second);
}

QString sameFileRefusal(const QString &outputPath)
{
    return QStringLiteral("\"%1\" is the file being converted: its conversion cannot replace "
                          "it. Choose another output file.")
        .arg(outputPath);
}

ConversionResult convertFile(Format format, const QString &inputPath, const QString &outputPath,
                             const ConversionSettings &settings, ConversionProgress *progress)
{
    ConversionResult result;
    if (const QLatin1StringView line = formatTexts(format).startLog; !line.isEmpty())
        diag(line);
    // However the two paths are spelled (links, "./", relative or not), one file is one inode.
    if (isSameFile(inputPath, outputPath)) {
        result.refused = true;
        result.error = sameFileRefusal(outputPath);
        return result;
    }
    // The output is written beside its target and takes its place only once whole: a failed,
    // cancelled or killed conversion leaves the previous file as it was. A device or a pipe
    // (/dev/stdout) has no previous content to keep and cannot be replaced: written directly.
    const QFileInfo target(outputPath);
    std::unique_ptr<QFileDevice> output;
    if (target.exists() && !target.isFile() && !target.isDir())
        output = std::make_unique<QFile>(outputPath);
    else
        output = std::make_unique<QSaveFile>(outputPath);
    auto *const saveFile = qobject_cast<QSaveFile *>(output.get());
    // The writer buffers; a second buffer in the file would only copy.
    if (!output->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        result.error = QStringLiteral("Could not write \"%1\": %2")
                           .arg(target.fileName(), output->errorString());
        return result;
    }
    {
        std::unique_ptr<TableWriter> writer = makeWriter(format, *output, settings);
        readInto(inputPath, *writer, result, progress, writer.get());
        result.report = writer->report();
        result.bytesWritten = writer->bytesWritten();
        if (!writer->ok() && result.error.isEmpty())
            result.error = QStringLiteral("Could not write \"%1\": %2")
                               .arg(target.fileName(), writer->errorString());
    }
    if (saveFile && !result.error.isEmpty())
        saveFile->cancelWriting();
    const bool written = saveFile ? saveFile->commit() : output->flush();
    if (!written && result.error.isEmpty())
        result.error = QStringLiteral("Could not write \"%1\": %2")
                           .arg(target.fileName(), output->errorString());
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
    ConversionResult result;
    readRecords(inputPath, builder, result);
    builder.setProblem(result.error, result.notes());
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
