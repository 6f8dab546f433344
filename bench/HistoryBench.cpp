// The history file: what one analysis of 5,000 entries costs to record (a single transaction,
// on the recorder's thread in the program) and what the window waits for when it compares.

#include "HistoryDatabase.h"
#include "HistoryRecorder.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace
{

using namespace tarvo;

constexpr int kEntries = 5000;

// A folder under /tmp, removed with everything in it afterwards.
class TempFolder
{
public:
    TempFolder()
    {
        char pattern[] = "/tmp/tarvo-history-bench-XXXXXX";
        m_path = mkdtemp(pattern);
    }
    ~TempFolder() { std::filesystem::remove_all(m_path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    [[nodiscard]] std::string File() const { return m_path + "/history.sqlite"; }

private:
    std::string m_path;
};

// Names like a source tree's: 8 to 40 bytes.
HistoryRecord Analysis(std::int64_t timeMs)
{
    HistoryRecord record { "/home/someone/projects", timeMs, {} };
    record.entries.reserve(kEntries + 1);
    for (int i = 0; i < kEntries; ++i) {
        std::string name = "folder-" + std::to_string(i * 7919 % 100000);
        name.resize(8 + static_cast<std::size_t>(i % 33), 'x');
        record.entries.push_back({ HistoryEntryKind::hekFolder, name, std::int64_t { 4096 } * (i + 1) + timeMs });
    }
    record.entries.push_back({ HistoryEntryKind::hekFiles, "<All files in this folder>", timeMs });
    return record;
}

// Each round records one more analysis of the same folder; from the 31st on every round also
// drops the folder's oldest, as the program does once a folder is at its bound.
void RecordFiveThousandEntries(benchmark::State& state)
{
    TempFolder folder;
    HistoryDatabase database(folder.File());
    std::int64_t time = 1;
    for (int i = 0; i < 40; ++i) // the steady state: at the bound, each record drops one
        database.Record(Analysis(time++));
    for (auto _ : state) {
        state.PauseTiming();
        const HistoryRecord record = Analysis(time++);
        state.ResumeTiming();
        if (database.Record(record) != HistoryStatus::hsDone)
            state.SkipWithError(database.LastError().c_str());
    }
}
BENCHMARK(RecordFiveThousandEntries)->Unit(benchmark::kMillisecond);

// What the window waits for after an analysis: the folder's earlier analyses and the entries
// of the one compared with, through the recorder's thread (the record itself is only queued).
void CompareWithAnEarlierAnalysis(benchmark::State& state)
{
    TempFolder folder;
    HistoryRecorder recorder(folder.File());
    for (std::int64_t time = 1; time <= 30; ++time)
        recorder.Record(Analysis(time));
    recorder.WaitIdle();
    for (auto _ : state) {
        const std::vector<HistorySummary> analyses = recorder.Analyses("/home/someone/projects", 30);
        const auto entries = recorder.Entries(analyses.back().id);
        benchmark::DoNotOptimize(entries);
    }
}
BENCHMARK(CompareWithAnEarlierAnalysis)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
