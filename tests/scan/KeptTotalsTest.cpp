// Kept folder totals on the in-memory file system: answers from memory that equal a fresh
// analysis, and never read a folder to give them.

#include "KeptTotals.h"
#include "DirSize.h"
#include "MemoryFileSystem.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>

namespace tarvo
{
namespace
{

    // Counts the calls that read folders.
    class CountingFileSystem : public MemoryFileSystem
    {
    public:
        CountingFileSystem()
            : MemoryFileSystem(PathStyle::Posix())
        {
        }
        FolderHandlePtr OpenFolder(const std::string& path, int* error = nullptr) override
        {
            ++reads;
            return MemoryFileSystem::OpenFolder(path, error);
        }
        FolderHandlePtr OpenChild(FolderHandle& parent, const std::string& name, int* error = nullptr) override
        {
            ++reads;
            return MemoryFileSystem::OpenChild(parent, name, error);
        }
        bool ReadBatch(FolderHandle& folder, std::vector<DirEntry>& out, int* error = nullptr) override
        {
            ++reads;
            return MemoryFileSystem::ReadBatch(folder, out, error);
        }
        bool StatEntry(FolderHandle& folder, DirEntry& entry, int* error = nullptr) override
        {
            ++reads;
            return MemoryFileSystem::StatEntry(folder, entry, error);
        }
        std::atomic<int> reads { 0 };
    };

    // Everything a window shows of one analysis.
    struct Shown {
        std::vector<std::string> paths, mbs, kbs;
        std::vector<TByteCount> bytes;
        std::size_t subfolders = 0, unreadCount = 0;
        std::vector<UnreadFolder> unread;
        bool operator==(const Shown&) const = default;
    };

    std::ostream& operator<<(std::ostream& out, const Shown& shown)
    {
        for (std::size_t i = 0; i < shown.paths.size(); ++i)
            out << "\n  " << shown.paths[i] << " " << shown.bytes[i] << " " << shown.mbs[i] << " " << shown.kbs[i];
        out << "\n  unread " << shown.unreadCount << ":";
        for (const UnreadFolder& folder : shown.unread)
            out << " " << folder.path << "(" << folder.error << ")";
        return out;
    }

    Shown Of(const TDirSize& scan)
    {
        return { scan.PathList, scan.MBList, scan.KBList, scan.ByteList, scan.SubfolderCount, scan.UnreadCount,
            scan.UnreadFolders };
    }

    class KeptTotals : public ::testing::Test
    {
    protected:
        KeptTotals()
        {
            m_fs.AddVolume("/", VolumeKind::vkFixed, "", "ext4", 12345);
            m_fs.AddFile("/t/own", 7);
            m_fs.AddFile("/t/a/f", 1000);
            m_fs.AddFile("/t/a/x/y/deep", 4096);
            m_fs.AddFile("/t/a/x/g", 5000000);
            m_fs.AddFolder("/t/a/x/empty");
            m_fs.AddFile("/t/b/locked/secret", 99);
            m_fs.SetUnreadable("/t/b/locked", true);
            m_fs.AddFile("/t/b/bad", 5);
            m_fs.SetStatError("/t/b/bad", EIO);
            m_fs.AddFile("/t/.c/h", 3);
            m_scan.SetKeptTotals(&m_kept);
        }

        // A fresh analysis that keeps nothing: what the kept answer must equal.
        Shown Fresh(const std::string& folder, bool freeSpace = false)
        {
            TDirSize scan(m_fs, FormatSettings::Invariant());
            scan.Folder = folder;
            scan.IncludeFreeSpace = freeSpace;
            EXPECT_TRUE(scan.Calculate());
            return Of(scan);
        }
        void Analyse(const std::string& folder)
        {
            m_scan.Folder = folder;
            ASSERT_TRUE(m_scan.Calculate());
        }
        // The kept answer, and how many reads it took.
        std::pair<bool, int> FromKept(const std::string& folder, bool freeSpace = false, bool* stale = nullptr)
        {
            m_scan.Folder = folder;
            m_scan.IncludeFreeSpace = freeSpace;
            m_fs.reads = 0;
            const bool kept = m_scan.CalculateFromKept(stale);
            return { kept, m_fs.reads.load() };
        }

        CountingFileSystem m_fs;
        TKeptTotals m_kept { PathStyle::Posix() };
        TDirSize m_scan { m_fs, FormatSettings::Invariant() };
    };

    TEST_F(KeptTotals, DrillInAndBackAnswerFromMemoryAsAFreshAnalysisWould)
    {
        Analyse("/t");
        for (const char* folder :
            { "/t/a", "/t/a/x", "/t/a/x/y", "/t/a/x/empty", "/t/b", "/t/b/locked", "/t/.c", "/t", "/t/a/" }) {
            const auto [kept, reads] = FromKept(folder);
            ASSERT_TRUE(kept) << folder;
            EXPECT_EQ(reads, 0) << folder << ": nothing is read";
            EXPECT_EQ(Of(m_scan), Fresh(folder)) << folder;
        }
        const Shown last = Of(m_scan);
        for (const char* folder : { "/", "/t/a/x/g", "/t/nothing", "/elsewhere" }) {
            EXPECT_FALSE(FromKept(folder).first) << folder;
            EXPECT_FALSE(m_kept.Contains(folder)) << folder;
        }
        EXPECT_EQ(Of(m_scan), last) << "a folder that is not kept leaves the lists alone";
    }

