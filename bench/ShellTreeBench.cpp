// The folder tree on a real folder of 10,000 subfolders (warm cache, offscreen): opening it until
// the rows stand sorted and laid out, the leaf watches that follow, refreshing it after one
// change, 10,000 nodes added one by one, and merging 10,000 buffered events.
// Run: QT_QPA_PLATFORM=offscreen build/bench/tarvo_shell_bench

#include "ExplorerTreeView.h"
#include "FileNotifier.h"
#include "ShellTypes.h"

#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvo
{
namespace
{

    constexpr int kFolders = 10'000;

    // /tmp/tarvo-bench-XXXXXX with big/ (10,000 subfolders, each with a file) and empty/.
    class BenchFolder
    {
    public:
        BenchFolder()
        {
            char pattern[] = "/tmp/tarvo-bench-XXXXXX";
            m_path = ::mkdtemp(pattern);
            ::mkdir((m_path + "/big").c_str(), 0755);
            ::mkdir((m_path + "/empty").c_str(), 0755);
            for (int i = 0; i < kFolders; ++i)
                ::mkdir(Big(i).c_str(), 0755);
        }
        ~BenchFolder() { (void)std::system(("rm -rf -- '" + m_path + "'").c_str()); }
        BenchFolder(const BenchFolder&) = delete;
        BenchFolder& operator=(const BenchFolder&) = delete;

        [[nodiscard]] const std::string& Path() const { return m_path; }
        [[nodiscard]] std::string Big(int i) const { return m_path + "/big/folder " + std::to_string(i); }

    private:
        std::string m_path;
    };

    BenchFolder& Folder()
    {
        static BenchFolder folder;
        return folder;
    }

    FileSystem& Files()
    {
        static const std::unique_ptr<FileSystem> files = MakeHostFileSystem();
        return *files;
    }

    std::unique_ptr<TExplorerTreeView> MakeTree()
    {
        auto tree = std::make_unique<TExplorerTreeView>(std::make_shared<TShellNamespace>(Files(), Folder().Path()));
        tree->resize(300, 800);
        tree->show();
        tree->SetCustomRootDirectory(Folder().Path());
        return tree;
    }

    TShellTreeNode& Child(TExplorerTreeView& tree, const char* name)
    {
        for (int i = 0; i < tree.Root()->Count(); ++i) {
            if (tree.Root()->Item(i)->text == QString::fromLatin1(name))
                return *tree.Root()->Item(i);
        }
        std::abort();
    }

    void DrainWatches(TExplorerTreeView& tree)
    {
        while (tree.Notifier().Source().WatchCount() < static_cast<std::size_t>(kFolders) + 1)
            QCoreApplication::processEvents();
    }

    void ExpandTenThousand(benchmark::State& state)
    {
        double watchMilliseconds = 0;
        for (auto _ : state) {
            state.PauseTiming();
            auto tree = MakeTree();
            TShellTreeNode& big = Child(*tree, "big");
            state.ResumeTiming();
            tree->ExpandNode(big);
            // Laid out and painted: what the user waits for.
            benchmark::DoNotOptimize(tree->viewport()->grab());
            state.PauseTiming();
            if (big.Count() != kFolders)
                state.SkipWithError("not every folder listed");
            QElapsedTimer watches;
            watches.start();
            DrainWatches(*tree);
            watchMilliseconds += static_cast<double>(watches.nsecsElapsed()) / 1e6;
            tree.reset();
            state.ResumeTiming();
        }
        state.counters["leaf watches ms"] = watchMilliseconds / static_cast<double>(state.iterations());
    }
    BENCHMARK(ExpandTenThousand)->Unit(benchmark::kMillisecond)->Iterations(5);

    void RefreshAfterOneChange(benchmark::State& state)
    {
        auto tree = MakeTree();
        TShellTreeNode& big = Child(*tree, "big");
        tree->ExpandNode(big);
        const std::string extra = Folder().Path() + "/big/added";
        for (auto _ : state) {
            state.PauseTiming();
            const bool add = big.Count() == kFolders;
            if (add)
                ::mkdir(extra.c_str(), 0755);
            else
                ::rmdir(extra.c_str());
            state.ResumeTiming();
            tree->RefreshNode(big);
        }
        ::rmdir(extra.c_str());
    }
    BENCHMARK(RefreshAfterOneChange)->Unit(benchmark::kMillisecond)->Iterations(20);

    void AddNewNodeTenThousand(benchmark::State& state)
    {
        for (auto _ : state) {
            state.PauseTiming();
            auto tree = MakeTree();
            tree->SetAutoRefresh(false); // the nodes come from the calls below only
            TShellTreeNode& empty = Child(*tree, "empty");
            tree->ExpandNode(empty);
            const TItemIdList bigList = Child(*tree, "big").absoluteList;
            std::vector<TItemIdList> lists;
            // A scattered order: every insertion lands somewhere in the middle.
            for (int i = 0; i < kFolders; ++i) {
                const int n = (i * 7919) % kFolders;
                lists.push_back(
                    bigList.Combined(TItemIdList::Record(ItemKind::ikFolder, "folder " + std::to_string(n))));
            }
            TShellTreeNode& big = Child(*tree, "big");
            (void)tree->NodeFolder(big); // bound, as for a loaded folder
            big.childrenLoaded = true;
            state.ResumeTiming();
            for (const TItemIdList& list : lists)
                tree->AddNewNode(big, list);
            state.PauseTiming();
            if (big.Count() != kFolders)
                state.SkipWithError("not every node added");
            tree.reset();
            state.ResumeTiming();
        }
    }
    BENCHMARK(AddNewNodeTenThousand)->Unit(benchmark::kMillisecond)->Iterations(3);

    void ConcatenateTenThousand(benchmark::State& state)
    {
        TShellNamespace shell(Files(), Folder().Path());
        const int folders = static_cast<int>(state.range(0));
        const TItemIdList root = shell.VolumeList("/");
        for (auto _ : state) {
            state.PauseTiming();
            TFileNotifier notifier(shell);
            notifier.SetConcatenateEvents(true);
            for (int i = 0; i < kFolders; ++i) {
                const TItemIdList folder
                    = root.Combined(TItemIdList::Record(ItemKind::ikFolder, "f" + std::to_string(i % folders)));
                notifier.Receive(SHCNE_MKDIR, { folder.Combined(TItemIdList::Record(ItemKind::ikFolder, "new")), {} });
            }
            state.ResumeTiming();
            notifier.DoConcatenateEvents();
            state.PauseTiming();
            if (notifier.Events().size() != static_cast<std::size_t>(folders))
                state.SkipWithError("merged wrongly");
            QCoreApplication::processEvents(); // the dispatch messages, with nothing left to do
            state.ResumeTiming();
        }
        state.SetLabel(std::to_string(folders) + " folders");
    }
    BENCHMARK(ConcatenateTenThousand)->Arg(kFolders)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
} // namespace tarvo
