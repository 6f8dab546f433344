// The main window's start-up, settings, navigation and analysis, on an in-memory drive C:.

#include "MainForm.h"
#include "AnalysisStatus.h"
#include "GuiTestSupport.h"
#include "MemoryFileSystem.h"
#include "PageControl.h"
#include "ProfileFile.h"
#include "ScanProgressDialog.h"
#include "ScanRunner.h"
#include "TempTree.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tarvo
{
namespace
{

    using test::EnsureApp;
    using test::ReadFile;
    using test::ShownMessages;
    using test::TempTree;
    using test::WriteFile;

    std::vector<std::string> Column(const QTreeWidget& list, int column)
    {
        std::vector<std::string> texts;
        for (int i = 0; i < list.topLevelItemCount(); ++i)
            texts.push_back(list.topLevelItem(i)->text(column).toStdString());
        return texts;
    }

    // Shortcuts reach only the active window.
    void ShowActive(QWidget& window)
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    class MainFormTest : public ::testing::Test
    {
    protected:
        MainFormTest()
            : m_fs(PathStyle::Windows())
        {
            EnsureApp();
            ShownMessages().clear();
            m_fs.AddVolume("C:\\", VolumeKind::vkFixed, "System", "NTFS", 1024 * 1024 * 1024);
            m_fs.AddFile("C:\\Windows\\System\\kernel.dll", 3 * 1024 * 1024);
            m_fs.AddFile("C:\\Windows\\win.ini", 2048);
            m_fs.AddFile("C:\\Data\\Sub\\a.txt", 5000000);
            m_fs.AddFile("C:\\boot.ini", 512);
            m_settings = m_tree.Path() + "/Kwendi.ini";
        }

        std::unique_ptr<TForm1> Open()
        {
            MainFormEnvironment env;
            env.fileSystem = &m_fs;
            env.settingsFileName = m_settings;
            env.formatSettings = FormatSettings::Invariant();
            env.openFolder = [this](const std::string& path) { m_opened.push_back(path); };
            return std::make_unique<TForm1>(std::move(env));
        }

        MemoryFileSystem m_fs;
        TempTree m_tree;
        std::string m_settings;
        std::vector<std::string> m_opened;
    };

    TEST_F(MainFormTest, FirstStartWithoutSettingsAndTheFileItLeaves)
    {
        auto form = Open();
        EXPECT_EQ(form->geometry().topLeft(), QPoint(0, 0));
        EXPECT_EQ(form->size(), QSize(600, 500));
        EXPECT_EQ(form->PageControl1->ActivePageIndex(), 0);
        EXPECT_EQ(form->CurrentDir(), "C:\\");
        EXPECT_EQ(form->Label1->text(), QStringLiteral("C:\\"));
        EXPECT_FALSE(form->Move->isEnabled());
        EXPECT_EQ(form->ListView1->topLevelItemCount(), 0) << "nothing is analysed at start-up";
        EXPECT_TRUE(form->AnalysedDir().empty());
        EXPECT_EQ(form->windowTitle().left(19), QStringLiteral("Tarvo from Oskavel "));

        form->close();
        EXPECT_EQ(ReadFile(m_settings),
            "[Bounds]\r\nleft=0\r\nwidth=600\r\ntop=0\r\nheight=500\r\n[Page]\r\nTabSheet=0\r\n"
            "[LastDir]\r\nStart with=C:\\\r\n");
    }

    TEST_F(MainFormTest, StartsWhereTheSettingsSay)
    {
        WriteFile(m_settings,
            "[Bounds]\r\nleft=225\r\nwidth=783\r\ntop=146\r\nheight=540\r\n[Page]\r\nTabSheet=2\r\n"
            "[LastDir]\r\nStart with=C:\\Windows\\\r\n");
        auto form = Open();
        EXPECT_EQ(form->geometry(), QRect(225, 146, 783, 540));
        EXPECT_EQ(form->PageControl1->ActivePageIndex(), 2);
        EXPECT_EQ(form->CurrentDir(), "C:\\Windows\\");
    }

    struct SettingsCase {
        const char* name;
        const char* file;
        int width;
        int page;
        const char* currentDir;
    };

    class MainFormSettings : public MainFormTest, public ::testing::WithParamInterface<SettingsCase>
    {
    };

    TEST_P(MainFormSettings, OddValues)
    {
        const SettingsCase& c = GetParam();
        WriteFile(m_settings, c.file);
        auto form = Open();
        EXPECT_EQ(form->width(), c.width);
        EXPECT_EQ(form->PageControl1->ActivePageIndex(), c.page);
        EXPECT_EQ(form->CurrentDir(), c.currentDir);
    }

    INSTANTIATE_TEST_SUITE_P(Files, MainFormSettings,
        ::testing::Values(SettingsCase { "hex", "[Bounds]\nwidth=0x200\n", 512, 0, "C:\\" },
            SettingsCase { "junk", "[Bounds]\nwidth=abc\n", 600, 0, "C:\\" },
            SettingsCase { "gone", "[LastDir]\nStart with=C:\\Gone\n", 600, 0, "c:\\" },
            SettingsCase { "empty", "[LastDir]\nStart with=\n", 600, 0, "C:\\" },
            SettingsCase { "noSeparator", "[LastDir]\nStart with=C:\\Data\n", 600, 0, "C:\\Data" },
            SettingsCase { "noPage", "[Page]\nTabSheet=7\n", 600, -1, "C:\\" }),
        [](const auto& info) { return std::string(info.param.name); });

    TEST_F(MainFormTest, SettingsSurviveARestart)
    {
        {
            auto form = Open();
            form->setGeometry(40, 30, 700, 450);
            form->ChangeDir("C:\\Data");
            form->PageControl1->SetActivePageIndex(7);
            form->close();
        }
        auto again = Open();
        EXPECT_EQ(again->geometry(), QRect(40, 30, 700, 450));
        EXPECT_EQ(again->CurrentDir(), "C:\\Data") << "written and read back without a separator";
        EXPECT_EQ(again->PageControl1->ActivePageIndex(), -1);
        EXPECT_EQ(ProfileReadString(m_settings, "Page", "TabSheet").value_or(""), "-1");
    }

    TEST_F(MainFormTest, ChangeDirAndParentDir)
    {
        auto form = Open();
        EXPECT_EQ(form->ChangeDir("C:\\Windows\\System"), "C:\\Windows\\System");
        EXPECT_TRUE(form->AnalysedDir().empty()) << "navigation never analyses";
        EXPECT_EQ(form->ChangeDir(""), "C:\\Windows\\System") << "an empty path changes nothing";
        EXPECT_EQ(form->ChangeDir("C:\\Nowhere"), "c:\\");
        EXPECT_EQ(form->Label1->text(), QStringLiteral("c:\\"));

        EXPECT_EQ(form->ParentDir("C:\\Windows\\System\\"), "C:\\Windows\\");
        EXPECT_EQ(form->ParentDir("C:\\Windows"), "C:\\");
        EXPECT_EQ(form->ParentDir("C:\\"), "C:\\");
    }

    TEST_F(MainFormTest, ParentDirClimbsOutOfMountPointsOnPosixPaths)
    {
        MemoryFileSystem posix(PathStyle::Posix());
        posix.AddVolume("/", VolumeKind::vkFixed, "", "ext4", 0);
        posix.AddVolume("/home", VolumeKind::vkFixed, "", "ext4", 0);
        MainFormEnvironment env;
        env.fileSystem = &posix;
        env.settingsFileName = m_settings;
        TForm1 form(std::move(env));
        EXPECT_EQ(form.CurrentDir(), "/");
        EXPECT_EQ(form.ParentDir("/home"), "/");
        EXPECT_EQ(form.ParentDir("/home/me/"), "/home/");
        EXPECT_EQ(form.ParentDir("/"), "/");
    }

    TEST_F(MainFormTest, RunAndUpOneDirThroughTheirKeys)
    {
        auto form = Open();
        ShowActive(*form);
        form->ChangeDir("C:\\Windows\\System\\");

        QTest::keyClick(form.get(), Qt::Key_F9);
        EXPECT_EQ(form->AnalysedDir(), "C:\\Windows\\System\\");
        EXPECT_EQ(Column(*form->ListView1, 3),
            (std::vector<std::string> { "C:\\Windows\\System\\<All files in this folder>" }));

        QTest::keyClick(form.get(), Qt::Key_F10);
        EXPECT_EQ(form->CurrentDir(), "C:\\Windows\\");
        EXPECT_EQ(Column(*form->ListView1, 0), (std::vector<std::string> { "System", "<All files in this folder>" }));
        EXPECT_EQ(Column(*form->ListView1, 1), (std::vector<std::string> { "3", "0" }));

        QTest::keyClick(form.get(), Qt::Key_F10);
        QTest::keyClick(form.get(), Qt::Key_F10);
        EXPECT_EQ(form->CurrentDir(), "C:\\") << "up at a drive root stays there";
        EXPECT_EQ(form->AnalysedDir(), "C:\\") << "and analyses the root again";
        EXPECT_EQ(form->ListView1->topLevelItemCount(), 3);
    }

    TEST_F(MainFormTest, FreeSpaceButtonAddsTheEntryAtADriveRoot)
    {
        auto form = Open();
        form->FreeSpaceButt->setChecked(true);
        form->actRun->trigger();
        EXPECT_EQ(Column(*form->ListView1, 0).back(), "<Free Space>");
        EXPECT_EQ(Column(*form->ListView1, 1).back(), "1024");
    }

    TEST_F(MainFormTest, AnExceptionInAHandlerIsShownAndTheWindowStaysUsable)
    {
        auto form = Open();
        ShowActive(*form);
        m_fs.SetReadHook([](const std::string&) { throw std::runtime_error("disk on fire"); });
        // Stopped inside the window's handler: no Qt frame is unwound, so nothing leaks.
        QTest::keyClick(form.get(), Qt::Key_F9);
        ASSERT_EQ(ShownMessages().size(), 1U);
        EXPECT_EQ(ShownMessages()[0], QStringLiteral("disk on fire"));
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the hourglass is gone";

        m_fs.SetReadHook(nullptr);
        QTest::keyClick(form.get(), Qt::Key_F9);
        EXPECT_EQ(form->AnalysedDir(), "C:\\");
        EXPECT_EQ(form->ListView1->topLevelItemCount(), 3);
    }

    TEST_F(MainFormTest, CancelledScanLeavesThePreviousAnalysisOnScreen)
    {
        for (int i = 0; i < 30; ++i)
            for (int j = 0; j < 30; ++j)
                m_fs.AddFile("C:\\Big\\f" + std::to_string(i) + "\\g" + std::to_string(j) + "\\x", 100);
        auto form = Open();
        form->ChangeDir("C:\\Data");
        form->actRun->trigger();
        const auto before = Column(*form->ListView1, 3);

        // Slow reads keep the scan going until the dialog is up; its Cancel ends it.
        m_fs.SetReadHook([](const std::string&) { QThread::msleep(2); });
        form->Runner().SetDialogDelay(std::chrono::milliseconds(50));
        bool dialogShown = false;
        form->Runner().OnDialogShown = [&](ScanProgressDialog& dialog) {
            dialogShown = true;
            dialog.CancelButton()->click();
        };
        form->ChangeDir("C:\\Big");
        form->actRun->trigger();
        EXPECT_TRUE(dialogShown);
        EXPECT_EQ(Column(*form->ListView1, 3), before);
        EXPECT_EQ(form->AnalysedDir(), "C:\\Data");
        EXPECT_EQ(form->CurrentDir(), "C:\\Big") << "the folder the user moved to stays current";
        m_fs.SetReadHook(nullptr);
    }

    TEST_F(MainFormTest, FoldersThatCouldNotBeReadAreToldBesideTheAnalysisAndOnlyThen)
    {
        for (int i = 0; i < 23; ++i)
            m_fs.AddFile("C:\\Locked\\d" + std::to_string(100 + i) + "\\x", 10);
        auto form = Open();
        struct Case {
            std::vector<std::string> unreadable;
            const char* line; // empty: nothing said
            const char* tipStart;
        };
        const std::vector<Case> cases = {
            { {}, "", "" },
            { { "C:\\Locked\\d101" }, "1 folder could not be read", "C:\\Locked\\d101: Permission denied" },
            { { "C:\\Locked\\d100", "C:\\Locked\\d101", "C:\\Locked\\d102" }, "3 folders could not be read",
                "C:\\Locked\\d100: Permission denied\nC:\\Locked\\d101" },
            { {}, "", "" },
        };
        for (const Case& c : cases) {
            for (int i = 0; i < 23; ++i)
                m_fs.SetUnreadable("C:\\Locked\\d" + std::to_string(100 + i), false);
            for (const std::string& folder : c.unreadable)
                m_fs.SetUnreadable(folder, true);
            form->ChangeDir("C:\\Locked");
            form->actRun->trigger();
            EXPECT_EQ(form->AnalysisStatus->UnreadText().toStdString(), c.line);
            auto* line = form->AnalysisStatus->findChild<QLabel*>(QStringLiteral("UnreadFolders"));
            ASSERT_NE(line, nullptr);
            EXPECT_EQ(line->toolTip().left(int(std::strlen(c.tipStart))).toStdString(), c.tipStart);
        }
        for (int i = 0; i < 23; ++i)
            m_fs.SetUnreadable("C:\\Locked\\d" + std::to_string(100 + i), true);
        form->actRun->trigger();
        auto* line = form->AnalysisStatus->findChild<QLabel*>(QStringLiteral("UnreadFolders"));
        EXPECT_EQ(form->AnalysisStatus->UnreadText(), QStringLiteral("23 folders could not be read"));
        EXPECT_EQ(line->toolTip().count(QLatin1Char('\n')), 20) << "the first twenty, then how many more";
        EXPECT_TRUE(line->toolTip().endsWith(QStringLiteral("and 3 more")));
        EXPECT_TRUE(ShownMessages().empty()) << "no box to click away";
    }

    TEST_F(MainFormTest, ExitClosesTheWindowAndSavesTheSettings)
    {
        auto form = Open();
        ShowActive(*form);
        form->ChangeDir("C:\\Data\\Sub\\");
        QTest::keyClick(form.get(), Qt::Key_Q, Qt::ControlModifier);
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(ProfileReadString(m_settings, "LastDir", "Start with").value_or(""), "C:\\Data\\Sub\\");
    }

    // A folder where the file should be: one message, the per-user file instead, the folder
    // untouched. A file nobody may write (also when root runs the program): one message at
    // close, the file byte for byte as it was.
    TEST_F(MainFormTest, UnusableSettingsFilesAreReportedOnceAndLeftAlone)
    {
        const std::string beside = m_tree.Path() + "/program";
        std::filesystem::create_directories(beside + "/Kwendi.ini");
        {
            MainFormEnvironment env;
            env.fileSystem = &m_fs;
            env.executableFolder = beside;
            env.userConfigFolder = m_tree.Path() + "/config";
            TForm1 form(std::move(env));
            form.close();
        }
        ASSERT_EQ(ShownMessages().size(), 1U);
        EXPECT_TRUE(ShownMessages()[0].contains(QString::fromStdString(beside + "/Kwendi.ini")));
        EXPECT_TRUE(ShownMessages()[0].contains(QStringLiteral("it is a folder")));
        EXPECT_TRUE(std::filesystem::is_empty(beside + "/Kwendi.ini"));
        EXPECT_TRUE(ReadFile(m_tree.Path() + "/config/tarvo/Kwendi.ini").starts_with("[Bounds]\r\nleft="));

        ShownMessages().clear();
        const std::string kept = "[Page]\r\nTabSheet=1\r\n";
        WriteFile(m_settings, kept);
        std::filesystem::permissions(m_settings,
            std::filesystem::perms::owner_read | std::filesystem::perms::group_read
                | std::filesystem::perms::others_read);
        auto form = Open();
        EXPECT_EQ(form->PageControl1->ActivePageIndex(), 1) << "it is still read";
        form->close();
        form.reset();
        ASSERT_EQ(ShownMessages().size(), 1U);
        EXPECT_EQ(ShownMessages()[0], QString::fromStdString("Unable to write to " + m_settings));
        EXPECT_EQ(ReadFile(m_settings), kept);
    }

    TEST_F(MainFormTest, EveryActionIsEnabledWithItsShortcutAndHint)
    {
        auto form = Open();
        for (QAction* action : { form->actBrowseDir, form->actRun, form->actToggle3D, form->actShowLegend,
                 form->actShowLabels, form->actPrint, form->actSavePicture, form->actHint, form->actO_C_DirTree,
                 form->actAbout, form->actHelp })
            EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
        EXPECT_EQ(form->actRun->shortcut(), QKeySequence(Qt::Key_F9));
        EXPECT_EQ(form->actUpOneDir->shortcut(), QKeySequence(Qt::Key_F10));
        EXPECT_EQ(form->actBrowseDir->shortcut(), QKeySequence(Qt::Key_F7));
        EXPECT_EQ(form->actRun->toolTip(), QStringLiteral("Calclulate Size of selected directory incl. all sub dirs "));
    }

} // namespace
} // namespace tarvo
