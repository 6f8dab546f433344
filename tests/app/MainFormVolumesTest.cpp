// The window's drive selector and browse dialog: following the current folder, the user's
// picks, volumes that come, go or do not answer, and F7.

#include "DriveComboBox.h"
#include "GuiTestSupport.h"
#include "MainForm.h"
#include "MemoryFileSystem.h"
#include "ModalAnswers.h"
#include "PathDialog.h"
#include "StallingFileSystem.h"
#include "TempTree.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>

namespace tarvo
{
namespace
{

    using test::ProcessEventsUntil;
    using test::ShownMessages;

    class MainFormVolumeNavigation : public ::testing::Test
    {
    protected:
        MainFormVolumeNavigation() { test::EnsureApp(); }

        std::unique_ptr<TForm1> Open(
            FileSystem& fileSystem, std::chrono::milliseconds probeLimit = std::chrono::seconds(2))
        {
            ShownMessages().clear();
            MainFormEnvironment env;
            env.fileSystem = &fileSystem;
            env.settingsFileName = m_tree.Path() + "/Kwendi.ini";
            env.formatSettings = FormatSettings::Invariant();
            env.openFolder = [](const std::string&) {};
            env.homeFolder = m_tree.Path();
            env.probeLimit = probeLimit;
            auto form = std::make_unique<TForm1>(std::move(env));
            form->show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
            return form;
        }

        // As the user picks the next volume of the list with the keyboard.
        static void PickNext(TForm1& form)
        {
            form.drive->setFocus();
            QTest::keyClick(form.drive, Qt::Key_Down);
        }

        test::TempTree m_tree;
    };

    class MainFormVolumes : public MainFormVolumeNavigation
    {
    protected:
        MainFormVolumes()
            : m_fs(PathStyle::Posix())
        {
            m_fs.AddVolume("/", VolumeKind::vkFixed, "", "ext4", 1000);
            m_fs.AddVolume("/mnt/b", VolumeKind::vkRemovable, "B", "vfat", 1000);
            m_fs.AddFolder("/mnt/b/sub");
            m_fs.AddFolder("/data");
        }
        MemoryFileSystem m_fs;
    };

    TEST_F(MainFormVolumes, TheSelectorFollowsTheCurrentFolderAndAPickNavigates)
    {
        auto form = Open(m_fs);
        form->ChangeDir("/mnt/b/sub");
        EXPECT_EQ(form->drive->Drive(), "/mnt/b");
        EXPECT_EQ(form->drive->currentText(), QStringLiteral("/mnt/b"));
        EXPECT_EQ(form->CurrentDir(), "/mnt/b/sub") << "the selector's own OnChange navigated";

        form->ChangeDir("/data");
        EXPECT_EQ(form->drive->currentText(), QStringLiteral("/"));
        PickNext(*form);
        EXPECT_EQ(form->CurrentDir(), "/mnt/b/");
        EXPECT_TRUE(form->AnalysedDir().empty()) << "a pick is no analysis";

        // A volume gone while the list still shows it: its root is no folder any more.
        form->ChangeDir("/data");
        m_fs.RemoveVolume("/mnt/b");
        m_fs.RemoveEntry("/mnt/b");
        PickNext(*form);
        EXPECT_EQ(form->CurrentDir(), "/");
        EXPECT_TRUE(ShownMessages().empty());
    }

    TEST_F(MainFormVolumes, VolumesThatComeAndGoShowWithoutNavigating)
    {
        auto form = Open(m_fs);
        form->ChangeDir("/data");
        m_fs.AddVolume("/mnt/c", VolumeKind::vkFixed, "C", "ext4", 1000);
        EXPECT_TRUE(ProcessEventsUntil([&] { return form->drive->count() == 3; }));
        EXPECT_EQ(form->drive->currentText(), QStringLiteral("/"));
        m_fs.RemoveVolume("/mnt/b");
        EXPECT_TRUE(ProcessEventsUntil([&] { return form->drive->count() == 2; }));
        EXPECT_EQ(form->CurrentDir(), "/data");
    }

