// csv_count [--sanitize] [--records | --aggregate | --no-delegate] FILE
// csv_count --generate narrow|quoted|wide|utf16 BYTES FILE
// csv_count --machine
// Parses FILE with a delegate that counts records and fields, field by field (or record by
// record with --records, or with the aggregator), then
// prints the counts, the time (wall and CPU), the throughput, the peak memory, and the processor
// with the vector path the parser took on it; --machine prints only the last. Used by the
// compare scripts.
#include "CsvBenchFiles.h"
#include "csv/CsvAggregator.h"
#include "csv/CsvParser.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstring>
#include <sys/resource.h>

using namespace plotwell::csv;

int generate(int argc, char **argv)
{
    using plotwell::csv::bench::Shape;
    if (argc != 5)
        return 2;
    const QByteArray name = argv[2];
    const Shape shape = name == "quoted"  ? Shape::QuoteHeavy
                        : name == "wide"  ? Shape::Wide
                        : name == "utf16" ? Shape::NarrowUtf16
                                          : Shape::Narrow;
    QFile out(QString::fromLocal8Bit(argv[4]));
    if (!out.open(QIODevice::WriteOnly))
        return 1;
    const QByteArray text = plotwell::csv::bench::generate(shape, QByteArray(argv[3]).toLongLong());
    return out.write(text) == text.size() ? 0 : 1;
}

int main(int argc, char **argv)
{
    if (argc > 1 && !std::strcmp(argv[1], "--generate"))
        return generate(argc, argv);
    if (argc > 1 && !std::strcmp(argv[1], "--machine")) {
        std::printf("%s\n", qPrintable(bench::machineLine()));
        return 0;
    }
    bool sanitize = false, aggregate = false, noDelegate = false, wholeRecords = false;
    const char *path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--sanitize"))
            sanitize = true;
        else if (!std::strcmp(argv[i], "--aggregate"))
            aggregate = true;
        else if (!std::strcmp(argv[i], "--records"))
            wholeRecords = true;
        else if (!std::strcmp(argv[i], "--no-delegate"))
            noDelegate = true;
        else
            path = argv[i];
    }
    if (!path) {
        std::fprintf(
            stderr,
            "usage: csv_count [--sanitize] [--records | --aggregate | --no-delegate] FILE\n");
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    CsvParser parser = CsvParser::fromFile(QString::fromLocal8Bit(path));
    parser.setSanitizesFields(sanitize);
    qsizetype records = 0, fields = 0;
    if (noDelegate) {
        parser.parse(); // the parser's own cost: no event goes anywhere
    } else if (aggregate) {
        CsvAggregator aggregator;
        parser.setDelegate(&aggregator);
        parser.parse();
        records = aggregator.lines().size();
        for (const auto &line : aggregator.lines())
            fields += line.size();
    } else {
        bench::CountingDelegate counter(wholeRecords);
        parser.setDelegate(&counter);
        parser.parse();
        records = counter.records;
        fields = counter.fields;
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                              double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    const double megabytes = double(QFileInfo(QString::fromLocal8Bit(path)).size()) / 1e6;
    std::printf("records %lld fields %lld seconds %.3f MB/s %.0f cpu-seconds %.3f cpu-MB/s %.0f "
                "peak-rss-MB %.1f%s\n",
                (long long)records, (long long)fields, seconds, megabytes / seconds, cpuSeconds,
                megabytes / cpuSeconds, double(usage.ru_maxrss) / 1024.0,
                parser.error() ? " (failed)" : "");
    std::printf("%s\n", qPrintable(bench::machineLine()));
    return parser.error() ? 1 : 0;
}
