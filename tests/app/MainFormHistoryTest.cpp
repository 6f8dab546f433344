// The history in the window: analyses are recorded, the size list's "Change" column compares
// with an earlier one of the folder, "Tools" > "Compare with" chooses which, and a history that
// cannot be kept costs the analyses nothing.

#include "GuiTestSupport.h"
#include "HistoryDatabase.h"
#include "HistoryRecorder.h"
#include "MainForm.h"
#include "MemoryFileSystem.h"
#include "PageControl.h"
#include "TempTree.h"
#include "TestPictures.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <fstream>

namespace tarvo
{
namespace
{

    constexpr std::int64_t kMB = 1024 * 1024;
    const std::string kMinus = "\xE2\x88\x92";
    const std::string kAllFiles = TDirSize::kAllFilesEntry;
    constexpr int kChange = 4;

    std::string Text(const QTreeWidgetItem& row, int column) { return row.text(column).toStdString(); }

    // Each row's name and one other column, in the list's order.
    std::vector<std::pair<std::string, std::string>> Rows(const QTreeWidget& list, int column = kChange)
    {
        std::vector<std::pair<std::string, std::string>> rows;
        for (int i = 0; i < list.topLevelItemCount(); ++i)
            rows.emplace_back(Text(*list.topLevelItem(i), 0), Text(*list.topLevelItem(i), column));
        return rows;
    }

    // The "Compare with" items: text and whether it is checked; separators left out.
    std::vector<std::pair<QString, bool>> Choices(const TForm1& form)
    {
        std::vector<std::pair<QString, bool>> choices;
        for (const QAction* action : form.CompareWith->actions()) {
            if (!action->isSeparator())
                choices.emplace_back(action->text(), action->isChecked());
        }
        return choices;
    }

    void Choose(TForm1& form, const QString& text)
    {
        for (QAction* action : form.CompareWith->actions()) {
            if (action->text() == text) {
                action->trigger();
                return;
            }
        }
        ADD_FAILURE() << "no choice " << text.toStdString();
    }

    class MainFormHistory : public ::testing::Test
    {
    protected:
        MainFormHistory()
            : m_fs(PathStyle::Windows())
        {
            test::EnsureApp();
            test::ShownMessages().clear();
            m_fs.AddVolume("C:\\", VolumeKind::vkFixed, "System", "NTFS", 1024 * 1024 * 1024);
            m_fs.AddFile("C:\\Data\\Grow\\a", 1 * kMB);
            m_fs.AddFile("C:\\Data\\Shrink\\b", 20 * kMB);
            m_fs.AddFile("C:\\Data\\Old\\c", 3 * kMB);
            m_fs.AddFile("C:\\Data\\own.txt", 512);
            m_history = m_tree.Path() + "/state/tarvo/history.sqlite";
        }

        std::unique_ptr<TForm1> Open()
        {
            MainFormEnvironment env;
            env.fileSystem = &m_fs;
            env.settingsFileName = m_tree.Path() + "/Kwendi.ini";
            env.formatSettings = FormatSettings::Invariant();
            env.historyFileName = m_history;
            return std::make_unique<TForm1>(std::move(env));
        }

        static void Analyse(TForm1& form, const std::string& folder)
        {
            ASSERT_EQ(form.ChangeDir(folder), folder);
            ASSERT_TRUE(form.Analyse(form.CurrentDir()));
        }

        // Grow gains 1,233.5 MB, Shrink loses 12 MB, Old goes and New comes.
        void ChangeTheTree()
        {
            m_fs.AddFile("C:\\Data\\Grow\\big", 12335 * kMB / 10);
            m_fs.RemoveEntry("C:\\Data\\Shrink\\b");
            m_fs.AddFile("C:\\Data\\Shrink\\b", 8 * kMB);
            m_fs.RemoveEntry("C:\\Data\\Old");
            m_fs.AddFile("C:\\Data\\New\\d", 2 * kMB);
        }

        MemoryFileSystem m_fs;
        test::TempTree m_tree;
        std::string m_history;
    };

    using Rows_t = std::vector<std::pair<std::string, std::string>>;

