// The folder tree over an in-memory file system with drive letters, offscreen.

#include "ExplorerTreeView.h"
#include "MemoryFileSystem.h"
#include "ShellTestApp.h"
#include "ShellTypes.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace tarvo
{
namespace
{

    using test::ChildTexts;

    class ExplorerTreeViewTest : public ::testing::Test
    {
    protected:
        ExplorerTreeViewTest()
            : m_fs(PathStyle::Windows())
        {
            test::EnsureShellApp();
            m_fs.AddVolume("C:\\", VolumeKind::vkFixed, "System", "NTFS", 1000);
            m_fs.AddVolume("A:\\", VolumeKind::vkRemovable, "", "FAT", -1);
            m_fs.AddVolume("D:\\", VolumeKind::vkCdrom, "", "CDFS", -1);
            m_fs.AddVolume("N:\\", VolumeKind::vkRemote, "Share", "cifs", 1000);
            m_fs.AddFolder("C:\\Data\\d10");
            m_fs.AddFolder("C:\\Data\\d2\\deep\\deeper");
            m_fs.AddFolder("C:\\Data\\Leaf");
            m_fs.AddFolder("C:\\.hidden\\inside");
            m_fs.AddFolder("C:\\Users\\u");
            m_fs.AddFolder("N:\\Remote");
        }

        TExplorerTreeView& Tree()
        {
            if (!m_tree) {
                m_tree = std::make_unique<TExplorerTreeView>(std::make_shared<TShellNamespace>(m_fs, "C:\\Users\\u"));
                m_tree->ShowMessage = [this](const QString& message) { m_messages.push_back(message.toStdString()); };
                m_tree->OnChange
                    = [this](TExplorerTreeView& tree, TShellTreeNode*) { m_changes.push_back(tree.SelectedPath()); };
                m_tree->resize(300, 500);
                m_tree->show();
            }
            return *m_tree;
        }
        // The loaded node of a path, found without asking the (possibly stuck) file system.
        TShellTreeNode* Node(const std::string& path)
        {
            TItemIdList list = Tree().Namespace().VolumeList(path.substr(0, 3));
            const std::string rest = path.substr(3);
            for (std::string_view part : PathStyle::Windows().Components(rest))
                list = list.Combined(TItemIdList::Record(ItemKind::ikFolder, part));
            return Tree().FindNodeByPIDL(list);
        }
        TShellTreeNode& Computer() { return *Tree().FindNodeByPIDL(TShellNamespace::ComputerList()); }

        MemoryFileSystem m_fs;
        std::unique_ptr<TExplorerTreeView> m_tree;
        std::vector<std::string> m_messages;
        std::vector<std::string> m_changes;
    };

    TEST_F(ExplorerTreeViewTest, SelectingADriveRootOpensComputerAndReadsBack)
    {
        TExplorerTreeView& tree = Tree();
        tree.SetSelectedPath("C:\\");
        EXPECT_EQ(tree.SelectedPath(), "C:\\");
        EXPECT_EQ(ChildTexts(*tree.Root()), (std::vector<std::string> { "Home", "Computer" }));
        EXPECT_EQ(
            ChildTexts(Computer()), (std::vector<std::string> { "System (C:\\)", "A:\\", "D:\\", "Share (N:\\)" }));
        EXPECT_TRUE(tree.IsExpanded(&Computer()));
        EXPECT_FALSE(tree.IsExpanded(Node("C:\\")));
        EXPECT_EQ(m_changes, std::vector<std::string> { "C:\\" });

        tree.SetSelectedPath("C:\\Data\\d2\\deep");
        EXPECT_EQ(tree.SelectedPath(), "C:\\Data\\d2\\deep");
        EXPECT_EQ(ChildTexts(*Node("C:\\Data")), (std::vector<std::string> { "d2", "d10", "Leaf" })) << "natural order";
        EXPECT_TRUE(tree.IsExpanded(Node("C:\\Data\\d2")));
        EXPECT_FALSE(Node("C:\\Data\\Leaf")->hasChildren) << "no subfolders: no button";
        EXPECT_TRUE(Node("C:\\Data\\d2\\deep")->hasChildren);

        tree.Select(&Computer());
        EXPECT_EQ(tree.SelectedPath(), "") << "Computer has no path";
        EXPECT_TRUE(m_messages.empty());
    }

    TEST_F(ExplorerTreeViewTest, PathsThatDoNotLeadToANodeChangeNothing)
    {
        TExplorerTreeView& tree = Tree();
        tree.SetSelectedPath("C:\\Data");
        const std::vector<std::string> changes = m_changes;
        for (const char* path : { "C:\\Missing", "C:\\.hidden\\inside", "relative", "Q:\\" })
            tree.SetSelectedPath(path);
        EXPECT_EQ(tree.SelectedPath(), "C:\\Data");
        EXPECT_EQ(m_changes, changes);
        EXPECT_TRUE(m_messages.empty());
    }

    TEST_F(ExplorerTreeViewTest, VolumesWithoutMediumAreSteppedOverSilently)
    {
        TExplorerTreeView& tree = Tree();
        tree.SetSelectedPath("A:\\");
        EXPECT_EQ(tree.SelectedPath(), "N:\\") << "A: and D: hold nothing: the next ready one below";
        EXPECT_EQ(m_changes, std::vector<std::string> { "N:\\" });

        m_changes.clear();
        QTest::keyClick(&tree, Qt::Key_Up);
        EXPECT_EQ(tree.SelectedPath(), "C:\\");
        QTest::keyClick(&tree, Qt::Key_Down);
        EXPECT_EQ(tree.SelectedPath(), "N:\\");
        EXPECT_EQ(m_changes, (std::vector<std::string> { "C:\\", "N:\\" })) << "no event for a skipped drive";
        EXPECT_TRUE(m_messages.empty());
    }

    TEST_F(ExplorerTreeViewTest, ExpandingAnEmptyDriveIsRefusedBeforeItOpens)
    {
        TExplorerTreeView& tree = Tree();
        tree.SetSelectedPath("C:\\");
        int opened = 0;
        QObject::connect(&tree, &QTreeView::expanded, [&opened] { ++opened; });
        TShellTreeNode& cdrom = *Node("D:\\");
        EXPECT_FALSE(tree.ExpandNode(cdrom));
        EXPECT_FALSE(tree.IsExpanded(&cdrom));
        EXPECT_EQ(opened, 0);
        EXPECT_EQ(m_messages, std::vector<std::string> { "No disk in drive" });
        EXPECT_TRUE(tree.ExpandNode(*Node("N:\\"))) << "a network drive that answers opens";
        EXPECT_EQ(ChildTexts(*Node("N:\\")), std::vector<std::string> { "Remote" });
    }

    TEST_F(ExplorerTreeViewTest, FolderChangesReachTheLoadedNodes)
    {
        TExplorerTreeView& tree = Tree();
        tree.SetSelectedPath("C:\\Data\\Leaf");
        TShellTreeNode* data = Node("C:\\Data");
        ASSERT_TRUE(data);
        test::DrainEvents();

        m_fs.AddFolder("C:\\Data\\d3");
        m_fs.AddFolder("C:\\Data\\Leaf\\grown");
        m_fs.AddFolder("C:\\Data\\.dot");
        test::DrainEvents();
        EXPECT_EQ(ChildTexts(*data), (std::vector<std::string> { "d2", "d3", "d10", "Leaf" }));
        EXPECT_TRUE(Node("C:\\Data\\Leaf")->hasChildren) << "a closed folder that got a subfolder gets a button";

        m_fs.RenameEntry("C:\\Data\\d10", "C:\\Data\\a10");
        test::DrainEvents();
        EXPECT_EQ(ChildTexts(*data), (std::vector<std::string> { "a10", "d2", "d3", "Leaf" }));

        m_changes.clear();
        m_fs.RemoveEntry("C:\\Data\\Leaf");
        test::DrainEvents();
        EXPECT_EQ(ChildTexts(*data), (std::vector<std::string> { "a10", "d2", "d3" }));
        EXPECT_EQ(tree.SelectedPath(), "C:\\Data\\d3") << "the node above the deleted selection";
        EXPECT_EQ(m_changes, std::vector<std::string> { "C:\\Data\\d3" });
    }

    TEST_F(ExplorerTreeViewTest, RemovingTheSelectionsGrandparentKeepsASelection)
    {
        TExplorerTreeView& tree = Tree();
        tree.SetSelectedPath("C:\\Data\\d2\\deep\\deeper");
        test::DrainEvents();
        m_changes.clear();
        m_fs.RemoveEntry("C:\\Data\\d2");
        test::DrainEvents();
        EXPECT_EQ(Node("C:\\Data\\d2\\deep"), nullptr);
        EXPECT_EQ(tree.SelectedPath(), "C:\\Data") << "the node above d2";
        ASSERT_FALSE(m_changes.empty());
        EXPECT_EQ(m_changes.back(), "C:\\Data") << "the folders go deepest first, the selection climbs with them";
    }

    TEST_F(ExplorerTreeViewTest, FoldersWithoutSubfoldersLoseTheirButtonWhenOpened)
    {
        m_fs.SetFolderLinkCounts(false); // as on btrfs: every folder may have subfolders
        m_fs.SetUnreadable("C:\\Data\\d10", true);
        TExplorerTreeView& tree = Tree();
        tree.SetSelectedPath("C:\\Data");
        ASSERT_TRUE(tree.ExpandNode(*Node("C:\\Data")));
        TShellTreeNode& leaf = *Node("C:\\Data\\Leaf");
        EXPECT_TRUE(leaf.hasChildren);
        test::DrainEvents(); // the leaves' watches
        EXPECT_TRUE(tree.ExpandNode(leaf));
        EXPECT_FALSE(leaf.hasChildren);
        TShellTreeNode& locked = *Node("C:\\Data\\d10");
        EXPECT_TRUE(tree.ExpandNode(locked));
        EXPECT_FALSE(locked.hasChildren) << "unreadable: opens empty";
        EXPECT_TRUE(m_messages.empty());
    }

    TEST_F(ExplorerTreeViewTest, ReloadingKeepsTheSelectedFolder)
    {
        TExplorerTreeView& tree = Tree();
        tree.SetSelectedPath("C:\\Data\\d2\\deep");
        tree.RecreateWnd();
        EXPECT_EQ(tree.SelectedPath(), "C:\\Data\\d2\\deep");
        tree.SetRootFolder(rDrives);
        EXPECT_EQ(tree.Root()->text.toStdString(), "Computer");
        tree.SetSelectedPath("C:\\Data");
        EXPECT_EQ(tree.SelectedPath(), "C:\\Data");
        tree.SetCustomRootDirectory("C:\\Data");
        EXPECT_EQ(ChildTexts(*tree.Root()), (std::vector<std::string> { "d2", "d10", "Leaf" }));
        EXPECT_THROW(tree.SetCustomRootDirectory("C:\\Nowhere"), std::runtime_error);
    }

    TEST_F(ExplorerTreeViewTest, AStuckListingShowsAPlaceholderAndTheVolumeFailsAtOnce)
    {
        std::mutex mutex;
        std::condition_variable released;
        bool open = false;
        m_fs.SetReadHook([&](const std::string& path) {
            if (path != "C:\\Data")
                return;
            std::unique_lock lock(mutex);
            released.wait(lock, [&] { return open; });
        });
        TExplorerTreeView& tree = Tree();
        tree.SetSelectedPath("C:\\");
        ASSERT_TRUE(tree.ExpandNode(*Node("C:\\")));
        TShellTreeNode& data = *Node("C:\\Data");
        EXPECT_TRUE(tree.ExpandNode(data));
        ASSERT_EQ(data.Count(), 1);
        EXPECT_TRUE(data.Item(0)->placeholder);
        EXPECT_EQ(data.Item(0)->text, QStringLiteral("\u2026"));

        tree.CollapseNode(*Node("C:\\"));
        EXPECT_FALSE(tree.ExpandNode(*Node("C:\\"))) << "the volume is stuck";
        EXPECT_EQ(m_messages, std::vector<std::string> { "Volume not responding" });
        tree.SetSelectedPath("C:\\Users");
        EXPECT_EQ(tree.SelectedPath(), "C:\\") << "nothing can be parsed there meanwhile";

        {
            const std::lock_guard lock(mutex);
            open = true;
        }
        released.notify_all();
        ASSERT_TRUE(test::ProcessEventsUntil([&] { return Node("C:\\Data\\Leaf") != nullptr; }));
        EXPECT_EQ(ChildTexts(*Node("C:\\Data")), (std::vector<std::string> { "d2", "d10", "Leaf" }));
        m_fs.SetReadHook(nullptr);
        EXPECT_TRUE(tree.ExpandNode(*Node("C:\\"))) << "recovered";
    }

    TEST_F(ExplorerTreeViewTest, CompressedFoldersUseTheirColourUnlessSelected)
    {
        m_fs.SetCompressed("C:\\Data\\Leaf", true);
        TExplorerTreeView& tree = Tree();
        tree.SetCompressedColor(QColor(255, 0, 0));
        tree.SetSelectedPath("C:\\Data");
        ASSERT_TRUE(tree.ExpandNode(*Node("C:\\Data")));
        const auto redPixels = [&tree](const TShellTreeNode& node) {
            const QRect row = tree.visualRect(tree.Items().IndexOf(&node));
            const QImage image = tree.viewport()->grab(row).toImage();
            int red = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    red += image.pixelColor(x, y) == QColor(255, 0, 0) ? 1 : 0;
            return red;
        };
        TShellTreeNode& leaf = *Node("C:\\Data\\Leaf");
        EXPECT_GT(redPixels(leaf), 0);
        EXPECT_EQ(redPixels(*Node("C:\\Data\\d2")), 0);
        tree.Select(&leaf);
        EXPECT_EQ(redPixels(leaf), 0);
    }

} // namespace
} // namespace tarvo