    TEST_F(KeptTotals, AChangeMarkedStaleThenARescanEqualsAFreshAnalysis)
    {
        Analyse("/t");
        const Shown before = Fresh("/t");
        m_fs.AddFile("/t/a/x/y/new", 123456);
        m_fs.RemoveEntry("/t/a/f");
        m_fs.AddFile("/t/a/x/z/more", 10);
        m_kept.MarkStale("/t/a/x/z"); // not kept: its nearest kept folder is marked
        bool stale = false;
        ASSERT_TRUE(FromKept("/t", false, &stale).first);
        EXPECT_TRUE(stale) << "a change below marks the folders above";
        EXPECT_EQ(Of(m_scan), before) << "until checked, the kept totals stand";
        ASSERT_TRUE(FromKept("/t/b", false, &stale).first);
        EXPECT_FALSE(stale) << "a folder beside the change is not marked";

        Analyse("/t/a/x"); // the check of the folder that changed
        for (const char* folder : { "/t/a/x", "/t/a/x/z" }) {
            ASSERT_TRUE(FromKept(folder, false, &stale).first) << folder;
            EXPECT_FALSE(stale) << folder;
            EXPECT_EQ(Of(m_scan), Fresh(folder)) << folder;
        }
        Analyse("/t/a");
        for (const char* folder : { "/t", "/t/a", "/t/a/x/y" }) {
            ASSERT_TRUE(FromKept(folder).first) << folder;
            EXPECT_EQ(Of(m_scan), Fresh(folder)) << folder << ": the totals above were mended";
        }
        EXPECT_EQ(m_kept.TreeCount(), 1U) << "the checks went into the analysis they refreshed";

        m_fs.RemoveEntry("/t/a/x");
        Analyse("/t/a");
        EXPECT_FALSE(m_kept.Contains("/t/a/x")) << "a deleted folder leaves with the check of its parent";
        ASSERT_TRUE(FromKept("/t").first);
        EXPECT_EQ(Of(m_scan), Fresh("/t"));
    }

    TEST_F(KeptTotals, AnAnalysisAboveKeptTreesTakesTheirPlaceAndTheFreeSpaceIsAskedWhenShown)
    {
        Analyse("/t/a");
        Analyse("/t/b");
        EXPECT_EQ(m_kept.TreeCount(), 2U);
        Analyse("/");
        EXPECT_EQ(m_kept.TreeCount(), 1U);
        const auto [kept, reads] = FromKept("/", true);
        ASSERT_TRUE(kept);
        EXPECT_EQ(reads, 0);
        EXPECT_EQ(Of(m_scan), Fresh("/", true));
        EXPECT_EQ(m_scan.PathList.back(), "/<Free Space>");
    }

    // Each name of a file with n names counts size / n, so a folder's kept total does not
    // depend on the analysis it came from.
    TEST_F(KeptTotals, HardLinksGiveTheSameTotalsWhateverTheAnalysedFolder)
    {
        m_fs.AddFile("/t/a/x/linked", 3001);
        m_fs.AddHardLink("/t/a/x/linked", "/t/b/second");
        m_fs.AddHardLink("/t/a/x/linked", "/elsewhere/third");
        Analyse("/");
        for (const char* folder : { "/t", "/t/a", "/t/a/x", "/t/b" }) {
            ASSERT_TRUE(FromKept(folder).first) << folder;
            EXPECT_EQ(Of(m_scan), Fresh(folder)) << folder;
        }
        Analyse("/t/a/x"); // a refresh from below changes nothing above
        ASSERT_TRUE(FromKept("/").first);
        EXPECT_EQ(Of(m_scan), Fresh("/"));
    }

    TEST(KeptTotalsCap, TheTreeKeptLongestAgoIsDroppedPastTheCap)
    {
        MemoryFileSystem fs(PathStyle::Posix());
        for (const char* top : { "/one", "/two", "/three", "/big" }) {
            const int folders = std::string(top) == "/big" ? 400 : 100;
            for (int i = 0; i < folders; ++i)
                fs.AddFile(std::string(top) + "/d" + std::to_string(i) + "/f", i);
        }
        const std::size_t perTree = 101 * TKeptTree::kBytesPerFolder + 1000 + sizeof(TKeptTree) + 64;
        TKeptTotals kept(PathStyle::Posix(), 2 * perTree + perTree / 2);
        TDirSize scan(fs, FormatSettings::Invariant());
        scan.SetKeptTotals(&kept);
        const auto analyse = [&](const char* folder) {
            scan.Folder = folder;
            ASSERT_TRUE(scan.Calculate());
        };
        analyse("/one");
        analyse("/two");
        EXPECT_LE(kept.MemoryBytes(), 2 * perTree) << "64 bytes per folder and its name";
        analyse("/one"); // refreshed: now the newest
        analyse("/three");
        EXPECT_LE(kept.MemoryBytes(), kept.CapBytes());
        EXPECT_TRUE(kept.Contains("/one/d5"));
        EXPECT_FALSE(kept.Contains("/two")) << "kept longest ago";
        EXPECT_TRUE(kept.Contains("/three/d99"));
        analyse("/big"); // over the cap on its own: kept nothing, dropped nothing
        EXPECT_FALSE(kept.Contains("/big"));
        EXPECT_EQ(kept.TreeCount(), 2U);
    }

} // namespace
} // namespace tarvo
