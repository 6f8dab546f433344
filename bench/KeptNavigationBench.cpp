// Moving through an analysed tree of a million files: from a click on the biggest slice (nine
// tenths of the files below it) to the drawn pie, and back up, both shown from the kept totals
// while the check of each runs behind. The tree lives in memory, so the figure is the window's
// own cost, not the disk's.

#include "Chart.h"
#include "KeptTotals.h"
#include "MainForm.h"
#include "MemoryFileSystem.h"
#include "PageControl.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace tarvo
{
namespace
{

    constexpr int kFilesPerFolder = 15;
    constexpr int kFanOut = 4;

    // Folders of kFilesPerFolder files each, kFanOut subfolders each, breadth first, until the
    // subtree holds `folders` folders.
    void AddSubtree(MemoryFileSystem& fs, const std::string& root, int folders)
    {
        std::vector<std::string> queue { root };
        int made = 1;
        for (std::size_t next = 0; next < queue.size(); ++next) {
            const std::string folder = queue[next]; // a copy: the queue grows below
            for (int f = 0; f < kFilesPerFolder; ++f)
                fs.AddFile(folder + "/f" + std::to_string(f), 1000 + 4096 * f);
            for (int d = 0; d < kFanOut && made < folders; ++d, ++made)
                queue.push_back(folder + "/d" + std::to_string(d));
        }
    }

    struct Tree {
        MemoryFileSystem fs { PathStyle::Posix() };
        std::unique_ptr<TForm1> form;
        QString settings = QDir::tempPath() + QStringLiteral("/tarvo-kept-bench.ini");

        Tree()
        {
            fs.AddVolume("/", VolumeKind::vkFixed, "", "ext4", 1 << 30);
            constexpr int kFolders = 1'000'000 / kFilesPerFolder;
            AddSubtree(fs, "/m/big", kFolders * 9 / 10);
            for (int i = 0; i < 9; ++i)
                AddSubtree(fs, "/m/small" + std::to_string(i), kFolders / 90);
            MainFormEnvironment env;
            env.fileSystem = &fs;
            env.settingsFileName = settings.toStdString();
            env.formatSettings = FormatSettings::Invariant();
            form = std::make_unique<TForm1>(std::move(env));
            form->resize(1000, 700);
            form->PageControl1->SetActivePageIndex(2);
            form->ChangeDir("/m");
            form->actRun->trigger();
        }
        ~Tree()
        {
            form.reset();
            QFile::remove(settings);
        }
    };

    // Built once for both benchmarks; gone before the application, as its window must be.
    Tree& TheTree()
    {
        static std::unique_ptr<Tree> tree;
        if (!tree) {
            tree = std::make_unique<Tree>();
            qAddPostRoutine([] { tree.reset(); });
        }
        return *tree;
    }

    void ClickToDrawnPie(benchmark::State& state)
    {
        Tree& tree = TheTree();
        for (auto _ : state) {
            tree.form->OpenClickedDir("/m/big/", mbLeft);
            benchmark::DoNotOptimize(tree.form->Pies->grab());
            state.PauseTiming();
            tree.form->actUpOneDir->trigger();
            state.ResumeTiming();
        }
        state.counters["kept MiB"] = static_cast<double>(tree.form->KeptTotals().MemoryBytes()) / (1 << 20);
    }
    BENCHMARK(ClickToDrawnPie)->Unit(benchmark::kMillisecond)->Iterations(20);

    void UpOneDirToDrawnPie(benchmark::State& state)
    {
        Tree& tree = TheTree();
        for (auto _ : state) {
            state.PauseTiming();
            tree.form->OpenClickedDir("/m/big/", mbLeft);
            state.ResumeTiming();
            tree.form->actUpOneDir->trigger();
            benchmark::DoNotOptimize(tree.form->Pies->grab());
        }
    }
    BENCHMARK(UpOneDirToDrawnPie)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
} // namespace tarvo