    TEST_F(MainFormVolumeNavigation, AVolumeThatDoesNotAnswerIsReportedAndNothingChanges)
    {
        test::StallingFileSystem fs(PathStyle::Posix());
        fs.AddVolume("/", VolumeKind::vkFixed, "", "ext4", 1000);
        fs.AddVolume("/mnt/nas", VolumeKind::vkRemote, "", "cifs", 1000, "//nas/share");
        fs.AddFolder("/data");
        auto form = Open(fs, std::chrono::milliseconds(100));
        form->ChangeDir("/data");
        fs.Stall("/mnt/nas");
        try {
            form->ChangeDir("/mnt/nas/x");
            FAIL() << "a stalled volume was taken for an answer";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(
                std::string(error.what()), "The folder \"/mnt/nas/x\" does not answer; its volume may be offline.");
        }
        EXPECT_EQ(form->CurrentDir(), "/data");

        PickNext(*form); // the user picks the stalled share in the selector
        ASSERT_EQ(ShownMessages().size(), 1U);
        EXPECT_EQ(
            ShownMessages()[0], QStringLiteral("The folder \"/mnt/nas/\" does not answer; its volume may be offline."));
        EXPECT_EQ(form->CurrentDir(), "/data");
        EXPECT_EQ(form->drive->Drive(), "/") << "the selector goes back to the current folder's volume";
        form.reset();
        fs.ReleaseAll();
    }

    // On the machine's own file system, where the browse dialog and real mounts live.
    class MainFormHost : public MainFormVolumeNavigation
    {
    protected:
        std::unique_ptr<FileSystem> m_fs = MakeHostFileSystem();
    };

    TEST_F(MainFormHost, F7BrowsesFromTheCurrentFolderAndTheChoiceBecomesCurrent)
    {
        m_tree.Folder("start");
        m_tree.Folder("start/inside");
        auto form = Open(*m_fs);
        form->ChangeDir(m_tree.Path() + "/start/");
        QString title;
        std::string shown;
        test::AnswerModals([&] { QTest::keyClick(form.get(), Qt::Key_F7); },
            { test::ModalStep::On<QFileDialog>([&](QFileDialog& dialog) {
                title = dialog.windowTitle();
                shown = form->PD->Directory();
                QTimer::singleShot(0, &dialog, [&dialog, this] {
                    dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                        ->setText(QString::fromStdString(m_tree.Path() + "/start/inside"));
                    static_cast<QDialog&>(dialog).accept();
                });
            }) });
        EXPECT_EQ(title, QStringLiteral("Browse for directory"));
        EXPECT_EQ(shown, m_tree.Path() + "/start") << "opened at the current folder";
        EXPECT_EQ(form->CurrentDir(), m_tree.Path() + "/start/inside");
        EXPECT_TRUE(form->AnalysedDir().empty());
    }

    TEST_F(MainFormHost, ARealMountMadeMeanwhileAppearsInTheSelector)
    {
        // A mount namespace of this test process alone, so the machine's table is not touched.
        if (::unshare(CLONE_NEWNS) != 0 || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            GTEST_SKIP() << "this machine does not let the test make mounts of its own";
        m_tree.Folder("volume");
        const std::string point = m_tree.Path() + "/volume";
        auto form = Open(*m_fs);
        ASSERT_EQ(::mount("tarvo-test", point.c_str(), "tmpfs", 0, "size=1m"), 0);
        const auto listed = [&] {
            for (int i = 0; i < form->drive->count(); ++i)
                if (form->drive->ItemKey(i) == point)
                    return true;
            return false;
        };
        EXPECT_TRUE(ProcessEventsUntil(listed));
        EXPECT_TRUE(form->AnalysedDir().empty());
        form.reset();
        ::umount(point.c_str());
    }

} // namespace
} // namespace tarvo
