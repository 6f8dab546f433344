// The window's charts: filled by an analysis, clicked into, turned and switched, on in-memory
// volumes, with the mouse at computed points of the drawn slices and bars.

#include "Chart.h"
#include "ChartSetup.h"
#include "ChartWindow.h"
#include "GuiTestSupport.h"
#include "MainForm.h"
#include "MemoryFileSystem.h"
#include "MouseEvents.h"
#include "PageControl.h"
#include "TempTree.h"
#include "TestPictures.h"
#include "bar/BarSeries.h"
#include "panel/ChartPanelTestSupport.h"
#include "pie/PieSeries.h"

#include <QAction>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tarvo
{
namespace
{

    using test::ClickAt;

    using MainFormCharts = test::ChartWindow;

    TEST_F(MainFormCharts, AnAnalysisFillsBothChartsInPaletteColoursAndNamesTheFolder)
    {
        for (int i = 0; i < 20; ++i)
            m_fs.AddFile("C:\\Many\\d" + std::to_string(100 + i) + "\\f", 1024 * 1024 * (i + 1));
        auto form = Open();
        Analyse(*form, "C:\\Many");
        for (TChart* chart : { form->Bars, form->Pies })
            EXPECT_EQ(
                chart->Title().Text(), (QStringList { QStringLiteral("Folder Size in:"), QStringLiteral("C:\\Many") }));
        // 21 entries: the pie names the 14 largest (d106 … d119) in the palette's first 14 slots,
        // its 14 colours, and gathers d100 … d105 and the folder's own files in its "Other"
        // slice (point 21, added as the pie is drawn); each bar keeps its entry's slot.
        ASSERT_EQ(form->BarSerie->PointCount(), 21);
        ASSERT_GE(form->DiscoSerie->PointCount(), 21);
        for (int i = 0; i < 21; ++i) {
            const TColor expected = form->Palette()[static_cast<std::size_t>(i % 16)];
            EXPECT_EQ(form->BarSerie->PointColor(i), expected) << i;
            if (i >= 6 && i < 20)
                EXPECT_EQ(form->DiscoSerie->PointColor(i), form->Palette()[static_cast<std::size_t>(i - 6)]) << i;
            else
                EXPECT_EQ(form->DiscoSerie->PointColor(i), expected) << i;
        }
        EXPECT_EQ(form->DiscoSerie->PointLabel(20), "<All files in this folder>");
        EXPECT_EQ(form->DiscoSerie->PointColor(20), form->Palette()[4]);
        EXPECT_DOUBLE_EQ(form->BarSerie->YValue(19), 20.0) << "megabytes, as the list shows them";
    }

    TEST_F(MainFormCharts, BadChartInputRaisesBeforeAChartChanges)
    {
        auto form = Open();
        Analyse(*form, "C:\\Data");
        const int points = form->DiscoSerie->PointCount();
        EXPECT_THROW(form->FillCharts({ "C:\\x", "C:\\y" }, { "1", "lots" }, 2), std::invalid_argument);
        EXPECT_THROW(form->FillCharts({ "C:\\x", "C:\\y" }, { "1" }, 2), std::invalid_argument);
        EXPECT_EQ(form->DiscoSerie->PointCount(), points);
        EXPECT_EQ(form->Bars->Title().Text().value(1), QStringLiteral("C:\\Data"));
    }

    // Clicks on the analysis of C:\Data: Sub, Other, then the folder's own files.
    TEST_F(MainFormCharts, ClicksDrillInOpenOrDoNothingByButton)
    {
        auto form = Open();
        Analyse(*form, "C:\\Data");
        ASSERT_EQ(form->DiscoSerie->PointLabel(0), "Sub");

        ClickAt(*form->Pies, SliceCentre(*form, 0), Qt::MiddleButton);
        EXPECT_EQ(form->AnalysedDir(), "C:\\Data") << "a middle click does nothing";

        PickPage(*form, 1);
        form->Bars->repaint();
        ClickAt(*form->Bars, BarCentre(*form, 1), Qt::RightButton);
        EXPECT_EQ(m_opened, (std::vector<std::string> { "C:\\Data\\Other\\" }));
        EXPECT_EQ(form->CurrentDir(), "C:\\Data") << "opening a folder is no navigation";
        EXPECT_EQ(form->DiscoSerie->PointCount(), 3);

        PickPage(*form, 2);
        form->Pies->repaint();
        test::DoubleClickAt(*form->Pies, SliceCentre(*form, 0));
        EXPECT_EQ(form->CurrentDir(), "C:\\Data\\Sub\\");
        EXPECT_EQ(form->AnalysedDir(), "C:\\Data\\Sub\\") << "the double click's second press drills no further";
        EXPECT_EQ(form->DiscoSerie->PointCount(), 1);

        // The folder's own files stand for the analysed folder, wherever navigation went since.
        form->Pies->repaint();
        form->ChangeDir("C:\\");
        ClickAt(*form->Pies, SliceCentre(*form, 0));
        EXPECT_EQ(form->CurrentDir(), "C:\\Data\\Sub\\");
        EXPECT_EQ(form->AnalysedDir(), "C:\\Data\\Sub\\");
        EXPECT_TRUE(test::ShownMessages().empty());
    }

    // 21 entries: the pie names the 14 largest, among them a real folder called "Other", and
    // gathers the six smallest and the folder's own files in its "Other" slice.
    TEST_F(MainFormCharts, TheOtherSliceShowsTheListAndAFolderNamedOtherStillDrillsIn)
    {
        for (int i = 0; i < 19; ++i)
            m_fs.AddFile("C:\\Many\\d" + std::to_string(100 + i) + "\\f", 1024 * 1024 * (i + 1));
        m_fs.AddFile("C:\\Many\\Other\\f", 40 * 1024 * 1024);
        auto form = Open();
        Analyse(*form, "C:\\Many");
        const TPieSeries& pie = *form->DiscoSerie;
        const int gathered = pie.PointCount() - 1;
        ASSERT_TRUE(pie.IsOtherSlice(gathered));
        int folder = 0;
        while (folder < gathered && pie.PointLabel(folder) != "Other")
            ++folder;
        ASSERT_LT(folder, gathered);
        ASSERT_FALSE(pie.IsFolded(folder)) << "the folder named Other has a slice of its own";
        EXPECT_EQ(pie.PointLabel(gathered), "Other");
        EXPECT_EQ(pie.PointColor(gathered), kOtherSliceColor);

        ClickAt(*form->Pies, SliceCentre(*form, gathered), Qt::RightButton);
        EXPECT_TRUE(m_opened.empty()) << "a right click on Other opens nothing";
        EXPECT_EQ(form->PageControl1->ActivePageIndex(), 2);

        form->Move->click(); // turning: showing the list stops it, as a click on its tab does
        ClickAt(*form->Pies, SliceCentre(*form, gathered));
        EXPECT_EQ(form->PageControl1->ActivePageIndex(), 0) << "the size list, where every entry is";
        EXPECT_FALSE(form->Move->isChecked());
        EXPECT_EQ(form->AnalysedDir(), "C:\\Many") << "no analysis";
        EXPECT_EQ(form->CurrentDir(), "C:\\Many");
        EXPECT_EQ(pie.PointCount(), gathered + 1);

        PickPage(*form, 2);
        form->Pies->repaint();
        ClickAt(*form->Pies, SliceCentre(*form, folder));
        EXPECT_EQ(form->AnalysedDir(), "C:\\Many\\Other\\");
        EXPECT_TRUE(test::ShownMessages().empty());
    }

    class MainFormChartsPosix : public test::ChartWindow
    {
    protected:
        MainFormChartsPosix()
            : ChartWindow(PathStyle::Posix())
        {
        }
    };

    // A name that is not UTF-8 shows replacement characters; one that begins with "<" looks like
    // a pseudo-entry. Both are still folders, reached by their own bytes.
    TEST_F(MainFormChartsPosix, OddNamesAreDrilledIntoByTheirBytes)
    {
        const std::string odd = "/data/caf\xE9";
        m_fs.AddFile(odd + "/f", 4 * 1024 * 1024);
        m_fs.AddFile("/data/<x>/f", 2 * 1024 * 1024);
        auto form = Open();
        for (const std::string& folder : { odd, std::string("/data/<x>") }) {
            Analyse(*form, "/data");
            int index = 0;
            while (index < form->DiscoSerie->PointCount()
                && m_fs.Style().FileName(folder) != form->DiscoSerie->PointLabel(index))
                ++index;
            ASSERT_LT(index, form->DiscoSerie->PointCount()) << folder;
            ClickAt(*form->Pies, SliceCentre(*form, index));
            EXPECT_EQ(form->CurrentDir(), folder + "/");
            EXPECT_EQ(form->AnalysedDir(), folder + "/");
        }
    }

    TEST_F(MainFormCharts, TheTimerTurnsThePieOnlyWhileRotateIsDown)
    {
        auto form = Open();
        form->DiscoSerie->SetRotationAngle(359);
        form->Timer1Timer();
        EXPECT_EQ(form->DiscoSerie->RotationAngle(), 359);
        form->Move->click();
        form->Timer1Timer();
        EXPECT_EQ(form->DiscoSerie->RotationAngle(), 0);

        PickPage(*form, 0);
        EXPECT_FALSE(form->Move->isChecked());
        EXPECT_FALSE(form->Move->isEnabled());
        PickPage(*form, 2);
        EXPECT_TRUE(form->Move->isEnabled());
        EXPECT_FALSE(form->Move->isChecked());
    }

    TEST_F(MainFormCharts, ChartSwitchesActOnBothCharts)
    {
        auto form = Open();
        const bool butt3D = form->Butt3D->isChecked();
        form->actToggle3D->trigger();
        EXPECT_FALSE(form->Bars->View3D());
        EXPECT_FALSE(form->Pies->View3D());
        form->actToggle3D->trigger();
        EXPECT_TRUE(form->Bars->View3D());
        EXPECT_TRUE(form->Pies->View3D());
        EXPECT_EQ(form->Butt3D->isChecked(), butt3D) << "the menu leaves the button alone";
        EXPECT_FALSE(form->actToggle3D->isCheckable());
        form->Butt3D->click();
        EXPECT_NE(form->Butt3D->isChecked(), butt3D);
        EXPECT_FALSE(form->Bars->View3D());

        form->actShowLabels->trigger();
        EXPECT_FALSE(form->BarSerie->Marks().Visible());
        EXPECT_FALSE(form->DiscoSerie->Marks().Visible());
        EXPECT_FALSE(form->actShowLabels->isChecked());
        form->actShowLegend->trigger();
        EXPECT_FALSE(form->Bars->Legend()->Visible());
        EXPECT_FALSE(form->Pies->Legend()->Visible());
        EXPECT_FALSE(form->actShowLegend->isChecked());

        form->FreeSpaceButt->click();
        EXPECT_EQ(form->DiscoSerie->PointCount(), 0) << "the button is read by the next Run only";
        Analyse(*form, "C:\\");
        EXPECT_EQ(form->DiscoSerie->PointLabel(form->DiscoSerie->PointCount() - 1), "<Free Space>");
    }

    TEST_F(MainFormCharts, TheScreenShowsThePaletteTurnsAndZooms)
    {
        for (int i = 0; i < 4; ++i)
            m_fs.AddFile("C:\\Even\\d" + std::to_string(i) + "\\f", 1024 * 1024);
        auto form = Open();
        form->actToggle3D->trigger(); // flat: every slice's middle lies inside it
        Analyse(*form, "C:\\Even");
        const QPoint middle = SliceCentre(*form, 1);
        EXPECT_EQ(test::PixelColor(form->Pies->grab().toImage(), middle.x(), middle.y()), form->Palette()[1]);
        form->DiscoSerie->Rotate(90);
        form->Pies->repaint();
        EXPECT_EQ(test::PixelColor(form->Pies->grab().toImage(), middle.x(), middle.y()), form->Palette()[0])
            << "turned counter-clockwise by one slice, the one before it shows there";

        PickPage(*form, 1);
        form->Bars->repaint();
        // A drag from above the first bar (a press on a bar would be a click) to its far corner.
        const TRect plot = form->Bars->ChartRect();
        const int left = form->BarSerie->PointX(0);
        test::Drag(*form->Bars, { left + 1, plot.Top + 2 }, { left + form->BarSerie->BarWidth() - 1, plot.Bottom - 1 });
        EXPECT_TRUE(form->Bars->Zoomed());
        form->Bars->repaint();
        const QImage zoomed = form->Bars->grab().toImage();
        ASSERT_TRUE(zoomed.save(test::PicturesFolder() + "/window-bars-zoomed.png"));
        const TRect r = form->Bars->ChartRect();
        EXPECT_EQ(test::PixelColor(zoomed, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2), form->Palette()[0]);

        Analyse(*form, "C:\\Even");
        EXPECT_FALSE(form->Bars->Zoomed());
        EXPECT_TRUE(form->Bars->Axis(carBottom)->RangeSettings().Automatic)
            << "a new analysis is shown on its own scale";
        EXPECT_EQ(form->BarSerie->PointAt(BarCentre(*form, 3).x(), BarCentre(*form, 3).y()), 3);
    }

} // namespace
} // namespace tarvo
