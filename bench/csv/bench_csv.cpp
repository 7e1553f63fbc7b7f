// Parser throughput on generated files: bytes per second with a delegate that only counts, with
// the aggregator that keeps every field, and with cleaned (sanitized) fields.
#include "CsvBenchFiles.h"
#include "csv/CsvAggregator.h"
#include "csv/CsvParser.h"

#include <QFileInfo>

#include <benchmark/benchmark.h>

using namespace plotwell::csv;
using namespace plotwell::csv::bench;

namespace {

constexpr qsizetype kFileSize = 64 * 1024 * 1024;

class CountingDelegate : public CsvParserDelegate
{
public:
    qsizetype fields = 0;
    qsizetype characters = 0;
    void parserDidReadField(CsvParser &, QStringView field, qsizetype) override
    {
        ++fields;
        characters += field.size();
    }
};

void parseFile(benchmark::State &state, Shape shape, bool aggregate, bool sanitize)
{
    const QString path = generatedFile(shape, kFileSize);
    const qint64 size = QFileInfo(path).size();
    for (auto _ : state) {
        CsvParser parser = CsvParser::fromFile(path);
        parser.setSanitizesFields(sanitize);
        if (aggregate) {
            CsvAggregator aggregator;
            parser.setDelegate(&aggregator);
            parser.parse();
            benchmark::DoNotOptimize(aggregator.lines().size());
        } else {
            CountingDelegate counter;
            parser.setDelegate(&counter);
            parser.parse();
            benchmark::DoNotOptimize(counter.characters);
        }
    }
    state.SetBytesProcessed(state.iterations() * size);
}

} // namespace

BENCHMARK_CAPTURE(parseFile, narrow_counting, Shape::Narrow, false, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, narrow_counting_sanitized, Shape::Narrow, false, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, narrow_aggregator, Shape::Narrow, true, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, quoted_counting, Shape::QuoteHeavy, false, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, quoted_counting_sanitized, Shape::QuoteHeavy, false, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, quoted_aggregator, Shape::QuoteHeavy, true, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, wide_counting, Shape::Wide, false, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, wide_aggregator, Shape::Wide, true, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, utf16_counting, Shape::NarrowUtf16, false, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(parseFile, utf16_aggregator, Shape::NarrowUtf16, true, false)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
