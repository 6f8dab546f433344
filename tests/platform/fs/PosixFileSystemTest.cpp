#include "FileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <map>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tarvo
{
namespace
{

    // Removes a tree relative to descriptors, so that trees deeper than PATH_MAX go as well.
    void RemoveTreeAt(int parentFd, const char* name)
    {
        int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            ::unlinkat(parentFd, name, 0);
            return;
        }
        DIR* listing = ::fdopendir(fd);
        while (const dirent* item = ::readdir(listing)) {
            if (std::strcmp(item->d_name, ".") == 0 || std::strcmp(item->d_name, "..") == 0)
                continue;
            if (::unlinkat(fd, item->d_name, 0) != 0)
                RemoveTreeAt(fd, item->d_name);
        }
        ::closedir(listing);
        ::unlinkat(parentFd, name, AT_REMOVEDIR);
    }

    class PosixFileSystemTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            char pattern[] = "/tmp/tarvo-posix-XXXXXX";
            ASSERT_NE(::mkdtemp(pattern), nullptr);
            char* resolved = ::realpath(pattern, nullptr);
            m_root = resolved;
            std::free(resolved);
        }
        void TearDown() override
        {
            if (!m_root.empty())
                RemoveTreeAt(AT_FDCWD, m_root.c_str());
        }

        [[nodiscard]] std::string PathOf(const std::string& name) const { return m_root + "/" + name; }
        void WriteFile(const std::string& name, std::size_t bytes) const
        {
            int fd = ::open(PathOf(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            ASSERT_GE(fd, 0) << name;
            std::string content(bytes, 'x');
            ASSERT_EQ(::write(fd, content.data(), content.size()), static_cast<ssize_t>(bytes));
            ::close(fd);
        }
        void MakeFolder(const std::string& name) const { ASSERT_EQ(::mkdir(PathOf(name).c_str(), 0755), 0) << name; }

        // Every entry of a folder, read batch by batch.
        std::vector<DirEntry> ReadAll(FolderHandle& folder, int* batches = nullptr)
        {
            std::vector<DirEntry> entries;
            int count = 0;
            while (m_fs->ReadBatch(folder, entries))
                ++count;
            std::size_t before = entries.size();
            EXPECT_FALSE(m_fs->ReadBatch(folder, entries)) << "the end must stay the end";
            EXPECT_EQ(entries.size(), before);
            if (batches != nullptr)
                *batches = count;
            return entries;
        }
        std::map<std::string, DirEntry> ReadByName(FolderHandle& folder)
        {
            std::map<std::string, DirEntry> byName;
            for (DirEntry& entry : ReadAll(folder))
                EXPECT_TRUE(byName.emplace(entry.name, entry).second) << "listed twice: " << entry.name;
            return byName;
        }

        std::unique_ptr<FileSystem> m_fs = MakeHostFileSystem();
        std::string m_root;
    };

    TEST_F(PosixFileSystemTest, LargeFolderIsReadInSeveralBatchesEachNameOnce)
    {
        constexpr int kCount = 5000;
        for (int i = 0; i < kCount; ++i) {
            std::string name = "entry-" + std::to_string(i);
            if (i % 10 == 0)
                MakeFolder(name);
            else
                WriteFile(name, 0);
        }
        FolderHandlePtr folder = m_fs->OpenFolder(m_root);
        ASSERT_NE(folder, nullptr);
        int batches = 0;
        std::vector<DirEntry> entries = ReadAll(*folder, &batches);
        EXPECT_GT(batches, 1); // 5,000 records do not fit one 64 KiB buffer
        ASSERT_EQ(entries.size(), static_cast<std::size_t>(kCount));
        std::vector<bool> seen(kCount, false);
        for (const DirEntry& entry : entries) {
            ASSERT_TRUE(entry.name.starts_with("entry-")) << entry.name;
            int index = std::stoi(entry.name.substr(6));
            ASSERT_FALSE(seen[static_cast<std::size_t>(index)]) << entry.name;
            seen[static_cast<std::size_t>(index)] = true;
            if (entry.kind != EntryKind::ekUnknown) {
                EXPECT_EQ(entry.kind, index % 10 == 0 ? EntryKind::ekFolder : EntryKind::ekFile) << entry.name;
            }
        }
    }

    TEST_F(PosixFileSystemTest, OddNamesComeBackAsTheSameBytes)
    {
        const std::vector<std::string> names = { "with space", "new\nline", "tab\there", "raw \xff\xfe bytes",
            "back\\slash", ".hidden", "...", "-dash", "\xc3\xbc-utf8", std::string(255, 'n') };
        for (std::size_t i = 0; i < names.size(); ++i)
            WriteFile(names[i], i + 1);
        MakeFolder("dir\nwith \xff");
        FolderHandlePtr folder = m_fs->OpenFolder(m_root);
        ASSERT_NE(folder, nullptr);
        std::map<std::string, DirEntry> byName = ReadByName(*folder);
        EXPECT_EQ(byName.size(), names.size() + 1);
        for (std::size_t i = 0; i < names.size(); ++i) {
            auto it = byName.find(names[i]);
            ASSERT_NE(it, byName.end()) << names[i];
            ASSERT_TRUE(m_fs->StatEntry(*folder, it->second)) << names[i];
            EXPECT_EQ(it->second.sizeBytes, static_cast<std::int64_t>(i + 1)) << names[i];
        }
        EXPECT_NE(m_fs->OpenChild(*folder, "dir\nwith \xff"), nullptr);
    }

    struct KindCase {
        const char* name;
        EntryKind kind;
        std::int64_t sizeBytes;
    };

    TEST_F(PosixFileSystemTest, KindsAndSizesWithoutFollowingLinks)
    {
        WriteFile("file", 1234);
        MakeFolder("folder");
        WriteFile("folder/inside", 99);
        ASSERT_EQ(::symlink("folder", PathOf("link-to-folder").c_str()), 0);
        ASSERT_EQ(::symlink("nowhere/at/all", PathOf("dangling").c_str()), 0);
        ASSERT_EQ(::mkfifo(PathOf("fifo").c_str(), 0644), 0);
        int sock = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::string socketPath = PathOf("socket");
        ASSERT_LT(socketPath.size(), sizeof address.sun_path);
        std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
        ASSERT_EQ(::bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        ::close(sock);

        const KindCase cases[] = {
            { "file", EntryKind::ekFile, 1234 },
            { "folder", EntryKind::ekFolder, 0 },
            { "link-to-folder", EntryKind::ekLink, 6 }, // a link's own size: its target's length
            { "dangling", EntryKind::ekLink, 14 },
            { "fifo", EntryKind::ekOther, 0 },
            { "socket", EntryKind::ekOther, 0 },
        };
        FolderHandlePtr folder = m_fs->OpenFolder(m_root);
        ASSERT_NE(folder, nullptr);
        std::map<std::string, DirEntry> byName = ReadByName(*folder);
        ASSERT_EQ(byName.size(), std::size(cases));
        for (const KindCase& c : cases) {
            DirEntry& entry = byName[c.name];
            EXPECT_TRUE(entry.kind == c.kind || entry.kind == EntryKind::ekUnknown) << c.name;
            entry.sizeBytes = -7;
            ASSERT_TRUE(m_fs->StatEntry(*folder, entry)) << c.name;
            EXPECT_EQ(entry.kind, c.kind) << c.name;
            EXPECT_EQ(entry.sizeBytes, c.sizeBytes) << c.name;
        }
    }

    TEST_F(PosixFileSystemTest, StatEntryOfAVanishedEntryChangesNothing)
    {
        WriteFile("gone", 10);
        FolderHandlePtr folder = m_fs->OpenFolder(m_root);
        ASSERT_NE(folder, nullptr);
        std::vector<DirEntry> entries = ReadAll(*folder);
        ASSERT_EQ(entries.size(), 1U);
        ASSERT_EQ(::unlink(PathOf("gone").c_str()), 0);
        DirEntry entry { "gone", EntryKind::ekUnknown, 5 };
        EXPECT_FALSE(m_fs->StatEntry(*folder, entry));
        EXPECT_EQ(entry.kind, EntryKind::ekUnknown);
        EXPECT_EQ(entry.sizeBytes, 5);
        DirEntry escape { "../etc", EntryKind::ekUnknown, 0 };
        EXPECT_FALSE(m_fs->StatEntry(*folder, escape));
    }

    TEST_F(PosixFileSystemTest, SparseFileCountsItsApparentSize)
    {
        constexpr std::int64_t kFiveGiB = 5LL << 30;
        int fd = ::open(PathOf("sparse").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        int result = ::ftruncate(fd, kFiveGiB);
        ::close(fd);
        if (result != 0)
            GTEST_SKIP() << "this file system cannot hold a 5 GiB sparse file";
        FolderHandlePtr folder = m_fs->OpenFolder(m_root);
        ASSERT_NE(folder, nullptr);
        DirEntry entry { "sparse", EntryKind::ekUnknown, 0 };
        ASSERT_TRUE(m_fs->StatEntry(*folder, entry));
        EXPECT_EQ(entry.kind, EntryKind::ekFile);
        EXPECT_EQ(entry.sizeBytes, kFiveGiB);
    }

    TEST_F(PosixFileSystemTest, OpenChildOpensOnlyRealSubfolders)
    {
        MakeFolder("sub");
        WriteFile("file", 3);
        ASSERT_EQ(::symlink("sub", PathOf("link").c_str()), 0);
        FolderHandlePtr folder = m_fs->OpenFolder(m_root);
        ASSERT_NE(folder, nullptr);

        FolderHandlePtr sub = m_fs->OpenChild(*folder, "sub");
        ASSERT_NE(sub, nullptr);
        struct stat info = {};
        ASSERT_EQ(::stat(PathOf("sub").c_str(), &info), 0);
        EXPECT_EQ(sub->Identity().device, info.st_dev);
        EXPECT_EQ(sub->Identity().inode, info.st_ino);
        EXPECT_FALSE(sub->Identity().isMountRoot);

        for (const char* name : { "link", "file", "missing", "", ".", "..", "sub/." })
            EXPECT_EQ(m_fs->OpenChild(*folder, name), nullptr) << name;
        // The system would read only up to the NUL and find "sub": a name holding one names nothing.
        const std::string cut("sub\0more", 8);
        EXPECT_EQ(m_fs->OpenChild(*folder, cut), nullptr);
        EntryDetails details;
        EXPECT_FALSE(m_fs->InspectEntry(*folder, cut, false, details));
    }

    TEST_F(PosixFileSystemTest, OpenFolderFollowsTheLinkItIsGiven)
    {
        MakeFolder("target");
        ASSERT_EQ(::symlink("target", PathOf("link").c_str()), 0);
        WriteFile("file", 1);
        FolderHandlePtr linked = m_fs->OpenFolder(PathOf("link"));
        FolderHandlePtr target = m_fs->OpenFolder(PathOf("target"));
        ASSERT_NE(linked, nullptr);
        ASSERT_NE(target, nullptr);
        EXPECT_EQ(linked->Identity().inode, target->Identity().inode);
        EXPECT_EQ(m_fs->OpenFolder(PathOf("file")), nullptr);
        EXPECT_EQ(m_fs->OpenFolder(PathOf("missing")), nullptr);
        EXPECT_EQ(m_fs->OpenFolder(""), nullptr);
        const std::string cut = PathOf("target") + std::string("\0/file", 6);
        int error = 0;
        EXPECT_EQ(m_fs->OpenFolder(cut, &error), nullptr) << "a path holding a NUL names no folder";
        EXPECT_EQ(error, ENOENT);
        EXPECT_FALSE(m_fs->FolderExists(cut));
        EXPECT_EQ(m_fs->FreeBytes(cut), -1);
        EntryDetails details;
        EXPECT_FALSE(m_fs->InspectPath(cut, false, details));
        EXPECT_EQ(m_fs->VolumeOf(cut), "");
    }

    TEST_F(PosixFileSystemTest, OpenParentClimbsToTheRootAndStops)
    {
        FolderHandlePtr folder = m_fs->OpenFolder(m_root);
        ASSERT_NE(folder, nullptr);
        const auto depth = static_cast<int>(std::count(m_root.begin(), m_root.end(), '/'));
        int steps = 0;
        while (FolderHandlePtr parent = m_fs->OpenParent(*folder)) {
            folder = parent;
            ASSERT_LE(++steps, depth) << "climbed past the root";
        }
        EXPECT_EQ(steps, depth);
        struct stat root = {};
        ASSERT_EQ(::stat("/", &root), 0);
        EXPECT_EQ(folder->Identity().device, root.st_dev);
        EXPECT_EQ(folder->Identity().inode, root.st_ino);
        EXPECT_TRUE(folder->Identity().isMountRoot);
        FolderHandlePtr slash = m_fs->OpenFolder("/");
        ASSERT_NE(slash, nullptr);
        EXPECT_TRUE(slash->Identity().isMountRoot);
    }

    TEST_F(PosixFileSystemTest, ReachesFoldersDeeperThanPathMax)
    {
        const std::string component(200, 'd');
        const int depth = PATH_MAX / static_cast<int>(component.size() + 1) + 2;
        int fd = ::open(m_root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        for (int level = 0; level < depth; ++level) {
            ASSERT_EQ(::mkdirat(fd, component.c_str(), 0755), 0);
            int next = ::openat(fd, component.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(fd);
            fd = next;
            ASSERT_GE(fd, 0);
        }
        int leaf = ::openat(fd, "leaf", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_EQ(::write(leaf, "42 bytes of content, or so it is claimed..", 42), 42);
        ::close(leaf);
        ::close(fd);
        ASSERT_GT(m_root.size() + static_cast<std::size_t>(depth) * (component.size() + 1), std::size_t { PATH_MAX });

        FolderHandlePtr folder = m_fs->OpenFolder(m_root);
        std::vector<FolderHandlePtr> chain;
        for (int level = 0; level < depth; ++level) {
            ASSERT_NE(folder, nullptr) << "level " << level;
            chain.push_back(folder);
            folder = m_fs->OpenChild(*folder, component);
        }
        ASSERT_NE(folder, nullptr);
        std::vector<DirEntry> entries = ReadAll(*folder);
        ASSERT_EQ(entries.size(), 1U);
        ASSERT_TRUE(m_fs->StatEntry(*folder, entries[0]));
        EXPECT_EQ(entries[0].name, "leaf");
        EXPECT_EQ(entries[0].sizeBytes, 42);
        FolderHandlePtr up = m_fs->OpenParent(*folder);
        ASSERT_NE(up, nullptr);
        EXPECT_EQ(up->Identity().inode, chain.back()->Identity().inode);
    }

    TEST_F(PosixFileSystemTest, WorkersShareOneOpenFolder)
    {
        constexpr int kFolders = 200;
        for (int i = 0; i < kFolders; ++i) {
            MakeFolder("f" + std::to_string(i));
            WriteFile("f" + std::to_string(i) + "/data", static_cast<std::size_t>(i));
        }
        FolderHandlePtr folder = m_fs->OpenFolder(m_root);
        ASSERT_NE(folder, nullptr);
        std::vector<DirEntry> entries = ReadAll(*folder);
        ASSERT_EQ(entries.size(), static_cast<std::size_t>(kFolders));
        std::vector<std::int64_t> totals(2, 0);
        auto work = [&](std::size_t worker) {
            for (std::size_t i = worker; i < entries.size(); i += 2) {
                FolderHandlePtr child = m_fs->OpenChild(*folder, entries[i].name);
                if (child == nullptr)
                    continue;
                std::vector<DirEntry> inner;
                while (m_fs->ReadBatch(*child, inner)) { }
                for (DirEntry& entry : inner)
                    totals[worker] += m_fs->StatEntry(*child, entry) ? entry.sizeBytes : 0;
            }
        };
        std::thread other(work, 1);
        work(0);
        other.join();
        EXPECT_EQ(totals[0] + totals[1], kFolders * (kFolders - 1) / 2);
    }

    TEST_F(PosixFileSystemTest, PseudoFileSystemsAreNeverOpened)
    {
        EXPECT_EQ(m_fs->OpenFolder("/proc"), nullptr);
        EXPECT_EQ(m_fs->OpenFolder("/proc/self"), nullptr);
        struct stat info = {};
        if (::stat("/sys/kernel", &info) == 0) {
            EXPECT_EQ(m_fs->OpenFolder("/sys/kernel"), nullptr);
        }
        FolderHandlePtr root = m_fs->OpenFolder("/");
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(m_fs->OpenChild(*root, "proc"), nullptr);
    }

    TEST_F(PosixFileSystemTest, VolumeQueries)
    {
        WriteFile("file", 1);
        EXPECT_TRUE(m_fs->FolderExists(m_root));
        EXPECT_TRUE(m_fs->FolderExists("/"));
        EXPECT_FALSE(m_fs->FolderExists(PathOf("file")));
        EXPECT_FALSE(m_fs->FolderExists(PathOf("missing")));
        EXPECT_FALSE(m_fs->FolderExists(""));

        EXPECT_GT(m_fs->FreeBytes("/"), 0);
        EXPECT_EQ(m_fs->FreeBytes(PathOf("missing")), -1);
        EXPECT_EQ(m_fs->FreeBytes(""), -1);

        EXPECT_TRUE(m_fs->IsVolumeRoot("/"));
        EXPECT_FALSE(m_fs->IsVolumeRoot(m_root));
        EXPECT_FALSE(m_fs->IsVolumeRoot(m_root + "/"));

        std::string volume = m_fs->VolumeOf(m_root);
        ASSERT_FALSE(volume.empty());
        EXPECT_TRUE(m_fs->IsVolumeRoot(volume)) << volume;
        EXPECT_TRUE(volume == "/" || m_root.starts_with(volume + "/")) << volume;
        EXPECT_EQ(m_fs->VolumeOf(PathOf("missing/deeper")), volume);
        EXPECT_EQ(m_fs->VolumeOf("relative"), "");

        std::vector<VolumeInfo> volumes = m_fs->Volumes();
        ASSERT_FALSE(volumes.empty());
        EXPECT_TRUE(std::any_of(volumes.begin(), volumes.end(), [](const VolumeInfo& v) { return v.root == "/"; }));
        for (const VolumeInfo& v : volumes)
            EXPECT_TRUE(v.root != "/proc" && v.root != "/sys" && v.fileSystemType != "proc") << v.root;
    }

} // namespace
} // namespace tarvo
