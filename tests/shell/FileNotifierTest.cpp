#include "FileNotifier.h"
#include "MemoryFileSystem.h"
#include "ShellTestApp.h"
#include "ShellTypes.h"

#include <gtest/gtest.h>

namespace tarvo
{
namespace
{

    TItemIdList Folder(std::string_view name) { return TItemIdList::Record(ItemKind::ikFolder, name); }

    struct Received {
        TShellEventSet events;
        TItemIdList first;
        TItemIdList second;
    };

    class FileNotifierTest : public ::testing::Test
    {
    protected:
        FileNotifierTest()
            : m_fs(PathStyle::Windows())
        {
            test::EnsureShellApp();
            m_fs.AddVolume("C:\\", VolumeKind::vkFixed, "System", "NTFS", 1);
            m_fs.AddFolder("C:\\Data");
            m_fs.AddFolder("C:\\Other");
            m_shell = std::make_unique<TShellNamespace>(m_fs, "C:\\Users\\u");
            m_notifier = std::make_unique<TFileNotifier>(*m_shell);
            m_notifier->SetConcatenateEvents(true);
            m_notifier->OnFileChange
                = [this](TFileNotifier&, const TShellEventSet& events, const TShellEventPair& items) {
                      m_received.push_back({ events, items.first, items.second });
                  };
            m_data = m_shell->VolumeList("C:\\").Combined(Folder("Data"));
            m_other = m_shell->VolumeList("C:\\").Combined(Folder("Other"));
        }

        static TShellEventSet Set(std::initializer_list<TShellEventKind> kinds)
        {
            TShellEventSet set;
            for (const TShellEventKind kind : kinds)
                set.set(kind);
            return set;
        }

        MemoryFileSystem m_fs;
        std::unique_ptr<TShellNamespace> m_shell;
        std::unique_ptr<TFileNotifier> m_notifier;
        std::vector<Received> m_received;
        TItemIdList m_data;
        TItemIdList m_other;
    };

    TEST(ShellEventSet, KindsNeedAllTheirBits)
    {
        const TShellEventSet all = EventSetOf(SHCNE_ALLEVENTS);
        for (int kind = 0; kind < sekCount; ++kind)
            EXPECT_EQ(all.test(static_cast<std::size_t>(kind)), kind <= sekAllEvents) << kind;
        EXPECT_EQ(EventSetOf(SHCNE_MKDIR).to_ulong(), 1UL << sekMkDir);
        EXPECT_EQ(
            EventSetOf(SHCNE_DRIVEADD | SHCNE_DRIVEADDGUI).to_ulong(), (1UL << sekDriveAdd) | (1UL << sekDriveAddGui));
        EXPECT_FALSE(EventSetOf(SHCNE_CREATE | SHCNE_DELETE).test(sekDiskEvents));
        EXPECT_TRUE(EventSetOf(SHCNE_INTERRUPT | SHCNE_RMDIR).test(sekInterrupt));
    }

    TEST_F(FileNotifierTest, ABurstInOneFolderArrivesAsOneUpdateOfIt)
    {
        for (int i = 0; i < 10; ++i)
            m_notifier->Notify(
                SHCNE_CREATE, m_data.Combined(TItemIdList::Record(ItemKind::ikNonFolder, std::to_string(i))));
        m_notifier->Notify(SHCNE_MKDIR, m_other.Combined(Folder("x")));
        test::DrainEvents();
        ASSERT_EQ(m_received.size(), 2u);
        EXPECT_EQ(m_received[0].events, Set({ sekUpdateDir }));
        EXPECT_EQ(m_received[0].first, m_data);
        EXPECT_EQ(m_received[1].events, Set({ sekMkDir })) << "alone in its folder: left as it came";
        EXPECT_TRUE(m_notifier->Events().empty());
    }

    TEST_F(FileNotifierTest, WithoutMergingEveryEventArrivesOldestFirst)
    {
        m_notifier->SetConcatenateEvents(false);
        for (int i = 0; i < 10; ++i)
            m_notifier->Notify(
                SHCNE_CREATE, m_data.Combined(TItemIdList::Record(ItemKind::ikNonFolder, std::to_string(i))));
        test::DrainEvents();
        ASSERT_EQ(m_received.size(), 10u);
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(m_received[static_cast<std::size_t>(i)].events, Set({ sekCreate }));
            EXPECT_EQ(m_received[static_cast<std::size_t>(i)].first.Last().payload, std::to_string(i));
        }
    }

    TEST_F(FileNotifierTest, RenamesKeepBothIdentitiesAndMovesAreNeverMerged)
    {
        m_notifier->Notify(SHCNE_RENAMEFOLDER, m_data.Combined(Folder("old")), m_data.Combined(Folder("new")));
        test::DrainEvents();
        ASSERT_EQ(m_received.size(), 1u);
        EXPECT_EQ(m_received[0].first, m_data.Combined(Folder("old")));
        EXPECT_EQ(m_received[0].second, m_data.Combined(Folder("new")));

        m_received.clear();
        m_notifier->Notify(SHCNE_RENAMEFOLDER, m_data.Combined(Folder("x")), m_other.Combined(Folder("x")));
        m_notifier->Notify(SHCNE_MKDIR, m_data.Combined(Folder("y")));
        m_notifier->Notify(SHCNE_RMDIR, m_data.Combined(Folder("z")));
        test::DrainEvents();
        ASSERT_EQ(m_received.size(), 2u);
        EXPECT_EQ(m_received[0].events, Set({ sekRenameFolder })) << "the move keeps its destination";
        EXPECT_EQ(m_received[0].second, m_other.Combined(Folder("x")));
        EXPECT_EQ(m_received[1].events, Set({ sekUpdateDir }));
        EXPECT_EQ(m_received[1].first, m_data);
    }

    TEST_F(FileNotifierTest, ImageUpdatesGoAheadAndDriveEventsAreNeverMerged)
    {
        const TItemIdList computer = TShellNamespace::ComputerList();
        m_notifier->Notify(SHCNE_DRIVEREMOVED, m_shell->VolumeList("E:\\"));
        m_notifier->Notify(SHCNE_DRIVEREMOVED, m_shell->VolumeList("F:\\"));
        m_notifier->Notify(SHCNE_UPDATEDIR, computer);
        m_notifier->Notify(SHCNE_UPDATEIMAGE, computer);
        test::DrainEvents();
        ASSERT_EQ(m_received.size(), 4u);
        EXPECT_TRUE(m_received[0].events.test(sekUpdateImage)) << "handed over at once, not buffered";
        EXPECT_EQ(m_received[1].events, Set({ sekDriveRemoved }));
        EXPECT_EQ(m_received[2].events, Set({ sekDriveRemoved }));
        EXPECT_EQ(m_received[3].events, Set({ sekUpdateDir }));
    }

    TEST_F(FileNotifierTest, FollowsTheFileSystemOnlyWhileActive)
    {
        ASSERT_TRUE(m_notifier->Source().Watch(m_data, true));
        for (int i = 0; i < 3; ++i)
            m_fs.AddFolder("C:\\Data\\new" + std::to_string(i));
        test::DrainEvents();
        ASSERT_EQ(m_received.size(), 1u) << "read at once, merged";
        EXPECT_EQ(m_received[0].first, m_data);

        m_received.clear();
        m_notifier->SetActive(false);
        m_fs.AddFolder("C:\\Data\\unseen");
        test::DrainEvents();
        m_notifier->SetActive(true);
        test::DrainEvents();
        EXPECT_TRUE(m_received.empty()) << "what came while inactive is dropped";
    }

} // namespace
} // namespace tarvo
