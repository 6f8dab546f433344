// Change events by list: inotify on real temporary folders, the in-memory file system's
// builders, and mount-table differences.

#include "ShellChangeSource.h"
#include "FileSystem.h"
#include "MemoryFileSystem.h"
#include "MountChanges.h"
#include "ShellTypes.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvo
{
namespace
{

    using namespace std::chrono_literals;

    TItemIdList Folder(std::string_view name) { return TItemIdList::Record(ItemKind::ikFolder, name); }

    // An event as text, for comparing whole sequences: "MKDIR a/b" or "RENAMEFOLDER a -> b".
    std::string Describe(const TShellNamespace& shell, const TItemIdList& base, const ShellChange& change)
    {
        const auto name = [&](const TItemIdList& list) {
            std::string text;
            const std::vector<ItemRecord> records = list.Records();
            for (std::size_t i = base.Count(); i < records.size(); ++i)
                text += (text.empty() ? "" : "/") + std::string(records[i].payload);
            return base.IsParentOf(list) ? text : shell.DisplayNameOf(list);
        };
        const std::pair<std::uint32_t, const char*> kinds[] = {
            { SHCNE_RENAMEFOLDER, "RENAMEFOLDER" },
            { SHCNE_RENAMEITEM, "RENAMEITEM" },
            { SHCNE_MKDIR, "MKDIR" },
            { SHCNE_RMDIR, "RMDIR" },
            { SHCNE_CREATE, "CREATE" },
            { SHCNE_DELETE, "DELETE" },
            { SHCNE_UPDATEDIR, "UPDATEDIR" },
            { SHCNE_DRIVEADD | SHCNE_DRIVEADDGUI, "DRIVEADD" },
            { SHCNE_DRIVEREMOVED, "DRIVEREMOVED" },
        };
        std::string text = "?";
        for (const auto& [id, label] : kinds) {
            if (change.eventId == id)
                text = label;
        }
        text += " " + name(change.first);
        if (change.eventId == SHCNE_RENAMEFOLDER || change.eventId == SHCNE_RENAMEITEM)
            text += " -> " + name(change.second);
        return text;
    }

    class InotifySourceTest : public ::testing::Test
    {
    protected:
        InotifySourceTest()
            : m_files(MakeHostFileSystem())
            , m_shell(*m_files, m_tree.Path())
            , m_source(m_shell)
        {
            m_base = m_shell.ParsePath(m_tree.Path(), 10s).value_or(TItemIdList());
        }

        TItemIdList List(const std::string& relative) const
        {
            TItemIdList list = m_base;
            for (std::string_view part : PathStyle::Posix().Components(relative))
                list = list.Combined(Folder(part));
            return list;
        }
        std::string At(const std::string& relative) const { return m_tree.Path() + "/" + relative; }
        std::vector<std::string> Events()
        {
            std::vector<std::string> texts;
            for (const ShellChange& change : m_source.Read(-1))
                texts.push_back(Describe(m_shell, m_base, change));
            return texts;
        }

        test::TempTree m_tree;
        std::unique_ptr<FileSystem> m_files;
        TShellNamespace m_shell;
        TShellChangeSource m_source;
        TItemIdList m_base;
    };

    TEST_F(InotifySourceTest, FolderChangesInOneWatchedFolder)
    {
        ASSERT_FALSE(m_base.IsEmpty());
        m_tree.Folder("kept");
        ASSERT_TRUE(m_source.Watch(m_base, true));
        m_tree.Folder("a");
        m_tree.File("f", 1);
        m_tree.Link("to-kept", "kept");
        ASSERT_EQ(::rename(At("a").c_str(), At("b").c_str()), 0);
        ASSERT_EQ(::rmdir(At("b").c_str()), 0);
        ASSERT_EQ(::unlink(At("f").c_str()), 0);
        EXPECT_EQ(Events(),
            (std::vector<std::string> {
                "MKDIR a", "CREATE f", "MKDIR to-kept", "RENAMEFOLDER a -> b", "RMDIR b", "DELETE f", "RMDIR f" }));
    }

    TEST_F(InotifySourceTest, MovesBetweenWatchedFoldersAndUnpairedHalves)
    {
        m_tree.Folder("left");
        m_tree.Folder("right");
        m_tree.Folder("outside");
        m_tree.Folder("left/x");
        m_tree.Folder("outside/y");
        ASSERT_TRUE(m_source.Watch(List("left"), true));
        ASSERT_TRUE(m_source.Watch(List("right"), true));
        ASSERT_EQ(::rename(At("left/x").c_str(), At("right/x2").c_str()), 0);
        ASSERT_EQ(::rename(At("right/x2").c_str(), At("outside/x3").c_str()), 0);
        ASSERT_EQ(::rename(At("outside/y").c_str(), At("left/y").c_str()), 0);
        EXPECT_EQ(Events(),
            (std::vector<std::string> { "RENAMEFOLDER left/x -> right/x2", "RMDIR right/x2", "MKDIR left/y" }));
    }

    TEST_F(InotifySourceTest, OneFolderUnderTwoListsHasOneWatch)
    {
        m_tree.Folder("real");
        m_tree.Link("alias", "real");
        ASSERT_TRUE(m_source.Watch(List("real"), true));
        ASSERT_TRUE(m_source.Watch(List("alias"), true));
        EXPECT_EQ(m_source.WatchCount(), 1u);
        m_tree.Folder("real/new");
        EXPECT_EQ(Events(), (std::vector<std::string> { "MKDIR real/new", "MKDIR alias/new" }));

        m_source.Unwatch(List("real"));
        EXPECT_EQ(m_source.WatchCount(), 1u) << "still serving the other list";
        ASSERT_EQ(::rmdir(At("real/new").c_str()), 0);
        EXPECT_EQ(Events(), std::vector<std::string> { "RMDIR alias/new" });
        m_source.Unwatch(List("alias"));
        EXPECT_EQ(m_source.WatchCount(), 0u);
        m_tree.Folder("real/later");
        EXPECT_TRUE(Events().empty());
    }

    TEST_F(InotifySourceTest, ABudgetOfTenServesExpandedFoldersFirst)
    {
        m_source.SetBudget(10);
        for (int i = 0; i < 30; ++i)
            m_tree.Folder("leaf" + std::to_string(i));
        ASSERT_TRUE(m_source.Watch(m_base, true));
        int watched = 0;
        for (int i = 0; i < 30; ++i)
            watched += m_source.Watch(List("leaf" + std::to_string(i)), false) ? 1 : 0;
        EXPECT_EQ(watched, 9);
        EXPECT_TRUE(m_source.Full());

        std::vector<TItemIdList> evicted;
        EXPECT_FALSE(m_source.Watch(List("leaf20"), false, &evicted)) << "a leaf never pushes out a leaf";
        EXPECT_TRUE(m_source.Watch(List("leaf25"), true, &evicted)) << "an expanded folder does";
        EXPECT_EQ(evicted, std::vector<TItemIdList> { List("leaf8") }) << "the newest leaf's watch";
        EXPECT_FALSE(m_source.IsWatched(List("leaf8")));
        EXPECT_EQ(m_source.WatchCount(), 10u);
    }

    TEST_F(InotifySourceTest, AWatchedFolderDeletedWithItsParentUnwatchedIsRemoved)
    {
        m_tree.Folder("lone");
        ASSERT_TRUE(m_source.Watch(List("lone"), true));
        ASSERT_EQ(::rmdir(At("lone").c_str()), 0);
        EXPECT_EQ(Events(), std::vector<std::string> { "RMDIR lone" });
        EXPECT_FALSE(m_source.IsWatched(List("lone"))) << "the kernel ended the watch";
    }

    class MemorySourceTest : public ::testing::Test
    {
    protected:
        MemorySourceTest()
            : m_fs(PathStyle::Windows())
        {
            m_fs.AddVolume("C:\\", VolumeKind::vkFixed, "System", "NTFS", 1);
            m_fs.AddVolume("N:\\", VolumeKind::vkRemote, "Share", "cifs", 1);
            m_fs.AddFolder("C:\\Data\\Old\\Deep");
            m_fs.AddFolder("N:\\Remote");
            m_shell = std::make_unique<TShellNamespace>(m_fs, "C:\\Users\\u");
            m_source = std::make_unique<TShellChangeSource>(*m_shell);
            m_source->SetWakeUp([this] { ++m_wakeUps; });
        }
        std::vector<std::string> Events()
        {
            std::vector<std::string> texts;
            for (const ShellChange& change : m_source->Read(-1))
                texts.push_back(Describe(*m_shell, m_shell->VolumeList("C:\\"), change));
            return texts;
        }

        MemoryFileSystem m_fs;
        std::unique_ptr<TShellNamespace> m_shell;
        std::unique_ptr<TShellChangeSource> m_source;
        int m_wakeUps = 0;
    };

    TEST_F(MemorySourceTest, BuildersReportAsTheKernelWould)
    {
        const TItemIdList c = m_shell->VolumeList("C:\\");
        const TItemIdList data = c.Combined(Folder("Data"));
        ASSERT_TRUE(m_source->Watch(data, true));
        ASSERT_TRUE(m_source->Watch(data.Combined(Folder("Old")), true));
        ASSERT_TRUE(m_source->Watch(data.Combined(Folder("Old")).Combined(Folder("Deep")), false));
        EXPECT_FALSE(m_source->Watch(m_shell->VolumeList("N:\\").Combined(Folder("Remote")), true))
            << "nothing on a remote volume is watched";

        m_fs.AddFile("C:\\Data\\new.txt", 1);
        m_fs.RenameEntry("C:\\Data\\Old", "C:\\Data\\New");
        EXPECT_GT(m_wakeUps, 0);
        EXPECT_EQ(Events(), (std::vector<std::string> { "CREATE Data/new.txt", "RENAMEFOLDER Data/Old -> Data/New" }));

        m_fs.RemoveEntry("C:\\Data\\New");
        EXPECT_EQ(Events(), (std::vector<std::string> { "RMDIR Data/Old/Deep", "RMDIR Data/New" }))
            << "children first, under the list the renamed folder was watched by";
        EXPECT_EQ(m_source->WatchCount(), 1u) << "the removed folders' watches ended";

        m_fs.AddVolume("E:\\", VolumeKind::vkRemovable, "Stick", "vfat", 1);
        EXPECT_EQ(Events(), std::vector<std::string> { "DRIVEADD Stick (E:\\)" });
    }

    TEST_F(MemorySourceTest, AKernelThatRefusesEndsAdding)
    {
        m_fs.SetWatchLimit(1);
        const TItemIdList data = m_shell->VolumeList("C:\\").Combined(Folder("Data"));
        EXPECT_TRUE(m_source->Watch(data, true));
        EXPECT_FALSE(m_source->Watch(data.Combined(Folder("Old")), false));
        EXPECT_TRUE(m_source->Full());
        m_fs.SetWatchLimit(100);
        EXPECT_FALSE(m_source->Watch(data.Combined(Folder("Old")), false)) << "not tried again";
    }

    TEST(MountTableChanges, MountPointsThatCameWentOrChanged)
    {
        const MountTable before = MountTable::Parse("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                                    "2 1 8:2 / /home rw - ext4 /dev/sda2 rw\n"
                                                    "3 1 0:5 / /proc rw - proc proc rw\n"
                                                    "4 1 8:17 / /media/usb rw - vfat /dev/sdb1 rw\n");
        const MountTable after = MountTable::Parse("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                                   "2 1 8:2 / /home rw - ext4 /dev/sda2 rw\n"
                                                   "3 1 0:5 / /proc rw - proc proc rw\n"
                                                   "9 1 0:40 / /mnt/nfs rw - nfs4 srv:/x rw\n"
                                                   "10 2 8:33 / /home rw - ext4 /dev/sdc1 rw\n");
        EXPECT_EQ(ChangedMountPoints(before, after), (std::vector<std::string> { "/home", "/media/usb", "/mnt/nfs" }))
            << "/home was mounted over, /media/usb went, /mnt/nfs came";
        EXPECT_TRUE(ChangedMountPoints(after, after).empty());
    }

} // namespace
} // namespace tarvo
