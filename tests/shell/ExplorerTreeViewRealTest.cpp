// The folder tree on real temporary folders, following them through inotify.

#include "ExplorerTreeView.h"
#include "ShellTestApp.h"
#include "TempTree.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

namespace tarvo
{
namespace
{

    using test::ChildTexts;

    class RealTreeTest : public ::testing::Test
    {
    protected:
        RealTreeTest()
            : m_files(MakeHostFileSystem())
        {
            test::EnsureShellApp();
        }

        TExplorerTreeView& Tree()
        {
            if (!m_tree) {
                m_tree
                    = std::make_unique<TExplorerTreeView>(std::make_shared<TShellNamespace>(*m_files, m_temp.Path()));
                m_tree->ShowMessage = [](const QString& message) { ADD_FAILURE() << message.toStdString(); };
                m_tree->SetCustomRootDirectory(m_temp.Path());
            }
            return *m_tree;
        }
        bool ChildrenBecome(const std::vector<std::string>& texts)
        {
            return test::ProcessEventsUntil([&] { return ChildTexts(*Tree().Root()) == texts; });
        }
        std::string At(const std::string& relative) const { return m_temp.Path() + "/" + relative; }

        test::TempTree m_temp;
        std::unique_ptr<FileSystem> m_files;
        std::unique_ptr<TExplorerTreeView> m_tree;
    };

    TEST_F(RealTreeTest, FollowsMkdirRenameAndRmdir)
    {
        m_temp.Folder("keep");
        TExplorerTreeView& tree = Tree();
        EXPECT_EQ(ChildTexts(*tree.Root()), std::vector<std::string> { "keep" });
        m_temp.Folder("a");
        EXPECT_TRUE(ChildrenBecome({ "a", "keep" }));
        ASSERT_EQ(::rename(At("a").c_str(), At("z").c_str()), 0);
        EXPECT_TRUE(ChildrenBecome({ "keep", "z" }));
        ASSERT_EQ(::rmdir(At("z").c_str()), 0);
        EXPECT_TRUE(ChildrenBecome({ "keep" }));
    }

    TEST_F(RealTreeTest, ANameThatIsNoUtf8ShowsReplacementsAndKeepsItsBytes)
    {
        const std::string name = "caf\xE9";
        m_temp.Folder(name);
        TExplorerTreeView& tree = Tree();
        ASSERT_EQ(tree.Root()->Count(), 1);
        TShellTreeNode& node = *tree.Root()->Item(0);
        EXPECT_EQ(node.text, QStringLiteral("caf\uFFFD"));
        tree.Select(&node);
        EXPECT_EQ(tree.SelectedPath(), At(name));
        tree.SetSelectedPath(m_temp.Path());
        tree.SetSelectedPath(At(name));
        EXPECT_EQ(tree.SelectedPath(), At(name)) << "found again by its bytes";
    }

    TEST_F(RealTreeTest, AFolderThatVanishesWhileOpenGoesWithItsNodes)
    {
        m_temp.Folder("x");
        m_temp.Folder("x/y");
        m_temp.Folder("x/y/z");
        TExplorerTreeView& tree = Tree();
        tree.SetSelectedPath(At("x/y/z"));
        ASSERT_EQ(tree.SelectedPath(), At("x/y/z"));
        test::RunProgram({ "rm", "-rf", "--", At("x") });
        EXPECT_TRUE(ChildrenBecome({}));
        EXPECT_EQ(tree.SelectedPath(), m_temp.Path()) << "the root above it is selected";
        EXPECT_EQ(tree.Notifier().Source().WatchCount(), 1u) << "only the root's watch is left";
    }

} // namespace
} // namespace tarvo
