// The folder tree in the main window: it follows the current folder, a click navigates and a
// double click analyses.

#include "ExplorerTreeView.h"
#include "GuiTestSupport.h"
#include "MainForm.h"
#include "MemoryFileSystem.h"
#include "TempTree.h"

#include <QLabel>
#include <QSplitter>
#include <QTest>
#include <QTreeWidget>

#include <fstream>
#include <gtest/gtest.h>

namespace tarvo
{
namespace
{

    class MainFormNavigationTest : public ::testing::Test
    {
    protected:
        MainFormNavigationTest()
            : m_fs(PathStyle::Windows())
        {
            test::EnsureApp();
            m_fs.AddVolume("C:\\", VolumeKind::vkFixed, "System", "NTFS", 1024 * 1024 * 1024);
            m_fs.AddFile("C:\\Windows\\win.ini", 2048);
            m_fs.AddFile("C:\\Data\\Sub\\a.txt", 5000000);
            m_fs.AddFolder("C:\\Users\\u");
            m_settings = m_temp.Path() + "/Kwendi.ini";
        }

        std::unique_ptr<TForm1> Open()
        {
            MainFormEnvironment env;
            env.fileSystem = &m_fs;
            env.settingsFileName = m_settings;
            env.formatSettings = FormatSettings::Invariant();
            env.openFolder = [](const std::string&) {};
            env.homeFolder = "C:\\Users\\u";
            auto form = std::make_unique<TForm1>(std::move(env));
            form->show();
            form->Splitter1->setSizes({ 250, 550 }); // dragged open
            return form;
        }
        static TShellTreeNode* Node(TExplorerTreeView& tree, const std::string& path)
        {
            const std::optional<TItemIdList> list = tree.Namespace().ParsePath(path, std::chrono::seconds(10));
            return list ? tree.FindNodeByPIDL(*list) : nullptr;
        }
        static QPoint Centre(TExplorerTreeView& tree, TShellTreeNode& node)
        {
            return tree.visualRect(tree.Items().IndexOf(&node)).center();
        }

        MemoryFileSystem m_fs;
        test::TempTree m_temp;
        std::string m_settings;
    };

    TEST_F(MainFormNavigationTest, TheTreeStartsClosedOnTheStartFolder)
    {
        std::ofstream(m_settings) << "[LastDir]\r\nStart with=C:\\Data\\Sub\\\r\n";
        MainFormEnvironment env;
        env.fileSystem = &m_fs;
        env.settingsFileName = m_settings;
        env.homeFolder = "C:\\Users\\u";
        const TForm1 form(std::move(env));
        EXPECT_EQ(form.Splitter1->sizes().front(), 0);
        EXPECT_EQ(form.DirTree->SelectedPath(), "C:\\Data\\Sub") << "without the separator the folder came with";
        EXPECT_EQ(form.CurrentDir(), "C:\\Data\\Sub\\");
        EXPECT_EQ(form.DirTree->Indent(), 19);
        EXPECT_FALSE(form.DirTree->ShowRoot());
    }

    TEST_F(MainFormNavigationTest, AClickNavigatesWithoutAnalysing)
    {
        auto form = Open();
        TExplorerTreeView& tree = *form->DirTree;
        EXPECT_EQ(tree.SelectedPath(), "C:\\");
        ASSERT_TRUE(tree.ExpandNode(*Node(tree, "C:\\")));
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, Centre(tree, *Node(tree, "C:\\Data")));
        EXPECT_EQ(form->CurrentDir(), "C:\\Data");
        EXPECT_EQ(form->Label1->text(), QStringLiteral("C:\\Data"));
        EXPECT_TRUE(form->AnalysedDir().empty());

        TShellTreeNode* computer = tree.FindNodeByPIDL(TShellNamespace::ComputerList());
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, Centre(tree, *computer));
        EXPECT_EQ(tree.SelectedPath(), "");
        EXPECT_EQ(form->CurrentDir(), "C:\\Data") << "a node without a path changes nothing";

        form->ChangeDir("C:\\Windows\\");
        EXPECT_EQ(tree.SelectedPath(), "C:\\Windows") << "the tree follows the current folder";
        form->actUpOneDirExecute();
        EXPECT_EQ(tree.SelectedPath(), "C:\\");
    }

    TEST_F(MainFormNavigationTest, ADoubleClickAnalysesTheFolderWithItsSeparator)
    {
        auto form = Open();
        TExplorerTreeView& tree = *form->DirTree;
        ASSERT_TRUE(tree.ExpandNode(*Node(tree, "C:\\")));
        const QPoint data = Centre(tree, *Node(tree, "C:\\Data"));
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, data); // the platform's click comes first
        EXPECT_EQ(form->CurrentDir(), "C:\\Data");
        QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, data);
        EXPECT_EQ(form->CurrentDir(), "C:\\Data\\");
        EXPECT_EQ(form->AnalysedDir(), "C:\\Data\\");
        ASSERT_EQ(form->ListView1->topLevelItemCount(), 2);
        EXPECT_EQ(form->ListView1->topLevelItem(0)->text(0), QStringLiteral("Sub"));
        EXPECT_EQ(tree.SelectedPath(), "C:\\Data");
        EXPECT_TRUE(tree.IsExpanded(Node(tree, "C:\\Data"))) << "and opens it, as a double click does";
    }

} // namespace
} // namespace tarvo
