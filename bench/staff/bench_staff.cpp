// Staff lists of 10,000 and 100,000 people: from the file to the organisation, and from the
// organisation to the chart page's data string.
#include "StaffTestSupport.h"
#include "staff/StaffChart.h"

#include <QFileInfo>
#include <QTemporaryFile>

#include <benchmark/benchmark.h>
#include <map>
#include <memory>

using namespace plotwell::staff;

namespace {

/// The generated list on disk, written once per size.
QString staffFile(int people)
{
    static std::map<int, std::unique_ptr<QTemporaryFile>> files;
    auto &file = files[people];
    if (!file) {
        file = std::make_unique<QTemporaryFile>();
        if (!file->open() || file->write(test::generateStaff(people).csv) < 0)
            std::abort();
        file->flush();
    }
    return file->fileName();
}

void BM_ReadStaffList(benchmark::State &loop)
{
    const int people = int(loop.range(0));
    const QString path = staffFile(people);
    const qint64 bytes = QFileInfo(path).size();
    for (auto _ : loop) {
        const auto table = readStaffFile(path);
        const Organisation organisation = buildOrganisation(*table, guessColumns(table->header));
        if (organisation.people.size() != people || !organisation.problems.isEmpty())
            loop.SkipWithError("the organisation was not read whole");
        benchmark::DoNotOptimize(organisation.people.data());
    }
    loop.SetBytesProcessed(loop.iterations() * bytes);
    loop.SetItemsProcessed(loop.iterations() * people);
}
BENCHMARK(BM_ReadStaffList)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_StaffDataString(benchmark::State &loop)
{
    const int people = int(loop.range(0));
    const auto table = readStaffFile(staffFile(people));
    const Organisation organisation = buildOrganisation(*table, guessColumns(table->header));
    const QList<int> all = everyone(organisation);
    qsizetype size = 0;
    for (auto _ : loop) {
        const QString data = staffDataString(organisation, all);
        size = data.size();
        benchmark::DoNotOptimize(data.constData());
    }
    loop.counters["chars"] = double(size);
    loop.SetItemsProcessed(loop.iterations() * people);
}
BENCHMARK(BM_StaffDataString)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
