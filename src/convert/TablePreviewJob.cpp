#include "convert/TablePreviewJob.h"

#include "app/CommandCenter.h"
#include "app/Log.h"

#include <thread>

namespace plotwell::convert {

struct TablePreviewJob::Build
{
    quint64 serial = 0;
    ConversionProgress progress;
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
    auto build = std::make_unique<Build>();
    build->serial = ++m_serial;
    m_pending = true;
    Build *const running = build.get();
    running->thread = std::thread([this, running, inputPath, settings] {
        std::optional<TablePreview> preview;
        bool cancelled = false;
        runGuarded(QStringLiteral("Error Occured at SHOW HTML."), [&] {
            diag(formatTexts(Format::Html).startLog);
            TablePreviewBuilder builder(settings);
            ConversionResult result;
            readRecords(inputPath, builder, result, &running->progress);
            cancelled = result.cancelled;
            preview = builder.result();
        });
        running->progress.done.store(true);
        // A cancelled build's page would be dropped anyway; a failed one still ends the wait.
        if (cancelled)
            return;
        // Runs on the owner's thread. The destructor waits for this thread before the job
        // goes, and a job going away takes its undelivered events with it.
        QMetaObject::invokeMethod(
            this, [this, serial = running->serial, preview] { deliver(serial, preview); },
            Qt::QueuedConnection);
    });
    m_builds.push_back(std::move(build));
}

void TablePreviewJob::cancel()
{
    // The serial moves on, so that a result already on its way is recognised as stale.
    ++m_serial;
    m_pending = false;
    for (const auto &build : m_builds)
        build->progress.cancelRequested.store(true);
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

void TablePreviewJob::deliver(quint64 serial, const std::optional<TablePreview> &preview)
{
    reap();
    if (serial != m_serial)
        return;
    // A build that failed has been logged; the viewer keeps what it shows.
    m_pending = false;
    if (preview)
        Q_EMIT finished(*preview);
}

} // namespace plotwell::convert