    TEST_F(MainFormHistory, AnalysingAgainShowsEachEntrysChangeAndARowForEachGoneOne)
    {
        auto form = Open();
        Analyse(*form, "C:\\Data");
        const QTreeWidget& list = *form->ListView1;
        EXPECT_EQ(Rows(list), (Rows_t { { "Grow", "" }, { "Shrink", "" }, { "Old", "" }, { kAllFiles, "" } }))
            << "nothing earlier to compare with";
        EXPECT_EQ(Choices(*form), (std::vector<std::pair<QString, bool>> { { QStringLiteral("Nothing"), true } }));

        ChangeTheTree();
        Analyse(*form, "C:\\Data");
        EXPECT_EQ(Rows(list),
            (Rows_t { { "Grow", "+1,233.5" }, { "Shrink", kMinus + "12.0" }, { "New", "new" }, { kAllFiles, "0.0" },
                { "Old", "gone" } }));
        const QTreeWidgetItem& old = *list.topLevelItem(4);
        EXPECT_EQ(Text(old, 1), "0");
        EXPECT_EQ(Text(old, 2), "0");
        EXPECT_EQ(Text(old, 3), "C:\\Data\\Old");
        ASSERT_EQ(Choices(*form).size(), 2u) << "the first analysis and Nothing";
        EXPECT_TRUE(Choices(*form)[0].second) << "the only earlier analysis is the default";
        EXPECT_NE(list.headerItem()->toolTip(kChange).indexOf(Choices(*form)[0].first), -1);

        // By the difference in bytes: a gone entry by all it had, a new one by all it has.
        form->ListView1ColumnClick(kChange);
        EXPECT_EQ(Rows(list),
            (Rows_t { { "Shrink", kMinus + "12.0" }, { "Old", "gone" }, { kAllFiles, "0.0" }, { "New", "new" },
                { "Grow", "+1,233.5" } }));
        form->ListView1ColumnClick(kChange);
        EXPECT_EQ(Rows(list).front().first, "Grow");
        for (int i = 1; i < list.topLevelItemCount(); ++i)
            EXPECT_LE(form->SortCompare(*list.topLevelItem(i - 1), *list.topLevelItem(i)), 0) << i;

        // Double click on the gone row finds no folder and changes nothing.
        form->ListView1->setCurrentItem(form->ListView1->topLevelItem(3));
        ASSERT_EQ(Text(*form->ListView1->currentItem(), 0), "Old");
        form->ListView1DblClick();
        EXPECT_EQ(form->AnalysedDir(), "C:\\Data");
    }

    TEST_F(MainFormHistory, TheChoiceLastsUntilAnotherFolderIsAnalysed)
    {
        auto form = Open();
        Analyse(*form, "C:\\Data");
        ChangeTheTree();
        Analyse(*form, "C:\\Data");

        Choose(*form, QStringLiteral("Nothing"));
        EXPECT_EQ(
            Rows(*form->ListView1), (Rows_t { { "Grow", "" }, { "Shrink", "" }, { "New", "" }, { kAllFiles, "" } }))
            << "no values and no gone row";
        Analyse(*form, "C:\\Data\\"); // the same folder, spelt with its separator
        EXPECT_TRUE(Choices(*form).back().second) << "Nothing still";
        EXPECT_EQ(Choices(*form).size(), 3u);

        Analyse(*form, "C:\\Data\\Grow");
        Analyse(*form, "C:\\Data");
        const std::vector<std::pair<QString, bool>> choices = Choices(*form);
        ASSERT_EQ(choices.size(), 4u);
        EXPECT_TRUE(choices[2].second) << "the default again: the oldest, as none is an hour older";
        EXPECT_EQ(Rows(*form->ListView1).back(), (std::pair<std::string, std::string> { "Old", "gone" }));
    }

