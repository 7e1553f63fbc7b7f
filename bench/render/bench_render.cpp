// A render of a full grid and its three filtered page requests: what every Render click costs.
#include "colour/SwatchBoard.h"
#include "render/DataString.h"
#include "render/PageRequest.h"

#include <benchmark/benchmark.h>

using namespace plotwell;

namespace {

void fillGrid(ChartGrid &grid, int titleLength)
{
    applyStartupSlotTexts(grid);
    for (int row = 1; row <= kRowCount; ++row) {
        grid.setTitle(row, QStringLiteral("Name %1 Émile Ørsted (R&D [x] 50%)")
                               .arg(row)
                               .leftJustified(titleLength, QLatin1Char('x')));
        grid.setPosition(row, QStringLiteral("NOT NULL"));
    }
}

void BM_RenderAndRequests(benchmark::State &loop)
{
    ChartGrid grid;
    AppState state;
    fillGrid(grid, int(loop.range(0)));
    for (auto _ : loop) {
        for (int row = 2; row <= kRowCount; ++row)
            grid.setParent(row, QStringLiteral("1_Name 1"));
        const RenderResult result = submitData(grid, state);
        const RequestSettings settings = gatherRequestSettings(grid, state, QStringLiteral("/r/"));
        benchmark::DoNotOptimize(requestUrl(viewerRequest(settings, result.dataString)));
        benchmark::DoNotOptimize(exportRequest(settings, result.dataString, 800, 600));
        benchmark::DoNotOptimize(fullScreenRequest(settings, result.dataString, 1920, 1080));
    }
}
BENCHMARK(BM_RenderAndRequests)->Arg(40)->Arg(400)->Unit(benchmark::kMicrosecond);

void BM_CharacterFilter(benchmark::State &loop)
{
    const QString text =
        QString(QStringLiteral("Ann+Émile_\"q\"_西_ēi_%_")).repeated(int(loop.range(0)));
    for (auto _ : loop)
        benchmark::DoNotOptimize(lang(text));
    loop.SetBytesProcessed(loop.iterations() * text.size() * 2);
}
BENCHMARK(BM_CharacterFilter)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
