#include "MemoryFileSystem.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace tarvo
{
namespace
{

    constexpr std::int64_t kFiveGiB = std::int64_t { 5 } << 30;

    std::vector<std::string> Names(const std::vector<DirEntry>& entries)
    {
        std::vector<std::string> names;
        for (const DirEntry& entry : entries)
            names.push_back(entry.name);
        return names;
    }

    std::vector<DirEntry> ReadAll(FileSystem& fs, FolderHandle& folder)
    {
        std::vector<DirEntry> entries;
        while (fs.ReadBatch(folder, entries)) { }
        return entries;
    }

    bool SameFolder(const FolderIdentity& a, const FolderIdentity& b)
    {
        return a.device == b.device && a.inode == b.inode;
    }

    TEST(MemoryFileSystemListing, KeepsInsertionOrderAcrossBatches)
    {
        MemoryFileSystem fs(PathStyle::Posix());
        for (const char* name : { "zeta", "alpha", "Mid", "beta", "Alpha" })
            fs.AddFile(std::string("/data/") + name, 1);
        std::vector<std::string> readFolders;
        fs.SetReadHook([&readFolders](const std::string& path) { readFolders.push_back(path); });

        const FolderHandlePtr folder = fs.OpenFolder("/data/");
        ASSERT_TRUE(folder);
        std::vector<std::size_t> batchSizes;
        std::vector<DirEntry> entries;
        for (std::size_t before = 0; fs.ReadBatch(*folder, entries); before = entries.size())
            batchSizes.push_back(entries.size() - before);

        EXPECT_EQ(Names(entries), (std::vector<std::string> { "zeta", "alpha", "Mid", "beta", "Alpha" }));
        EXPECT_EQ(batchSizes, (std::vector<std::size_t> { 2, 2, 1 }));
        EXPECT_EQ(readFolders, std::vector<std::string>(4, "/data")); // the final, empty read included
        for (const DirEntry& entry : entries) {
            EXPECT_EQ(entry.kind, EntryKind::ekFile);
            EXPECT_EQ(entry.sizeBytes, 0) << "sizes come from StatEntry only";
        }
        EXPECT_FALSE(fs.ReadBatch(*folder, entries)) << "the end stays the end";
    }

    TEST(MemoryFileSystemListing, ListFolderSettlesKindsAndSizes)
    {
        MemoryFileSystem fs(PathStyle::Posix());
        fs.AddFile("/d/big.iso", kFiveGiB);
        fs.AddFolder("/d/sub");
        fs.AddLink("/d/link", "/d/sub", 7);
        fs.AddOther("/d/fifo");
        fs.AddFile("/d/empty", 0);

        std::vector<DirEntry> entries(3); // replaced, not appended to
        ASSERT_TRUE(fs.ListFolder("/d", entries));
        ASSERT_EQ(Names(entries), (std::vector<std::string> { "big.iso", "sub", "link", "fifo", "empty" }));
        const EntryKind kinds[]
            = { EntryKind::ekFile, EntryKind::ekFolder, EntryKind::ekLink, EntryKind::ekOther, EntryKind::ekFile };
        const std::int64_t sizes[] = { kFiveGiB, 0, 7, 0, 0 };
        for (std::size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(entries[i].kind, kinds[i]) << entries[i].name;
            EXPECT_EQ(entries[i].sizeBytes, sizes[i]) << entries[i].name;
        }

        std::vector<DirEntry> untouched(1);
        EXPECT_FALSE(fs.ListFolder("/d/big.iso", untouched));
        EXPECT_FALSE(fs.ListFolder("/missing", untouched));
        EXPECT_EQ(untouched.size(), 1u);
    }

    // Stats only what the listing leaves open, and drops what cannot be examined.
    class VanishingFileSystem : public MemoryFileSystem
    {
    public:
        VanishingFileSystem()
            : MemoryFileSystem(PathStyle::Posix())
        {
        }
        bool StatEntry(FolderHandle& folder, DirEntry& entry, int* error = nullptr) override
        {
            statted.push_back(entry.name);
            return entry.name != "gone" && MemoryFileSystem::StatEntry(folder, entry, error);
        }
        std::vector<std::string> statted;
    };

    TEST(MemoryFileSystemListing, ListFolderStatsFilesAndLinksAndDropsVanishedEntries)
    {
        VanishingFileSystem fs;
        fs.AddFile("/d/a", 1);
        fs.AddFile("/d/gone", 2);
        fs.AddFolder("/d/sub");
        fs.AddOther("/d/sock");
        fs.AddLink("/d/ln", "a", 3);
        std::vector<DirEntry> entries;
        ASSERT_TRUE(fs.ListFolder("/d", entries));
        EXPECT_EQ(Names(entries), (std::vector<std::string> { "a", "sub", "sock", "ln" }));
        EXPECT_EQ(fs.statted, (std::vector<std::string> { "a", "gone", "ln" }));
    }

    TEST(MemoryFileSystemListing, StatEntryFailsForAMissingNameAndLeavesItAlone)
    {
        MemoryFileSystem fs(PathStyle::Posix());
        fs.AddFile("/d/f", 5);
        const FolderHandlePtr folder = fs.OpenFolder("/d");
        ASSERT_TRUE(folder);
        fs.RemoveEntry("/d/f");
        DirEntry entry { "f", EntryKind::ekUnknown, 11 };
        EXPECT_FALSE(fs.StatEntry(*folder, entry));
        EXPECT_EQ(entry.kind, EntryKind::ekUnknown);
        EXPECT_EQ(entry.sizeBytes, 11);
        EXPECT_TRUE(ReadAll(fs, *folder).empty());
    }

    TEST(MemoryFileSystemListing, HardLinksShareSizeInodeAndLinkCount)
    {
        MemoryFileSystem fs(PathStyle::Posix());
        fs.AddFile("/d/f", 900);
        fs.AddHardLink("/d/f", "/d/g");
        fs.AddHardLink("/d/f", "/e/h");
        fs.AddFile("/d/single", 5);
        const FolderHandlePtr folder = fs.OpenFolder("/d");
        ASSERT_TRUE(folder);
        const auto stat = [&](const std::string& name) {
            DirEntry entry { name, EntryKind::ekUnknown, 0 };
            EXPECT_TRUE(fs.StatEntry(*folder, entry)) << name;
            return std::pair(entry.sizeBytes, entry.linkCount);
        };
        EXPECT_EQ(stat("f"), std::pair(std::int64_t { 900 }, std::uint64_t { 3 }));
        EXPECT_EQ(stat("g"), std::pair(std::int64_t { 900 }, std::uint64_t { 3 }));
        EXPECT_EQ(stat("single"), std::pair(std::int64_t { 5 }, std::uint64_t { 1 }));
        fs.RemoveEntry("/e");
        EXPECT_EQ(stat("g").second, 2U) << "a removed name is one link fewer";
        EXPECT_THROW(fs.AddHardLink("/e", "/d/folder-link"), std::invalid_argument);
        EXPECT_THROW(fs.AddHardLink("/d/f", "/d/g"), std::invalid_argument);
    }

    TEST(MemoryFileSystemPaths, WindowsNamesAndDrivesMatchWhateverTheCase)
    {
        MemoryFileSystem fs(PathStyle::Windows());
        fs.AddFolder("C:\\Data\\Sub");
        fs.AddFile("c:\\DATA\\sub\\f.txt", 10);
        fs.AddFolder("c:\\data\\OTHER");

        std::vector<DirEntry> entries;
        ASSERT_TRUE(fs.ListFolder("C:\\Data", entries));
        EXPECT_EQ(Names(entries), (std::vector<std::string> { "Sub", "OTHER" })) << "names keep their first spelling";
        for (const char* path : { "C:\\Data", "C:\\Data\\", "c:\\data", "C:/Data/", "c:\\DATA\\\\" }) {
            const FolderHandlePtr folder = fs.OpenFolder(path);
            ASSERT_TRUE(folder) << path;
            EXPECT_TRUE(SameFolder(folder->Identity(), fs.OpenFolder("C:\\Data")->Identity())) << path;
        }
        ASSERT_TRUE(fs.ListFolder("c:\\data\\SUB\\", entries));
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].sizeBytes, 10);
        EXPECT_TRUE(fs.OpenChild(*fs.OpenFolder("C:\\"), "dAtA"));
        EXPECT_THROW(fs.AddFile("C:\\data\\sub\\F.TXT", 1), std::invalid_argument);
        EXPECT_FALSE(fs.FolderExists("D:\\"));
        EXPECT_FALSE(fs.FolderExists("Data"));
    }

    TEST(MemoryFileSystemPaths, PosixNamesAreExactBytes)
    {
        MemoryFileSystem fs(PathStyle::Posix());
        fs.AddFolder("/data");
        fs.AddFolder("/Data");
        fs.AddFolder("/data/caf\xE9"); // Latin-1 bytes, not valid UTF-8
        std::vector<DirEntry> entries;
        ASSERT_TRUE(fs.ListFolder("/", entries));
        EXPECT_EQ(Names(entries), (std::vector<std::string> { "data", "Data" }));
        EXPECT_TRUE(fs.FolderExists("/data/caf\xE9"));
        EXPECT_FALSE(fs.FolderExists("/DATA"));
        EXPECT_FALSE(SameFolder(fs.OpenFolder("/data")->Identity(), fs.OpenFolder("/Data")->Identity()));
    }

    TEST(MemoryFileSystemPaths, OpenParentClimbsToTheRootAndStops)
    {
        MemoryFileSystem fs(PathStyle::Windows());
        fs.AddFolder("C:\\Data\\Sub");
        FolderHandlePtr folder = fs.OpenFolder("C:\\Data\\Sub\\");
        std::vector<FolderIdentity> chain;
        for (; folder; folder = fs.OpenParent(*folder))
            chain.push_back(folder->Identity());
        ASSERT_EQ(chain.size(), 3u);
        EXPECT_TRUE(SameFolder(chain[1], fs.OpenFolder("C:\\Data")->Identity()));
        EXPECT_TRUE(SameFolder(chain[2], fs.OpenFolder("c:\\")->Identity()));
    }

    TEST(MemoryFileSystemAccess, UnreadableFolderIsListedButCannotBeOpened)
    {
        MemoryFileSystem fs(PathStyle::Posix());
        fs.AddFile("/d/secret/f", 1);
        fs.SetUnreadable("/d/secret", true);

        std::vector<DirEntry> entries;
        ASSERT_TRUE(fs.ListFolder("/d", entries));
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].kind, EntryKind::ekFolder);
        EXPECT_FALSE(fs.OpenFolder("/d/secret"));
        EXPECT_FALSE(fs.OpenChild(*fs.OpenFolder("/d"), "secret"));
        EXPECT_FALSE(fs.ListFolder("/d/secret", entries));
        EXPECT_TRUE(fs.FolderExists("/d/secret"));

        fs.SetUnreadable("/d/secret", false);
        EXPECT_TRUE(fs.OpenFolder("/d/secret"));
    }

    TEST(MemoryFileSystemLinks, OpenChildNeverEntersALinkButOpenFolderFollowsIt)
    {
        MemoryFileSystem fs(PathStyle::Posix());
        fs.AddFile("/target/inside", 4);
        fs.AddLink("/d/absolute", "/target", 9);
        fs.AddLink("/d/relative", "../target/", 9);
        fs.AddLink("/d/chained", "relative", 9);
        fs.AddLink("/d/toFile", "/target/inside", 9);
        fs.AddLink("/d/dangling", "/nowhere", 9);
        fs.AddLink("/d/loopA", "loopB", 9);
        fs.AddLink("/d/loopB", "loopA", 9);

        const FolderHandlePtr folder = fs.OpenFolder("/d");
        const FolderIdentity target = fs.OpenFolder("/target")->Identity();
        for (const char* name : { "absolute", "relative", "chained" }) {
            EXPECT_FALSE(fs.OpenChild(*folder, name)) << name;
            const FolderHandlePtr followed = fs.OpenFolder(std::string("/d/") + name);
            ASSERT_TRUE(followed) << name;
            EXPECT_TRUE(SameFolder(followed->Identity(), target)) << name;
            EXPECT_EQ(Names(ReadAll(fs, *followed)), std::vector<std::string> { "inside" }) << name;
            EXPECT_TRUE(fs.FolderExists(std::string("/d/") + name + "/")) << name;
        }
        for (const char* name : { "toFile", "dangling", "loopA" }) {
            EXPECT_FALSE(fs.OpenFolder(std::string("/d/") + name)) << name;
            EXPECT_FALSE(fs.FolderExists(std::string("/d/") + name)) << name;
        }
    }

    TEST(MemoryFileSystemMounts, BindMountShowsTheTargetFolderItself)
    {
        MemoryFileSystem fs(PathStyle::Posix());
        fs.AddFile("/data/f", 1);
        fs.AddBindMount("/data/loop", "/data");

        const FolderHandlePtr data = fs.OpenFolder("/data");
        const FolderHandlePtr loop = fs.OpenChild(*data, "loop");
        ASSERT_TRUE(loop);
        EXPECT_TRUE(SameFolder(loop->Identity(), data->Identity()));
        EXPECT_TRUE(loop->Identity().isMountRoot);
        EXPECT_FALSE(data->Identity().isMountRoot);
        EXPECT_EQ(Names(ReadAll(fs, *loop)), (std::vector<std::string> { "f", "loop" }));

        // The mount point's parent is where it was mounted, not the target's parent.
        const FolderHandlePtr viaPath = fs.OpenFolder("/data/loop/loop");
        ASSERT_TRUE(viaPath);
        const FolderHandlePtr up = fs.OpenParent(*viaPath);
        ASSERT_TRUE(up);
        EXPECT_TRUE(up->Identity().isMountRoot);
        EXPECT_TRUE(SameFolder(fs.OpenParent(*fs.OpenParent(*up))->Identity(), fs.OpenFolder("/")->Identity()));
    }

    TEST(MemoryFileSystemVolumes, VolumeOfPicksTheLongestRootOnComponentBoundaries)
    {
        MemoryFileSystem fs(PathStyle::Posix());
        fs.AddVolume("/", VolumeKind::vkFixed, "system", "ext4", 1000);
        fs.AddVolume("/media/usb/", VolumeKind::vkRemovable, "", "vfat", -1);
        fs.AddFolder("/media/usbx");
        const std::pair<const char*, const char*> rows[] = {
            { "/media/usb/photos", "/media/usb" },
            { "/media/usb", "/media/usb" },
            { "/media//usb/", "/media/usb" },
            { "/media/usbx", "/" },
            { "/media", "/" },
            { "/", "/" },
            { "media/usb", "" },
        };
        for (const auto& [path, volume] : rows)
            EXPECT_EQ(fs.VolumeOf(path), volume) << path;

        EXPECT_EQ(fs.FreeBytes("/"), 1000);
        EXPECT_EQ(fs.FreeBytes("/media/usb/"), -1) << "free-space query made to fail";
        EXPECT_EQ(fs.FreeBytes("/media"), -1) << "not a volume";
        EXPECT_TRUE(fs.IsVolumeRoot("/media/usb/"));
        EXPECT_FALSE(fs.IsVolumeRoot("/media"));
        ASSERT_EQ(fs.Volumes().size(), 2u);
        EXPECT_EQ(fs.Volumes()[1].root, "/media/usb");
        EXPECT_EQ(fs.Volumes()[1].kind, VolumeKind::vkRemovable);

        const FolderIdentity usb = fs.OpenFolder("/media/usb")->Identity();
        EXPECT_TRUE(usb.isMountRoot);
        EXPECT_NE(usb.device, fs.OpenFolder("/media/usbx")->Identity().device);
        EXPECT_EQ(fs.OpenFolder("/media/usbx")->Identity().device, fs.OpenFolder("/")->Identity().device);
        EXPECT_THROW(fs.AddVolume("/media/usb", VolumeKind::vkFixed, "", "", 0), std::invalid_argument);
    }

    TEST(MemoryFileSystemVolumes, WindowsDrivesMatchAnyCase)
    {
        MemoryFileSystem fs(PathStyle::Windows());
        fs.AddVolume("C:\\", VolumeKind::vkFixed, "System", "NTFS", 5);
        fs.AddVolume("d:\\", VolumeKind::vkCdrom, "Disc", "CDFS", 0);
        fs.AddFolder("C:\\Data");
        EXPECT_EQ(fs.VolumeOf("c:\\data\\x"), "C:\\");
        EXPECT_EQ(fs.VolumeOf("D:\\"), "d:\\");
        EXPECT_EQ(fs.VolumeOf("E:\\x"), "");
        EXPECT_EQ(fs.FreeBytes("c:\\"), 5);
        EXPECT_TRUE(fs.IsVolumeRoot("D:\\\\"));
        EXPECT_FALSE(fs.IsVolumeRoot("C:\\Data"));
        EXPECT_FALSE(fs.IsVolumeRoot("C:"));
        EXPECT_TRUE(fs.FolderExists("D:\\"));
        EXPECT_NE(fs.OpenFolder("C:\\Data")->Identity().device, fs.OpenFolder("D:\\")->Identity().device);
    }

    TEST(MemoryFileSystemThreads, DifferentHandlesReadConcurrently)
    {
        MemoryFileSystem fs(PathStyle::Posix());
        std::vector<std::string> expected;
        for (int i = 0; i < 500; ++i) {
            expected.push_back("f" + std::to_string(i));
            fs.AddFile("/a/" + expected.back(), i);
            fs.AddFile("/b/" + expected.back(), i);
        }
        std::atomic<int> reads { 0 };
        fs.SetReadHook([&reads](const std::string&) { ++reads; });
        const FolderHandlePtr a = fs.OpenFolder("/a");
        const FolderHandlePtr b = fs.OpenFolder("/b");
        std::vector<DirEntry> fromA;
        std::vector<DirEntry> fromB;
        std::thread other([&] { fromB = ReadAll(fs, *b); });
        fromA = ReadAll(fs, *a);
        other.join();
        EXPECT_EQ(Names(fromA), expected);
        EXPECT_EQ(Names(fromB), expected);
        EXPECT_EQ(reads.load(), 2 * (250 + 1));
    }

    TEST(MemoryFileSystemBuilding, RejectsBadInputWithoutChangingTheTree)
    {
        MemoryFileSystem fs(PathStyle::Posix());
        fs.AddFile("/d/file", 1);
        fs.AddFolder("/d/sub");
        EXPECT_THROW(fs.AddFolder("relative/path"), std::invalid_argument);
        EXPECT_THROW(fs.AddFolder("/d/file/below"), std::invalid_argument);
        EXPECT_THROW(fs.AddFile("/d/sub", 1), std::invalid_argument);
        EXPECT_THROW(fs.AddFile("/d/negative", -1), std::invalid_argument);
        EXPECT_THROW(fs.AddFile("/", 1), std::invalid_argument);
        EXPECT_THROW(fs.AddBindMount("/d/mnt", "/nowhere"), std::invalid_argument);
        EXPECT_THROW(fs.SetUnreadable("/d/file", true), std::invalid_argument);
        EXPECT_THROW(fs.SetBatchSize(0), std::invalid_argument);
        EXPECT_NO_THROW(fs.AddFolder("/d/sub/")) << "an existing folder is fine";
        std::vector<DirEntry> entries;
        ASSERT_TRUE(fs.ListFolder("/d", entries));
        EXPECT_EQ(Names(entries), (std::vector<std::string> { "file", "sub" }));

        MemoryFileSystem stranger(PathStyle::Posix());
        const FolderHandlePtr foreign = stranger.OpenFolder("/");
        EXPECT_THROW((void)fs.ReadBatch(*foreign, entries), std::invalid_argument);
    }

} // namespace
} // namespace tarvo