    TEST_F(MainFormHistory, TheDefaultIsTheNewestAnalysisAnHourOlderAndAnyOtherCanBeChosen)
    {
        const std::int64_t now = HistoryTimeMs(std::chrono::system_clock::now());
        const auto record = [](std::int64_t time, std::int64_t growBytes) {
            return HistoryRecord { "C:\\Data", time,
                { { HistoryEntryKind::hekFolder, "Grow", growBytes },
                    { HistoryEntryKind::hekFolder, "Shrink", 20 * kMB },
                    { HistoryEntryKind::hekFolder, "Old", 3 * kMB }, { HistoryEntryKind::hekFiles, kAllFiles, 512 } } };
        };
        {
            HistoryDatabase database(m_history);
            constexpr std::int64_t kHour = 3600 * 1000;
            ASSERT_EQ(database.Record(record(now - 3 * kHour, 0)), HistoryStatus::hsDone);
            ASSERT_EQ(database.Record(record(now - 2 * kHour, kMB / 2)), HistoryStatus::hsDone);
            ASSERT_EQ(database.Record(record(now - kHour / 6, 4 * kMB)), HistoryStatus::hsDone);
        }
        auto form = Open();
        Analyse(*form, "C:\\Data");
        std::vector<std::pair<QString, bool>> choices = Choices(*form);
        ASSERT_EQ(choices.size(), 4u);
        EXPECT_EQ((std::vector<bool> { choices[0].second, choices[1].second, choices[2].second }),
            (std::vector<bool> { false, true, false }))
            << "newest first; two hours ago is the newest at least an hour older";
        EXPECT_EQ(Rows(*form->ListView1).front(), (std::pair<std::string, std::string> { "Grow", "+0.5" }));

        Choose(*form, choices[2].first);
        EXPECT_EQ(Rows(*form->ListView1).front(), (std::pair<std::string, std::string> { "Grow", "+1.0" }));
        Analyse(*form, "C:\\Data");
        EXPECT_EQ(Rows(*form->ListView1).front(), (std::pair<std::string, std::string> { "Grow", "+1.0" }))
            << "the choice lasts while the folder stays";
        EXPECT_TRUE(Choices(*form)[3].second) << "now listed after the analysis just before";
    }

    TEST_F(MainFormHistory, AHistoryThatCannotBeKeptIsToldOnceAndAnalysesGoOn)
    {
        std::ofstream(m_tree.Path() + "/state") << "a file where the history's folder should be";
        auto form = Open();
        for (int i = 0; i < 3; ++i) {
            Analyse(*form, "C:\\Data");
            form->History()->WaitIdle();
            QCoreApplication::processEvents();
        }
        EXPECT_EQ(Rows(*form->ListView1).size(), 4u);
        EXPECT_EQ(Rows(*form->ListView1, 1).front().second, "1");
        ASSERT_EQ(test::ShownMessages().size(), 1u);
        EXPECT_NE(test::ShownMessages()[0].indexOf(QString::fromStdString(m_history)), -1)
            << test::ShownMessages()[0].toStdString();
        EXPECT_EQ(Choices(*form), (std::vector<std::pair<QString, bool>> { { QStringLiteral("Nothing"), true } }));
    }

    TEST_F(MainFormHistory, PictureOfTheSizeListWithItsChangeColumn)
    {
        auto form = Open();
        Analyse(*form, "C:\\Data");
        ChangeTheTree();
        Analyse(*form, "C:\\Data");
        form->PageControl1->SetActivePageIndex(0);
        form->resize(1000, 320);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QTreeWidget& list = *form->ListView1;
        const QImage picture = list.viewport()->grab().toImage();
        ASSERT_TRUE(picture.save(test::PicturesFolder() + QStringLiteral("/size-list-change.png")));
        ASSERT_TRUE(list.grab().save(test::PicturesFolder() + QStringLiteral("/size-list-change-with-header.png")));

        // Every change text is drawn whole inside its cell: dark text pixels in each filled cell
        // of the column, and the text narrower than the column.
        const int left = list.header()->sectionViewportPosition(kChange);
        const int width = list.header()->sectionSize(kChange);
        ASSERT_LE(left + width, picture.width() / picture.devicePixelRatio()) << "the column is in view";
        for (int i = 0; i < list.topLevelItemCount(); ++i) {
            const QTreeWidgetItem& row = *list.topLevelItem(i);
            const QRect cell(left, list.visualItemRect(&row).top(), width, list.visualItemRect(&row).height());
            int dark = 0;
            for (int y = cell.top(); y <= cell.bottom(); ++y) {
                for (int x = cell.left(); x <= cell.right(); ++x)
                    dark += qGray(picture.pixel(x, y)) < 96 ? 1 : 0;
            }
            EXPECT_GT(dark, 0) << Text(row, 0);
            EXPECT_LT(list.fontMetrics().horizontalAdvance(row.text(kChange)), width - 8) << Text(row, 0);
        }
    }

} // namespace
} // namespace tarvo
