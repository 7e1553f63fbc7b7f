// Parser throughput on generated files: bytes per second with a delegate that only counts, with
// the aggregator that keeps every field, and with cleaned (sanitized) fields.
#include "CsvBenchFiles.h"
#include "csv/CsvAggregator.h"
#include "csv/CsvParser.h"

#include <QFileInfo>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <unistd.h>

using namespace plotwell::csv;
using namespace plotwell::csv::bench;

namespace {

constexpr qsizetype kFileSize = 64 * 1024 * 1024;

enum class Delegate { Counting, CountingRecords, Aggregator };

void parseFile(benchmark::State &state, Shape shape, Delegate kind, bool sanitize)
{
    const QString path = generatedFile(shape, kFileSize);
    const qint64 size = QFileInfo(path).size();
    for (auto _ : state) {
        CsvParser parser = CsvParser::fromFile(path);
        parser.setSanitizesFields(sanitize);
        if (kind == Delegate::Aggregator) {
            CsvAggregator aggregator;
            parser.setDelegate(&aggregator);
            parser.parse();
            benchmark::DoNotOptimize(aggregator.lines().size());
        } else {
            CountingDelegate counter(kind == Delegate::CountingRecords);
            parser.setDelegate(&counter);
            parser.parse();
            benchmark::DoNotOptimize(counter.characters);
        }
    }
    state.SetBytesProcessed(state.iterations() * size);
}

} // namespace

BENCHMARK_CAPTURE(parseFile, narrow_counting, Shape::Narrow, Delegate::Counting, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, narrow_counting_records, Shape::Narrow, Delegate::CountingRecords,
                  false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, narrow_counting_sanitized, Shape::Narrow, Delegate::Counting, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, narrow_aggregator, Shape::Narrow, Delegate::Aggregator, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, quoted_counting, Shape::QuoteHeavy, Delegate::Counting, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, quoted_counting_records, Shape::QuoteHeavy, Delegate::CountingRecords,
                  false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, quoted_counting_sanitized, Shape::QuoteHeavy, Delegate::Counting, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, quoted_aggregator, Shape::QuoteHeavy, Delegate::Aggregator, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, wide_counting, Shape::Wide, Delegate::Counting, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, wide_aggregator, Shape::Wide, Delegate::Aggregator, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, utf16_counting, Shape::NarrowUtf16, Delegate::Counting, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, utf16_counting_records, Shape::NarrowUtf16, Delegate::CountingRecords,
                  false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, utf16_aggregator, Shape::NarrowUtf16, Delegate::Aggregator, false)
    ->Unit(benchmark::kMillisecond);

namespace {

/// The console output, then the ratios the parser is held to: how much slower a quote-heavy file
/// is than a narrow one, and how fast UTF-16 is next to UTF-8 (both by bytes of the file). By CPU
/// time, which other work on the machine disturbs less, and by wall time. The goals are held by
/// the counting delegate that takes whole records, as the converters do; the one that counts
/// field by field is shown beside it.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            const auto rate = run.counters.find("bytes_per_second");
            if (run.error_occurred || rate == run.counters.end() || run.GetAdjustedRealTime() <= 0)
                continue;
            const double cpu = rate->second;
            m_rates[run.benchmark_name()] = {cpu, cpu * run.GetAdjustedCPUTime() /
                                                      run.GetAdjustedRealTime()};
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n%s\n", qPrintable(machineLine()));
        std::printf("\n%-44s %9s %9s\n", "ratio", "by CPU", "by wall");
        ratio("narrow / quote-heavy speed (at most 1.5)", "narrow_counting_records",
              "quoted_counting_records");
        ratio("  field by field", "narrow_counting", "quoted_counting");
        ratio("UTF-16 / UTF-8 speed (at least 0.5)", "utf16_counting_records",
              "narrow_counting_records");
        ratio("  field by field", "utf16_counting", "narrow_counting");
        ratio("narrow counting, GB/s (at least 1)", "narrow_counting_records", nullptr);
        ratio("  field by field", "narrow_counting", nullptr);
    }

private:
    struct Rate
    {
        double cpu = 0;
        double wall = 0;
    };

    void ratio(const char *what, const char *top, const char *bottom)
    {
        const auto a = find(top);
        const auto b = bottom ? find(bottom) : std::optional<Rate>(Rate{1e9, 1e9});
        if (!a || !b)
            return;
        std::printf("%-44s %9.2f %9.2f\n", what, a->cpu / b->cpu, a->wall / b->wall);
    }

    std::optional<Rate> find(const char *name) const
    {
        for (const auto &[key, rate] : m_rates) {
            if (key.find(name) != std::string::npos &&
                key.find(std::string(name) + '_') == std::string::npos)
                return rate;
        }
        return std::nullopt;
    }

    std::map<std::string, Rate> m_rates;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
