// The size list inside the main window: row names, header-click sorting, double click and
// "Open with Explorer", on an in-memory drive C: (and a POSIX tree for names that are not UTF-8).

#include "GuiTestSupport.h"
#include "MainForm.h"
#include "MemoryFileSystem.h"
#include "SizeListSort.h"
#include "TempTree.h"
#include "bar/BarSeries.h"
#include "pie/PieSeries.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QStyle>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace tarvo
{
namespace
{

    const std::string kAllFiles = TDirSize::kAllFilesEntry;

    std::string Raw(const QTreeWidgetItem& row, int column)
    {
        const QByteArray bytes = row.data(column, Qt::UserRole).toByteArray();
        return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }

    std::vector<std::string> Column(const QTreeWidget& list, int column)
    {
        std::vector<std::string> texts;
        for (int i = 0; i < list.topLevelItemCount(); ++i) {
            texts.push_back(Raw(*list.topLevelItem(i), column));
        }
        return texts;
    }

    class SizeListView : public ::testing::Test
    {
    protected:
        explicit SizeListView(const PathStyle& style = PathStyle::Windows())
            : m_fs(style)
        {
            test::EnsureApp();
        }

        // C:\Data holds, in listing order, folders whose KB texts are 10, 9.5, 100 and 1, and
        // 0.5 KB of its own.
        void MakeDataFolder()
        {
            m_fs.AddVolume("C:\\", VolumeKind::vkFixed, "System", "NTFS", 1024 * 1024 * 1024);
            m_fs.AddFile("C:\\Data\\Sub\\a.txt", 10240);
            m_fs.AddFile("C:\\Data\\300\\b", 9728);
            m_fs.AddFile("C:\\Data\\2000\\c", 102400);
            m_fs.AddFile("C:\\Data\\Data\\d", 1024);
            m_fs.AddFile("C:\\Data\\own.txt", 512);
            m_fs.AddFolder("C:\\Windows");
        }

        std::unique_ptr<TForm1> Open()
        {
            MainFormEnvironment env;
            env.fileSystem = &m_fs;
            env.settingsFileName = m_tree.Path() + "/tarvo.ini";
            env.formatSettings = FormatSettings::Invariant();
            env.openFolder = [this](const std::string& path) { m_opened.push_back(path); };
            return std::make_unique<TForm1>(std::move(env));
        }

        std::unique_ptr<TForm1> OpenAnalysed(const std::string& folder)
        {
            auto form = Open();
            EXPECT_EQ(form->ChangeDir(folder), folder);
            EXPECT_TRUE(form->Analyse(form->CurrentDir()));
            return form;
        }

        static QTreeWidgetItem* Row(TForm1& form, const std::string& name)
        {
            for (int i = 0; i < form.ListView1->topLevelItemCount(); ++i) {
                if (Raw(*form.ListView1->topLevelItem(i), 0) == name) {
                    return form.ListView1->topLevelItem(i);
                }
            }
            ADD_FAILURE() << "no row " << name;
            return nullptr;
        }

        static void Select(TForm1& form, const std::string& name)
        {
            QTreeWidgetItem* row = Row(form, name);
            ASSERT_NE(row, nullptr);
            form.ListView1->setCurrentItem(row);
        }

        MemoryFileSystem m_fs;
        test::TempTree m_tree;
        std::vector<std::string> m_opened;
    };

    TEST_F(SizeListView, HasTheFourColumnsThenChangeAndTheContextMenu)
    {
        MakeDataFolder();
        auto form = Open();
        QTreeWidget& list = *form->ListView1;
        const QTreeWidgetItem& header = *list.headerItem();
        const std::pair<const char*, int> columns[]
            = { { "Names", 200 }, { "Size MB", 60 }, { "Size KB", 90 }, { "Full Path", 300 }, { "Change", 80 } };
        ASSERT_EQ(list.columnCount(), 5);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(header.text(i), QString::fromLatin1(columns[i].first));
            EXPECT_GE(list.columnWidth(i), columns[i].second) << "the design's width, grown with the font";
        }
        EXPECT_EQ(list.palette().color(QPalette::Base), QColor(0xC0, 0xC0, 0xC0));
        EXPECT_FALSE(list.rootIsDecorated());
        ASSERT_EQ(form->PopupMenu1->actions().size(), 1);
        EXPECT_EQ(form->PopupMenu1->actions().front()->text(), QStringLiteral("Open with Explorer"));

        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        const QPoint where(20, 20);
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, where, list.viewport()->mapToGlobal(where));
        QCoreApplication::sendEvent(list.viewport(), &rightClick);
        EXPECT_TRUE(form->PopupMenu1->isVisible());
        form->PopupMenu1->hide();
    }

    TEST_F(SizeListView, TheSizesOfATenTerabyteVolumeFitTheirColumnsInAnyFont)
    {
        MakeDataFolder();
        const QFont original = QApplication::font();
        for (const int pixels : { 9, 13, 20 }) {
            QFont font = original;
            font.setPixelSize(pixels);
            QApplication::setFont(font);
            auto form = Open();
            const QFontMetrics metrics = form->ListView1->fontMetrics();
            const int margins = 2 * form->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 2;
            EXPECT_GT(
                form->ListView1->columnWidth(1), metrics.horizontalAdvance(QStringLiteral("10485760.99")) + margins)
                << pixels << " px";
            EXPECT_GT(
                form->ListView1->columnWidth(2), metrics.horizontalAdvance(QStringLiteral("10737418240.99")) + margins)
                << pixels << " px";
            EXPECT_GE(form->ListView1->columnWidth(0), 200 * metrics.averageCharWidth() / 5 - 1) << pixels << " px";
        }
        QApplication::setFont(original);
    }

    TEST_F(SizeListView, NamesAreTheSameWithAndWithoutATrailingSeparator)
    {
        MakeDataFolder();
        for (const std::string folder : { "C:\\Data", "C:\\Data\\" }) {
            auto form = OpenAnalysed(folder);
            const QTreeWidget& list = *form->ListView1;
            EXPECT_EQ(Column(list, 0), (std::vector<std::string> { "Sub", "300", "2000", "Data", kAllFiles }))
                << folder;
            EXPECT_EQ(Column(list, 1), form->DirSize().MBList) << folder;
            EXPECT_EQ(Column(list, 2), (std::vector<std::string> { "10", "9.5", "100", "1", "0.5" })) << folder;
            EXPECT_EQ(Column(list, 3), form->DirSize().PathList) << folder;
            EXPECT_EQ(list.topLevelItem(0)->text(3), QStringLiteral("C:\\Data\\Sub")) << folder;
        }
    }

    TEST_F(SizeListView, HeaderClicksSortNumbersByValueAndReverseOnTheSecondClick)
    {
        MakeDataFolder();
        auto form = OpenAnalysed("C:\\Data");
        QHeaderView& header = *form->ListView1->header();
        const auto click = [&header](int column) {
            QTest::mouseClick(header.viewport(), Qt::LeftButton, {},
                QPoint(header.sectionViewportPosition(column) + header.sectionSize(column) / 2, header.height() / 2));
        };
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));

        click(2);
        EXPECT_EQ(form->SortColumn(), 2);
        EXPECT_TRUE(form->SortAscending());
        EXPECT_EQ(Column(*form->ListView1, 0), (std::vector<std::string> { kAllFiles, "Data", "300", "Sub", "2000" }));
        click(2);
        EXPECT_FALSE(form->SortAscending());
        EXPECT_EQ(Column(*form->ListView1, 0), (std::vector<std::string> { "2000", "Sub", "300", "Data", kAllFiles }));

        click(0);
        EXPECT_EQ(form->SortColumn(), 0);
        EXPECT_TRUE(form->SortAscending());
        const std::vector<std::string> names = Column(*form->ListView1, 0);
        const auto at = [&names](const std::string& name) { return std::find(names.begin(), names.end(), name); };
        EXPECT_LT(at("300"), at("2000")) << "two numbers compare by value";
        EXPECT_LT(at("2000"), at("Data")) << "a number and a name compare as text";
        EXPECT_LT(at("Data"), at("Sub"));
        for (std::size_t i = 1; i < names.size(); ++i) {
            EXPECT_LE(CompareTexts(names[i - 1], names[i], FormatSettings::Invariant()), 0) << names[i - 1];
        }
    }

    TEST_F(SizeListView, SortCompareAgreesWithTheOrderAHeaderClickMakes)
    {
        MakeDataFolder();
        auto form = OpenAnalysed("C:\\Data");
        QTreeWidget& list = *form->ListView1;
        for (const int column : { 1, 1, 2, 2, 3, 3, 0, 0 }) {
            form->ListView1ColumnClick(column);
            for (int i = 1; i < list.topLevelItemCount(); ++i) {
                EXPECT_LE(form->SortCompare(*list.topLevelItem(i - 1), *list.topLevelItem(i)), 0)
                    << "column " << column << ", row " << i;
            }
        }
        form->ListView1ColumnClick(2); // another column: ascending
        EXPECT_EQ(form->SortCompare(*Row(*form, "300"), *Row(*form, "Sub")), -1) << "9.5 KB before 10 KB";
        form->ListView1ColumnClick(2);
        EXPECT_EQ(form->SortCompare(*Row(*form, "300"), *Row(*form, "Sub")), 1);
    }

    TEST_F(SizeListView, AnAnalysisShowsTheActiveSortAndKeepsItsState)
    {
        MakeDataFolder();
        auto form = OpenAnalysed("C:\\Data");
        Select(*form, "Sub");
        form->ListView1ColumnClick(2);
        EXPECT_EQ(Raw(*form->ListView1->selectedItems().value(0), 0), "Sub") << "sorting keeps the selection";

        ASSERT_TRUE(form->Analyse(form->CurrentDir()));
        EXPECT_EQ(Column(*form->ListView1, 2), (std::vector<std::string> { "0.5", "1", "9.5", "10", "100" }))
            << "a new analysis comes in the order the user chose";
        EXPECT_EQ(form->SortColumn(), 2);
        form->ListView1ColumnClick(2); // the last header again: the other direction
        EXPECT_FALSE(form->SortAscending());
        EXPECT_EQ(Column(*form->ListView1, 2), (std::vector<std::string> { "100", "10", "9.5", "1", "0.5" }));
    }

    TEST_F(SizeListView, TheChartsFollowTheListsOrderAndTheOrderSurvivesARestart)
    {
        MakeDataFolder();
        const auto chartsFollowTheList = [](TForm1& form, const char* when) {
            const std::vector<std::string> names = Column(*form.ListView1, 0);
            ASSERT_EQ(form.BarSerie->PointCount(), static_cast<int>(names.size())) << when;
            for (int i = 0; i < form.BarSerie->PointCount(); ++i) {
                const std::string& name = names[static_cast<std::size_t>(i)];
                EXPECT_EQ(form.BarSerie->PointLabel(i), name) << when;
                EXPECT_EQ(form.DiscoSerie->PointLabel(i), name) << when;
                EXPECT_EQ(form.DiscoSerie->PointColor(i), form.Palette()[static_cast<std::size_t>(i % 16)])
                    << "colours go by position: " << when;
            }
        };
        {
            auto form = OpenAnalysed("C:\\Data");
            chartsFollowTheList(*form, "scan order before any sort");
            EXPECT_EQ(form->BarSerie->PointLabel(0), "Sub");
            for (const int column : { 0, 1, 1 }) {
                form->ListView1ColumnClick(column);
                chartsFollowTheList(*form, ("after a click on column " + std::to_string(column)).c_str());
            }
            EXPECT_EQ(form->BarSerie->PointLabel(0), "2000") << "largest first, two clicks away";
        }
        auto again = OpenAnalysed("C:\\Data");
        EXPECT_EQ(again->SortColumn(), 1);
        EXPECT_FALSE(again->SortAscending());
        EXPECT_EQ(Column(*again->ListView1, 0), (std::vector<std::string> { "2000", "Sub", "300", "Data", kAllFiles }));
        chartsFollowTheList(*again, "after a restart");
    }

    TEST_F(SizeListView, ARememberedSortThatMakesNoSenseMeansScanOrder)
    {
        MakeDataFolder();
        for (const char* column : { "5", "-2", "x" }) {
            std::ofstream(m_tree.Path() + "/tarvo.ini", std::ios::trunc)
                << "[SizeList]\r\nSortColumn=" << column << "\r\nSortAscending=0\r\n";
            auto form = OpenAnalysed("C:\\Data");
            EXPECT_EQ(form->SortColumn(), -1) << column;
            EXPECT_EQ(
                Column(*form->ListView1, 0), (std::vector<std::string> { "Sub", "300", "2000", "Data", kAllFiles }))
                << column;
        }
    }

    TEST_F(SizeListView, DoubleClickOnAFolderRowAnalysesThatFolder)
    {
        MakeDataFolder();
        auto form = OpenAnalysed("C:\\Data");
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QTreeWidget& list = *form->ListView1;
        const QPoint where = list.visualItemRect(Row(*form, "Sub")).center();
        // A real double click: press and release, then the double-click event (QTest's double
        // click alone sends only the last part).
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, where);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, where);

        EXPECT_EQ(form->CurrentDir(), "C:\\Data\\Sub\\");
        EXPECT_EQ(form->AnalysedDir(), "C:\\Data\\Sub\\");
        EXPECT_EQ(Column(list, 3), (std::vector<std::string> { "C:\\Data\\Sub\\" + kAllFiles }));
        EXPECT_EQ(Column(list, 0), (std::vector<std::string> { kAllFiles }));
    }

    TEST_F(SizeListView, RowsWithoutAFolderAndNoSelectionDoNothing)
    {
        MakeDataFolder();
        auto form = OpenAnalysed("C:\\Data");
        const auto before = Column(*form->ListView1, 3);
        const auto unchanged = [&] {
            EXPECT_EQ(form->CurrentDir(), "C:\\Data");
            EXPECT_EQ(form->AnalysedDir(), "C:\\Data");
            EXPECT_EQ(Column(*form->ListView1, 3), before);
            EXPECT_TRUE(m_opened.empty());
        };

        ASSERT_TRUE(form->ListView1->selectedItems().isEmpty());
        form->ListView1DblClick();
        form->OpenwithExplorer1->trigger();
        unchanged();

        Select(*form, kAllFiles);
        form->ListView1DblClick();
        form->OpenwithExplorer1->trigger();
        unchanged();
    }

    TEST_F(SizeListView, OpenWithExplorerOpensTheRowsFolderWithoutAnalysing)
    {
        MakeDataFolder();
        auto form = OpenAnalysed("C:\\Data");
        Select(*form, "Sub");
        form->OpenwithExplorer1->trigger();
        EXPECT_EQ(m_opened, std::vector<std::string> { "C:\\Data\\Sub\\" });
        EXPECT_EQ(form->CurrentDir(), "C:\\Data");
    }

    TEST_F(SizeListView, TheRowsFolderIsLookedForInTheCurrentFolder)
    {
        MakeDataFolder();
        auto form = OpenAnalysed("C:\\Data");
        ASSERT_EQ(form->ChangeDir("C:\\Windows"), "C:\\Windows"); // moved without a new analysis
        Select(*form, "Sub");
        form->OpenwithExplorer1->trigger();
        form->ListView1DblClick();
        EXPECT_TRUE(m_opened.empty()) << "C:\\Windows\\Sub\\ does not exist";
        EXPECT_EQ(form->AnalysedDir(), "C:\\Data");
    }

    TEST_F(SizeListView, ListsOfDifferentLengthsAreRejected)
    {
        MakeDataFolder();
        auto form = OpenAnalysed("C:\\Data");
        EXPECT_THROW(form->FillSizeList({ "C:\\Data\\x" }, {}, { "1" }), std::invalid_argument);
        EXPECT_EQ(form->ListView1->topLevelItemCount(), 5) << "the shown analysis stays";
    }

    class SizeListViewPosix : public SizeListView
    {
    protected:
        SizeListViewPosix()
            : SizeListView(PathStyle::Posix())
        {
        }
    };

    TEST_F(SizeListViewPosix, AFolderWhoseNameIsNotUtf8CanBeDrilledIntoAndOpened)
    {
        const std::string latin1 = "caf\xE9";
        m_fs.AddVolume("/", VolumeKind::vkFixed, "root", "ext4", 1024);
        m_fs.AddFile("/data/" + latin1 + "/inner/x", 4096);
        auto form = OpenAnalysed("/data");
        ASSERT_EQ(Column(*form->ListView1, 0), (std::vector<std::string> { latin1, kAllFiles }));
        EXPECT_TRUE(form->ListView1->topLevelItem(0)->text(0).contains(QChar::ReplacementCharacter));

        Select(*form, latin1);
        form->OpenwithExplorer1->trigger();
        EXPECT_EQ(m_opened, std::vector<std::string> { "/data/" + latin1 + "/" });
        form->ListView1DblClick();
        EXPECT_EQ(form->CurrentDir(), "/data/" + latin1 + "/");
        EXPECT_EQ(Column(*form->ListView1, 0), (std::vector<std::string> { "inner", kAllFiles }));
    }

} // namespace
} // namespace tarvo
