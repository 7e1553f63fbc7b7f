// The writers alone, fed with records held in memory and writing to a device that discards
// everything: what a conversion costs beyond reading the CSV file.
#include "convert/HtmlTable.h"
#include "convert/JsonWriter.h"
#include "convert/SqlWriter.h"
#include "convert/XmlWriter.h"

#include <QIODevice>

#include <benchmark/benchmark.h>
#include <vector>

using namespace plotwell::convert;

namespace {

class NullDevice : public QIODevice
{
public:
    NullDevice() { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 size) override { return size; }
};

struct Records
{
    QStringList names;
    std::vector<QStringList> rows;
    qint64 csvBytes = 0; // the size of the same records as CSV text, roughly
};

Records mixedRecords()
{
    Records r;
    r.names = {"id",       "name", "dept",   "city",    "amount",
               "quantity", "date", "active", "comment", "code"};
    const QStringList words = {"alpha",   "beta",   "Zürich", "São Paulo",  "東京",
                               "O'Brien", "coffee", "ledger", "say \"hi\"", "a, b"};
    for (int i = 0; i < 20000; ++i) {
        QStringList row = {QString::number(i),
                           words.at(i % 10) + QLatin1Char(' ') + words.at((i / 10) % 10),
                           QStringLiteral("Sales"),
                           words.at((i * 7) % 10) + QStringLiteral(", ") + words.at(i % 3),
                           QString::number(i * 3.25, 'f', 2),
                           QString::number(i % 5000),
                           QStringLiteral("2026-05-17"),
                           i % 2 ? QStringLiteral("true") : QStringLiteral("false"),
                           QStringLiteral("coffee south 東京 São Paulo gamma O'Brien ") +
                               words.at(i % 10),
                           QStringLiteral("BA04A117")};
        for (const QString &field : row)
            r.csvBytes += field.toUtf8().size() + 1;
        r.rows.push_back(std::move(row));
    }
    return r;
}

/// Short plain ASCII values, as in the generated files that the conversion is timed on.
Records narrowRecords()
{
    Records r;
    r.names = {"id", "name", "amount", "word", "code", "date", "digit"};
    quint32 state = 12345;
    const auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    const auto letters = [&](int count) {
        QString text;
        for (int k = 0; k < count; ++k)
            text += QChar(u'a' + char16_t((next() >> 16) % 26));
        return text;
    };
    for (int i = 0; i < 40000; ++i) {
        QStringList row = {QString::number((next() >> 8) % 100000),
                           letters(3 + int((next() >> 16) % 7)),
                           QString::number((next() >> 8) % 100000 / 100.0, 'f', 2),
                           letters(2 + int((next() >> 16) % 6)),
                           letters(1 + int((next() >> 16) % 3)),
                           QStringLiteral("2026-12-06"),
                           QString::number((next() >> 16) % 10)};
        for (const QString &field : row)
            r.csvBytes += field.size() + 1;
        r.rows.push_back(std::move(row));
    }
    return r;
}

const Records &records(bool narrow)
{
    static const Records mixed = mixedRecords();
    static const Records plain = narrowRecords();
    return narrow ? plain : mixed;
}

template <typename W> void BM_Writer(benchmark::State &state)
{
    const Records &r = records(state.range(0) != 0);
    std::vector<std::vector<QStringView>> views;
    for (const QStringList &row : r.rows)
        views.emplace_back(row.cbegin(), row.cend());
    for (auto _ : state) {
        NullDevice device;
        W writer(device, ConversionSettings{});
        writer.begin(r.names);
        for (std::size_t i = 0; i < views.size(); ++i)
            writer.record(views[i], qsizetype(i + 1));
        writer.finish(qsizetype(views.size()));
        benchmark::DoNotOptimize(writer.bytesWritten());
    }
    state.SetBytesProcessed(state.iterations() * r.csvBytes);
}

} // namespace

// Argument 0: mixed values with quotes and non-ASCII text; 1: short plain ASCII values.
BENCHMARK(BM_Writer<SqlWriter>)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Writer<JsonWriter>)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Writer<XmlWriter>)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Writer<HtmlTableWriter>)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
