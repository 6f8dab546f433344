// The scanner with and without kept totals on a real tree, and what a kept folder costs.
//
//   TARVO_BENCH_TREE=/path/to/tree build/bench/tarvo_scan_bench --benchmark_repetitions=5
//
// The tree is any folder (bench/scan_compare.py --size 1m --keep makes one); the cache is
// warmed by the first iteration of the first case.

#include "DirSize.h"
#include "KeptTotals.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace tarvo
{
namespace
{

    std::string TreeOrSkip(benchmark::State& state)
    {
        const char* tree = std::getenv("TARVO_BENCH_TREE");
        if (tree == nullptr || *tree == '\0')
            state.SkipWithError("set TARVO_BENCH_TREE to a folder to scan");
        return tree ? tree : "";
    }

    // A whole analysis of the tree, keeping its totals (1) or not (0).
    void ScanTree(benchmark::State& state)
    {
        const std::string tree = TreeOrSkip(state);
        const auto fileSystem = MakeHostFileSystem();
        const bool keep = state.range(0) != 0;
        std::size_t folders = 0;
        std::size_t memory = 0;
        for (auto _ : state) {
            TKeptTotals kept(fileSystem->Style());
            TDirSize scan(*fileSystem, FormatSettings::Invariant());
            scan.SetKeptTotals(keep ? &kept : nullptr);
            scan.Folder = tree;
            benchmark::DoNotOptimize(scan.Calculate());
            folders = scan.Progress().folders + 1;
            memory = kept.MemoryBytes();
        }
        state.counters["folders"] = static_cast<double>(folders);
        if (keep)
            state.counters["kept_bytes_per_folder"] = static_cast<double>(memory) / static_cast<double>(folders);
    }
    BENCHMARK(ScanTree)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

    // The lists of a kept folder: the tree's root and its largest subfolder in turn, as a
    // drill-in and Up one dir would ask for them.
    void ListFromKept(benchmark::State& state)
    {
        const std::string tree = TreeOrSkip(state);
        const auto fileSystem = MakeHostFileSystem();
        TKeptTotals kept(fileSystem->Style());
        TDirSize scan(*fileSystem, FormatSettings::Invariant());
        scan.SetKeptTotals(&kept);
        scan.Folder = tree;
        if (!scan.Calculate() || scan.SubfolderCount == 0) {
            state.SkipWithError("nothing to drill into");
            return;
        }
        std::size_t largest = 0;
        for (std::size_t i = 1; i < scan.SubfolderCount; ++i)
            if (scan.ByteList[i] > scan.ByteList[largest])
                largest = i;
        const std::string folders[] = { scan.PathList[largest], tree };
        std::size_t turn = 0;
        for (auto _ : state) {
            scan.Folder = folders[turn++ % 2];
            benchmark::DoNotOptimize(scan.CalculateFromKept());
        }
        state.counters["kept_MiB"] = static_cast<double>(kept.MemoryBytes()) / (1 << 20);
    }
    BENCHMARK(ListFromKept)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tarvo

BENCHMARK_MAIN();
