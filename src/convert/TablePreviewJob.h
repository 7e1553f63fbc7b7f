#pragma once

#include "convert/Conversion.h"

#include <QDateTime>
#include <QObject>

#include <list>
#include <memory>
#include <optional>

namespace plotwell::convert {

/// Builds table previews on threads of their own. Counting every record of a large file takes
/// seconds; the window stays responsive meanwhile and shows the page once it is whole.
///
/// Only the latest build counts: starting another or cancelling stops the one still reading,
/// and a result that arrives for a build superseded meanwhile is dropped.
///
/// Every settings change builds the preview of the same file again. While that file keeps the
/// size and modification time it had when it was last read through, its count is taken over
/// and only the records the table shows are read.
class TablePreviewJob : public QObject
{
    Q_OBJECT
public:
    explicit TablePreviewJob(QObject *parent = nullptr);
    /// Stops every build still reading and waits for its thread; nothing is delivered after.
    ~TablePreviewJob() override;

    /// Starts building the preview of the CSV file at \a inputPath, replacing any build under way.
    void start(const QString &inputPath, const ConversionSettings &settings);
    /// Drops the build under way, if any: its result is never delivered.
    void cancel();
    /// Stops the build under way from counting on: its preview comes at once, with the count
    /// so far marked as such.
    void stopCounting();

    /// The share of the latest build's file read so far, 0-100; 0 when none is under way.
    [[nodiscard]] int percent() const;

    /// Whether a build has been started whose result has not been delivered yet.
    [[nodiscard]] bool isPending() const { return m_pending; }
    /// Waits until the threads of every build have ended. Results they left are delivered,
    /// or dropped, by the event loop as usual.
    void waitForThreads();

Q_SIGNALS:
    /// The preview of the latest build, on the thread that owns the job.
    void finished(const plotwell::convert::TablePreview &preview);

private:
    struct Build;
    /// A file as it was when a build started: what decides whether its count still holds.
    struct FileStamp
    {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const FileStamp &) const = default;
    };
    struct KnownCount
    {
        FileStamp file;
        qsizetype records = 0;
    };
    void deliver(quint64 serial, const std::optional<TablePreview> &preview,
                 const std::optional<FileStamp> &counted);
    /// Joins the threads of the builds that have ended.
    void reap();

    std::list<std::unique_ptr<Build>> m_builds;
    quint64 m_serial = 0;
    bool m_pending = false;
    std::optional<KnownCount> m_known;
};

} // namespace plotwell::convert
