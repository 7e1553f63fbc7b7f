// Times the table preview of a generated CSV file (200 MB unless a size in MB is given): built
// on the spot, as the window once did on its own thread, then built by the background job
// while a 10 ms timer on the main thread measures the longest the event loop was held up, and
// once more for a settings change, where the unchanged file's count is taken over.
#include "convert/TablePreviewJob.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

using namespace plotwell::convert;

namespace {

QString generate(const QString &path, qint64 megabytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write("Name,Department,City,Started,Note\n");
    QByteArray chunk;
    for (qint64 i = 1; file.size() < megabytes * 1024 * 1024; ++i) {
        chunk += "\"Person " + QByteArray::number(i) + "\",Dept " + QByteArray::number(i % 17) +
                 ",\"City, " + QByteArray::number(i % 29) + "\",2024-" +
                 QByteArray::number(i % 12 + 1) + "-01,\"said \"\"hi\"\"\"\n";
        if (chunk.size() > (1 << 20)) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk);
    return path;
}

struct Run
{
    qint64 totalMs = 0;
    qint64 longestStallMs = 0;
    qsizetype records = 0;
};

/// Starts the job and runs the event loop until the page arrives.
Run throughJob(TablePreviewJob &job, const QString &path, const ConversionSettings &settings)
{
    Run run;
    QEventLoop loop;
    QElapsedTimer total;
    QElapsedTimer sinceTick;
    QTimer tick;
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        run.longestStallMs = std::max(run.longestStallMs, sinceTick.restart());
    });
    const auto done =
        QObject::connect(&job, &TablePreviewJob::finished, [&](const TablePreview &preview) {
            run.records = preview.recordCount;
            loop.quit();
        });
    total.start();
    sinceTick.start();
    tick.start();
    job.start(path, settings);
    // The start itself runs on the main thread too.
    run.longestStallMs = sinceTick.elapsed();
    loop.exec();
    run.totalMs = total.elapsed();
    QObject::disconnect(done);
    return run;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 200;
    QTemporaryDir dir;
    const QString path = generate(dir.filePath(QStringLiteral("large.csv")), megabytes);
    ConversionSettings settings;
    settings.htmlWidth = 865;

    QElapsedTimer onTheSpot;
    onTheSpot.start();
    const TablePreview direct = buildTablePreview(path, settings);
    const qint64 directMs = onTheSpot.elapsed();

    TablePreviewJob job;
    const Run opened = throughJob(job, path, settings);
    settings.appearance.fontFamily = QStringLiteral("Verdana");
    const Run restyled = throughJob(job, path, settings);

    std::printf("table preview of %lld MB, %lld records\n", static_cast<long long>(megabytes),
                static_cast<long long>(direct.recordCount));
    std::printf("  built on the main thread:   %6lld ms, all of it a stalled window\n",
                static_cast<long long>(directMs));
    std::printf("  opened, background job:     %6lld ms, longest stall %lld ms\n",
                static_cast<long long>(opened.totalMs),
                static_cast<long long>(opened.longestStallMs));
    std::printf("  restyled, count taken over: %6lld ms, longest stall %lld ms\n",
                static_cast<long long>(restyled.totalMs),
                static_cast<long long>(restyled.longestStallMs));
    if (opened.records != direct.recordCount || restyled.records != direct.recordCount) {
        std::fprintf(stderr, "record counts differ: %lld, %lld, %lld\n",
                     static_cast<long long>(direct.recordCount),
                     static_cast<long long>(opened.records),
                     static_cast<long long>(restyled.records));
        return 1;
    }
    return 0;
}
