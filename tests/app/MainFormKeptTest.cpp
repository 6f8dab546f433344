// Moving through an analysed tree: a folder inside the last analysis shows at once from the kept
// totals, then a check against the disk brings any change, in place.

#include "AnalysisStatus.h"
#include "Chart.h"
#include "GuiTestSupport.h"
#include "MainForm.h"
#include "MemoryFileSystem.h"
#include "ProcessEvents.h"
#include "TempTree.h"
#include "bar/BarSeries.h"
#include "pie/PieSeries.h"

#include <QAction>
#include <QProgressBar>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace tarvo
{
namespace
{

    using test::ProcessEventsUntil;

    // Counts the folders read on the window's thread and elsewhere; while closed, scans that
    // start on other threads (the check, a Run's worker) wait before opening their folder.
    class GatedFileSystem : public MemoryFileSystem
    {
    public:
        GatedFileSystem()
            : MemoryFileSystem(PathStyle::Posix())
        {
        }
        ~GatedFileSystem() override { Open(); }

        void Close()
        {
            const std::lock_guard lock(m_mutex);
            m_closed = true;
        }
        void Open()
        {
            const std::lock_guard lock(m_mutex);
            m_closed = false;
            m_opened.notify_all();
        }
        int GuiReads() const { return m_guiReads; }
        int OtherReads() const { return m_otherReads; }

        FolderHandlePtr OpenFolder(const std::string& path, int* error = nullptr) override
        {
            if (std::this_thread::get_id() != m_gui) {
                std::unique_lock lock(m_mutex);
                m_opened.wait(lock, [this] { return !m_closed; });
            }
            return MemoryFileSystem::OpenFolder(path, error);
        }
        bool ReadBatch(FolderHandle& folder, std::vector<DirEntry>& out, int* error = nullptr) override
        {
            ++(std::this_thread::get_id() == m_gui ? m_guiReads : m_otherReads);
            return MemoryFileSystem::ReadBatch(folder, out, error);
        }

    private:
        const std::thread::id m_gui = std::this_thread::get_id();
        std::mutex m_mutex;
        std::condition_variable m_opened;
        bool m_closed = false;
        std::atomic<int> m_guiReads { 0 };
        std::atomic<int> m_otherReads { 0 };
    };

    class MainFormKept : public ::testing::Test
    {
    protected:
        MainFormKept()
        {
            test::EnsureApp();
            test::ShownMessages().clear();
            m_fs.AddVolume("/", VolumeKind::vkFixed, "", "ext4", 1 << 30);
            m_fs.AddFile("/data/a/x/one", 3 << 20);
            m_fs.AddFile("/data/a/y/two", 1 << 20);
            m_fs.AddFile("/data/a/own", 4096);
            m_fs.AddFile("/data/b/three", 2 << 20);
        }

        std::unique_ptr<TForm1> OpenAnalysed(const std::string& folder)
        {
            MainFormEnvironment env;
            env.fileSystem = &m_fs;
            env.settingsFileName = m_tree.Path() + "/Kwendi.ini";
            env.formatSettings = FormatSettings::Invariant();
            env.openFolder = [](const std::string&) {};
            auto form = std::make_unique<TForm1>(std::move(env));
            form->ChangeDir(folder);
            form->actRun->trigger();
            return form;
        }

        // The list as a fresh analysis of the folder gives it: full paths and KB texts.
        std::vector<std::string> FreshRows(const std::string& folder)
        {
            TDirSize fresh(m_fs, FormatSettings::Invariant());
            fresh.Folder = folder;
            EXPECT_TRUE(fresh.Calculate());
            std::vector<std::string> rows;
            for (std::size_t i = 0; i < fresh.PathList.size(); ++i)
                rows.push_back(fresh.PathList[i] + " " + fresh.KBList[i]);
            return rows;
        }
        static std::vector<std::string> ShownRows(const TForm1& form)
        {
            std::vector<std::string> rows;
            for (int i = 0; i < form.ListView1->topLevelItemCount(); ++i) {
                const QTreeWidgetItem& row = *form.ListView1->topLevelItem(i);
                rows.push_back((row.text(3) + QLatin1Char(' ') + row.text(2)).toStdString());
            }
            return rows;
        }
        static bool CheckingShown(TForm1& form)
        {
            return form.AnalysisStatus->Checking()
                && !form.AnalysisStatus->findChild<QProgressBar*>(QStringLiteral("CheckingSign"))->isHidden();
        }

        GatedFileSystem m_fs;
        test::TempTree m_tree;
    };

    TEST_F(MainFormKept, DrillInAndBackShowAtOnceAndTheCheckBringsWhatChangedInPlace)
    {
        auto form = OpenAnalysed("/data");
        const std::vector<std::string> before = FreshRows("/data/a/");
        m_fs.AddFile("/data/a/x/new", 5 << 20); // the disk changes after the analysis

        m_fs.Close();
        const int guiReads = m_fs.GuiReads();
        const int otherReads = m_fs.OtherReads();
        form->OpenClickedDir("/data/a/", mbLeft);
        EXPECT_EQ(ShownRows(*form), before) << "the kept totals, shown before any folder is read";
        EXPECT_EQ(form->AnalysedDir(), "/data/a/");
        EXPECT_EQ(m_fs.GuiReads(), guiReads);
        EXPECT_EQ(m_fs.OtherReads(), otherReads);
        EXPECT_TRUE(CheckingShown(*form));

        // What the user set up meanwhile survives the update.
        form->Bars->ZoomRect(TRect(10, 10, 200, 200));
        form->DiscoSerie->SetRotationAngle(77);
        QTreeWidgetItem* selected = form->ListView1->topLevelItem(1);
        form->ListView1->setCurrentItem(selected);
        const QString selectedPath = selected->text(3);

        m_fs.Open();
        ASSERT_TRUE(ProcessEventsUntil([&] { return !form->Checking(); }));
        EXPECT_GT(m_fs.OtherReads(), otherReads) << "the check read the disk";
        EXPECT_FALSE(CheckingShown(*form));
        EXPECT_EQ(ShownRows(*form), FreshRows("/data/a/"));
        EXPECT_NE(ShownRows(*form), before);
        EXPECT_TRUE(form->Bars->Zoomed());
        EXPECT_EQ(form->DiscoSerie->RotationAngle(), 77);
        EXPECT_EQ(form->Pies->Title().Text().value(1), QStringLiteral("/data/a/"));
        EXPECT_EQ(form->ListView1->currentItem()->text(3), selectedPath);

        // Back up: the kept analysis already holds what the check found below it.
        m_fs.Close();
        const int readsBeforeUp = m_fs.GuiReads() + m_fs.OtherReads();
        form->actUpOneDir->trigger();
        EXPECT_EQ(form->AnalysedDir(), "/data/");
        EXPECT_EQ(m_fs.GuiReads() + m_fs.OtherReads(), readsBeforeUp) << "shown without reading";
        EXPECT_EQ(ShownRows(*form), FreshRows("/data/"));
        const int readsBeforeCheck = m_fs.GuiReads();
        m_fs.Open();
        const QTreeWidgetItem* firstRow = form->ListView1->topLevelItem(0);
        ASSERT_TRUE(ProcessEventsUntil([&] { return !form->Checking(); }));
        EXPECT_EQ(m_fs.GuiReads(), readsBeforeCheck) << "the window's thread never reads";
        EXPECT_EQ(form->ListView1->topLevelItem(0), firstRow) << "nothing changed: nothing is filled again";
        EXPECT_TRUE(test::ShownMessages().empty());
    }

    TEST_F(MainFormKept, TheNextNavigationSilencesARunningCheckAndRunReadsTheDisk)
    {
        auto form = OpenAnalysed("/data");
        m_fs.AddFile("/data/a/late", 7 << 20);
        m_fs.Close();
        form->OpenClickedDir("/data/a/", mbLeft);
        form->actUpOneDir->trigger();
        form->OpenClickedDir("/data/b/", mbLeft);
        m_fs.Open();
        ASSERT_TRUE(ProcessEventsUntil([&] { return !form->Checking(); }));
        EXPECT_EQ(form->AnalysedDir(), "/data/b/");
        EXPECT_EQ(ShownRows(*form), FreshRows("/data/b/")) << "only the latest check reports";

        const int reads = m_fs.OtherReads();
        form->actRun->trigger();
        EXPECT_GT(m_fs.OtherReads(), reads) << "Run always reads the disk";
        EXPECT_FALSE(form->Checking());
        EXPECT_FALSE(CheckingShown(*form));
    }

    TEST_F(MainFormKept, AFolderDeletedBeforeItsCheckFallsBackAsAClickOnADeletedFolder)
    {
        auto form = OpenAnalysed("/data");
        m_fs.Close();
        form->OpenClickedDir("/data/b/", mbLeft);
        EXPECT_EQ(form->AnalysedDir(), "/data/b/");
        m_fs.RemoveEntry("/data/b");
        m_fs.Open();
        ASSERT_TRUE(ProcessEventsUntil([&] { return form->AnalysedDir() == "/"; }));
        EXPECT_EQ(form->CurrentDir(), "/");
        EXPECT_FALSE(CheckingShown(*form));
    }

} // namespace
} // namespace tarvo
