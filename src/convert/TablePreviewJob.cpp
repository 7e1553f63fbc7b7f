#include "convert/TablePreviewJob.h"

#include "base/CommandCenter.h"
#include "base/Log.h"

#include <QFileInfo>

#include <thread>

namespace plotwell::convert {

namespace {

/// Hands the records to the preview. With the file's count known already, the reading stops
/// once the preview has seen past the rows it shows, and the page gets the known count.
class PreviewRows final : public RecordSink
{
public:
    PreviewRows(TablePreviewBuilder &builder, std::optional<qsizetype> knownCount,
                std::atomic<bool> &stopReading)
        : m_builder(builder), m_knownCount(knownCount), m_stopReading(stopReading)
    {}

    void begin(const QStringList &columnNames) override { m_builder.begin(columnNames); }
    void record(Fields fields, qsizetype index) override
    {
        m_builder.record(fields, index);
        if (m_knownCount && index > TablePreviewBuilder::kPreviewRows)
            m_stopReading.store(true);
    }
    void finish(qsizetype recordCount) override
    {
        m_builder.finish(m_knownCount.value_or(recordCount));
    }

private:
    TablePreviewBuilder &m_builder;
    std::optional<qsizetype> m_knownCount;
    std::atomic<bool> &m_stopReading;
};

} // namespace

struct TablePreviewJob::Build
{
    quint64 serial = 0;
    /// Its cancel request also ends a reading that has all it needs.
    ConversionProgress progress;
    std::atomic<bool> dropped{false};
    std::atomic<bool> countStopped{false};
    std::thread thread;
};

TablePreviewJob::TablePreviewJob(QObject *parent) : QObject(parent)
{}

TablePreviewJob::~TablePreviewJob()
{
    cancel();
    waitForThreads();
}

void TablePreviewJob::start(const QString &inputPath, const ConversionSettings &settings)
{
    cancel();
    reap();
    const QFileInfo info(inputPath);
    std::optional<FileStamp> stamp;
    if (info.isFile())
        stamp = FileStamp{inputPath, info.size(), info.lastModified()};
    std::optional<qsizetype> knownCount;
    if (stamp && m_known && m_known->file == *stamp)
        knownCount = m_known->records;

    auto build = std::make_unique<Build>();
    build->serial = ++m_serial;
    m_pending = true;
    Build *const running = build.get();
    running->thread = std::thread([this, running, inputPath, settings, stamp, knownCount] {
        std::optional<TablePreview> preview;
        runGuarded(QStringLiteral("Error Occured at SHOW HTML."), [&] {
            diag(formatTexts(Format::Html).startLog);
            TablePreviewBuilder builder(settings);
            PreviewRows rows(builder, knownCount, running->progress.cancelRequested);
            ConversionResult result;
            readRecords(inputPath, rows, result, &running->progress);
            // A reading stopped for the preview's own sake (its count known) is no problem.
            builder.setProblem(result.cancelled ? QString() : result.error, result.notes());
            if (running->countStopped.load() && !knownCount && result.cancelled)
                builder.setCountStopped();
            preview = builder.result();
        });
        running->progress.done.store(true);
        // A dropped build's page would be dropped on arrival anyway; a failed one still ends
        // the wait.
        if (running->dropped.load())
            return;
        // Only a count read through to the end is worth keeping.
        const std::optional<FileStamp> counted =
            knownCount || !preview || !preview->problem.isEmpty() || preview->countStopped
                ? std::nullopt
                : stamp;
        // Runs on the owner's thread. The destructor waits for this thread before the job
        // goes, and a job going away takes its undelivered events with it.
        QMetaObject::invokeMethod(
            this,
            [this, serial = running->serial, preview, counted] {
                deliver(serial, preview, counted);
            },
            Qt::QueuedConnection);
    });
    m_builds.push_back(std::move(build));
}

void TablePreviewJob::cancel()
{
    // The serial moves on, so that a result already on its way is recognised as stale.
    ++m_serial;
    m_pending = false;
    for (const auto &build : m_builds) {
        build->dropped.store(true);
        build->progress.cancelRequested.store(true);
    }
}

int TablePreviewJob::percent() const
{
    return m_pending && !m_builds.empty() ? m_builds.back()->progress.percent.load() : 0;
}

void TablePreviewJob::stopCounting()
{
    if (!m_pending || m_builds.empty())
        return;
    m_builds.back()->countStopped.store(true);
    m_builds.back()->progress.cancelRequested.store(true);
}

void TablePreviewJob::waitForThreads()
{
    for (const auto &build : m_builds) {
        if (build->thread.joinable())
            build->thread.join();
    }
    m_builds.clear();
}

void TablePreviewJob::reap()
{
    m_builds.remove_if([](const std::unique_ptr<Build> &build) {
        if (!build->progress.done.load())
            return false;
        build->thread.join();
        return true;
    });
}

void TablePreviewJob::deliver(quint64 serial, const std::optional<TablePreview> &preview,
                              const std::optional<FileStamp> &counted)
{
    reap();
    if (serial != m_serial)
        return;
    if (preview && counted)
        m_known = KnownCount{*counted, preview->recordCount};
    // A build that failed has been logged; the viewer keeps what it shows.
    m_pending = false;
    if (preview)
        Q_EMIT finished(*preview);
}

} // namespace plotwell::convert
