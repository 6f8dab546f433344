// The scanner on real trees of this machine, checked against an independent count by find.

#include "DirSize.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <map>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarvo
{
namespace
{

    using test::FindApparentBytes;
    using test::TempTree;

    constexpr std::int64_t kGiB = 1024LL * 1024 * 1024;

    // Entry path -> exact bytes of one finished scan.
    std::map<std::string, TByteCount> Totals(const TDirSize& scan)
    {
        std::map<std::string, TByteCount> totals;
        for (std::size_t i = 0; i < scan.PathList.size(); ++i)
            totals[scan.PathList[i]] = scan.ByteList[i];
        return totals;
    }

    class DirSizeRealTree : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            m_fileSystem = MakeHostFileSystem();
            m_scan = std::make_unique<TDirSize>(*m_fileSystem, FormatSettings::Invariant());
        }

        std::unique_ptr<FileSystem> m_fileSystem;
        std::unique_ptr<TDirSize> m_scan;
        TempTree m_tree;
    };

    TEST_F(DirSizeRealTree, TotalsEqualAnIndependentCountOnAnOddTree)
    {
        const TempTree& t = m_tree;
        t.Folder(".git");
        t.File(".git/packed", 70000);
        t.Folder(".cache");
        t.Folder(".cache/x");
        t.File(".cache/x/blob", 1234567);
        t.Folder("with space");
        t.File("with space/a file", 10);
        t.Folder("new\nline");
        t.File("new\nline/f", 11);
        t.Folder("bad\xff\xfe");
        t.File("bad\xff\xfe/\x80", 12);
        t.Folder("loops");
        t.Link("loops/up", "..");
        t.Link("loops/self", "self");
        t.Link("loops/root", "/");
        t.Folder("sparse");
        t.File("sparse/huge", 5 * kGiB);
        t.Folder("special");
        t.Fifo("special/pipe");
        t.Folder("hard");
        t.File("hard/one", 4096);
        t.HardLink("hard/one", "hard/two");
        t.Folder("deep");
        t.DeepChain("deep", 10000, 777);
        t.File("own", 128);
        t.File(".hidden-own", 1000);
        t.Link("to-loops", "loops");

        m_scan->Folder = t.Path();
        ASSERT_TRUE(m_scan->Calculate());

        const auto totals = Totals(*m_scan);
        const std::string prefix = t.Path() + "/";
        const std::vector<std::string> folders = { ".git", ".cache", "with space", "new\nline", "bad\xff\xfe", "loops",
            "sparse", "special", "hard", "deep" };
        ASSERT_EQ(m_scan->PathList.size(), folders.size() + 1) << "links to folders are never listed";
        for (const std::string& name : folders) {
            ASSERT_TRUE(totals.count(prefix + name)) << name;
            EXPECT_EQ(totals.at(prefix + name), FindApparentBytes(prefix + name)) << name;
        }
        EXPECT_EQ(totals.at(prefix + "sparse"), 5 * kGiB);
        EXPECT_EQ(totals.at(prefix + "hard"), 4096) << "a file with two names in one folder counts once";
        EXPECT_EQ(totals.at(prefix + "deep"), 777);
        EXPECT_EQ(totals.at(prefix + "special"), 0);
        EXPECT_EQ(m_scan->PathList.back(), prefix + TDirSize::kAllFilesEntry);
        EXPECT_EQ(m_scan->ByteList.back(), 128 + 1000 + static_cast<std::int64_t>(std::string("loops").size()));

        // Both units come from one exact count.
        for (std::size_t i = 0; i < m_scan->PathList.size(); ++i) {
            if (m_scan->PathList[i] == prefix + "sparse") {
                EXPECT_EQ(m_scan->MBList[i], "5120");
                EXPECT_EQ(m_scan->KBList[i], "5242880");
            }
        }
    }

    // Four names of one 3001-byte file: each counts 750, wherever the scan starts.
    TEST_F(DirSizeRealTree, HardLinksCountTheirShareAtEachName)
    {
        m_tree.Folder("out");
        m_tree.Folder("in");
        m_tree.File("out/file", 3001);
        m_tree.Folder("in/a");
        m_tree.Folder("in/b");
        m_tree.HardLink("out/file", "in/a/x");
        m_tree.HardLink("out/file", "in/a/y");
        m_tree.HardLink("out/file", "in/b/z");
        m_scan->Folder = m_tree.Path() + "/in";
        ASSERT_TRUE(m_scan->Calculate());
        const std::string in = m_tree.Path() + "/in/";
        EXPECT_EQ(Totals(*m_scan),
            (std::map<std::string, TByteCount> {
                { in + "a", 1500 }, { in + "b", 750 }, { in + TDirSize::kAllFilesEntry, 0 } }));

        m_scan->Folder = m_tree.Path();
        ASSERT_TRUE(m_scan->Calculate());
        EXPECT_EQ(Totals(*m_scan).at(m_tree.Path() + "/in"), 2250);
        EXPECT_EQ(Totals(*m_scan).at(m_tree.Path() + "/out"), 750);
    }

    TEST_F(DirSizeRealTree, ScanningTheSameTreeTwiceGivesTheSameResult)
    {
        for (int i = 0; i < 40; ++i) {
            const std::string folder = "f" + std::to_string(i);
            m_tree.Folder(folder);
            for (int j = 0; j < 30; ++j) {
                m_tree.Folder(folder + "/s" + std::to_string(j));
                m_tree.File(folder + "/s" + std::to_string(j) + "/x", i * 1000 + j);
            }
        }
        m_scan->Folder = m_tree.Path() + "/";
        ASSERT_TRUE(m_scan->Calculate());
        const auto first = m_scan->PathList;
        const auto firstBytes = m_scan->ByteList;
        for (int run = 0; run < 5; ++run) {
            ASSERT_TRUE(m_scan->Calculate());
            EXPECT_EQ(m_scan->PathList, first);
            EXPECT_EQ(m_scan->ByteList, firstBytes);
        }
        EXPECT_EQ(first.front().find(m_tree.Path() + "/f"), 0U) << "no doubled separator";
    }

    TEST_F(DirSizeRealTree, AMissingFolderGivesOnlyItsPseudoEntry)
    {
        m_scan->Folder = m_tree.Path() + "/absent";
        ASSERT_TRUE(m_scan->Calculate());
        ASSERT_EQ(m_scan->PathList.size(), 1U);
        EXPECT_EQ(m_scan->MBList[0], "0");
        EXPECT_EQ(m_scan->KBList[0], "0");
    }

    TEST_F(DirSizeRealTree, TheRootOfTheSystemVolumeGetsAFreeSpaceEntry)
    {
        // Only list the root: scanning all of "/" belongs in the benchmark.
        m_scan->IncludeFreeSpace = true;
        m_scan->PathList.clear();
        m_scan->ListDirs("/");
        ASSERT_GE(m_scan->PathList.size(), 2U);
        EXPECT_EQ(m_scan->PathList.back(), std::string("/") + TDirSize::kFreeSpaceEntry);
        EXPECT_EQ(m_scan->PathList[m_scan->PathList.size() - 2], std::string("/") + TDirSize::kAllFilesEntry);

        m_scan->PathList.clear();
        m_scan->ListDirs(m_tree.Path());
        EXPECT_EQ(m_scan->PathList.back(), m_tree.Path() + "/" + TDirSize::kAllFilesEntry);
    }

    // A bind mount that shows its own ancestor must not make the walk endless. Mounting needs a
    // private mount namespace, made in a child process so nothing outlives the test.
    TEST_F(DirSizeRealTree, ABindMountOfAnAncestorCountsZeroAndTheWalkEnds)
    {
        m_tree.Folder("top");
        m_tree.File("top/data", 5000);
        m_tree.Folder("top/inner");
        m_tree.Folder("top/inner/mirror");
        const std::string top = m_tree.Path() + "/top";

        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(fds[0]);
            if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
                || mount(top.c_str(), (top + "/inner/mirror").c_str(), nullptr, MS_BIND, nullptr) != 0)
                _exit(77);
            auto fileSystem = MakeHostFileSystem();
            TDirSize scan(*fileSystem, FormatSettings::Invariant());
            scan.Folder = top;
            if (!scan.Calculate())
                _exit(3);
            std::string report;
            for (std::size_t i = 0; i < scan.PathList.size(); ++i)
                report += scan.PathList[i] + "=" + scan.ByteList[i].ToString() + "\n";
            if (write(fds[1], report.data(), report.size()) != static_cast<ssize_t>(report.size()))
                _exit(4);
            _exit(0);
        }
        close(fds[1]);
        std::string report;
        char buffer[4096];
        for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
            report.append(buffer, static_cast<std::size_t>(n));
        close(fds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        if (WEXITSTATUS(status) == 77)
            GTEST_SKIP() << "bind mounts are not permitted here";
        ASSERT_EQ(WEXITSTATUS(status), 0);
        EXPECT_EQ(report, top + "/inner=0\n" + top + "/" + TDirSize::kAllFilesEntry + "=5000\n");
    }

} // namespace
} // namespace tarvo
