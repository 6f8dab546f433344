// Axes on a real chart: property checks, automatic scaling, labels drawn on a repaint, text
// labels that would overlap, hit test and panning.

#include "axes/ChartAxis.h"
#include "QtApp.h"
#include "axes/ChartDepthAxis.h"

#include "Chart.h"
#include "series/ChartSeries.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace tarvo
{
namespace
{

    class ChartAxisTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            test::EnsureQtApp();
            chart = std::make_unique<TChart>();
            chart->resize(751, 433);
            chart->SetView3D(false);
            InstallChartAxes(*chart);
            series = &chart->AddSeries(std::make_unique<TChartSeries>());
        }

        [[nodiscard]] TCustomChartAxis& Axis(TChartAxisRole role) const { return *chart->ChartAxis(role); }

        void Render()
        {
            QImage image(751, 433, QImage::Format_RGB32);
            QPainter painter(&image);
            chart->DrawTo(painter, { 0, 0, 751, 433 });
        }

        std::unique_ptr<TChart> chart;
        TChartSeries* series = nullptr;
    };

    TEST_F(ChartAxisTest, RejectedValuesRaiseAndKeepTheProperty)
    {
        TCustomChartAxis& axis = Axis(carLeft);
        axis.SetMaximum(5);
        const struct {
            const char* message;
            std::function<void()> set;
            std::function<bool()> unchanged;
        } rows[] = {
            { "Axis Minimum Value must be <= Maximum", [&] { axis.SetMinimum(10); },
                [&] { return axis.Minimum() == 0 && axis.Maximum() == 5; } },
            { "Axis Maximum Value must be >= Minimum", [&] { axis.SetMaximum(-1); },
                [&] { return axis.Minimum() == 0 && axis.Maximum() == 5; } },
            { "Axis increment must be >= 0", [&] { axis.SetIncrement(-1); }, [&] { return axis.Increment() == 0; } },
            { "Labels Separation % must be greater than 0", [&] { axis.SetLabelsSeparation(-1); },
                [&] { return axis.LabelsSeparation() == 10; } },
            { "Axis Logarithmic Base should be >= 2", [&] { axis.SetLogarithmicBase(1); },
                [&] { return axis.LogarithmicBase() == 10; } },
        };
        for (const auto& row : rows) {
            try {
                row.set();
                ADD_FAILURE() << "no exception: " << row.message;
            } catch (const AxisException& e) {
                EXPECT_STREQ(e.what(), row.message);
            }
            EXPECT_TRUE(row.unchanged()) << row.message;
        }
    }

    TEST_F(ChartAxisTest, AnglesOutsideTheCircleRaiseChartException)
    {
        TCustomChartAxis& axis = Axis(carLeft);
        try {
            axis.SetLabelsAngle(361);
            ADD_FAILURE();
        } catch (const ChartException& e) {
            EXPECT_STREQ(e.what(), "Axis Labels Angle must be between 0 and 359 degrees");
        }
        EXPECT_THROW(axis.Title().SetAngle(-1), ChartException);
        EXPECT_EQ(axis.Title().Angle(), 90);
        EXPECT_EQ(Axis(carRight).Title().Angle(), 270);
        axis.SetLabelsAngle(360);
        EXPECT_EQ(axis.LabelsAngle(), 360);
    }

    TEST_F(ChartAxisTest, LogarithmicNeedsNonNegativeEnds)
    {
        series->Append(-3);
        series->Append(40);
        TCustomChartAxis& axis = Axis(carLeft);
        EXPECT_THROW(axis.SetLogarithmic(true), AxisException);
        EXPECT_FALSE(axis.Logarithmic());
        series->YValues().SetDateTime(true);
        EXPECT_THROW(axis.SetLogarithmic(true), AxisException);
        series->YValues().SetDateTime(false);
        axis.SetMinMax(1, 100);
        EXPECT_NO_THROW(axis.SetLogarithmic(true));
    }

    TEST_F(ChartAxisTest, AutomaticFlagsFollowEachOther)
    {
        TCustomChartAxis& axis = Axis(carBottom);
        axis.SetAutomaticMinimum(false);
        EXPECT_FALSE(axis.Automatic());
        axis.SetAutomaticMinimum(true);
        EXPECT_TRUE(axis.Automatic()); // the other end was automatic
        axis.SetAutomatic(false);
        EXPECT_FALSE(axis.AutomaticMaximum());
        axis.SetAutomaticMaximum(true);
        EXPECT_FALSE(axis.Automatic()); // the minimum is still fixed
    }

    TEST_F(ChartAxisTest, SetMinMaxOrdersAndKeepsAGap)
    {
        TCustomChartAxis& axis = Axis(carLeft);
        axis.SetMinMax(5, 1);
        EXPECT_EQ(axis.Minimum(), 1);
        EXPECT_EQ(axis.Maximum(), 5);
        EXPECT_FALSE(axis.Automatic() || axis.AutomaticMinimum() || axis.AutomaticMaximum());
        axis.SetMinMax(3, 3);
        EXPECT_DOUBLE_EQ(axis.Maximum(), 3 + 1e-10);
    }

    TEST_F(ChartAxisTest, EndsComeFromTheRelatedSeries)
    {
        for (const double v : { 300.0, 1400.0, 50.0 })
            series->Append(v);
        Render();
        EXPECT_EQ(Axis(carBottom).Minimum(), 0);
        EXPECT_EQ(Axis(carBottom).Maximum(), 2);
        EXPECT_EQ(Axis(carLeft).Minimum(), 50);
        EXPECT_EQ(Axis(carLeft).Maximum(), 1400);
        EXPECT_EQ(Axis(carTop).Maximum(), 0); // no related series
        EXPECT_EQ(Axis(carLeft).ResolvedLabelStyle(), talValue);
        EXPECT_EQ(Axis(carTop).ResolvedLabelStyle(), talNone);
    }

    TEST_F(ChartAxisTest, ValueLabelsRunFromTheTopOnMultiplesOfTheStep)
    {
        series->Append(0);
        series->Append(1400);
        Render();
        const TCustomChartAxis& axis = Axis(carLeft);
        const double step = axis.LabelStep();
        ASSERT_GT(step, 0);
        EXPECT_DOUBLE_EQ(NextNiceStep(step / 1.5), step) << "not a 1-2-5 step";
        const std::vector<int>& ticks = axis.TickPixels();
        ASSERT_FALSE(ticks.empty());
        const double first = std::trunc(1400 / step) * step;
        for (std::size_t k = 0; k < ticks.size(); ++k)
            EXPECT_EQ(ticks[k], axis.ValueToPixel(first - static_cast<double>(k) * step)) << k;
        // Labels stay apart by their height plus the separation.
        ASSERT_GE(ticks.size(), 2U);
        EXPECT_GE(ticks[1] - ticks[0], chart->Canvas().LineHeight());
    }

    TEST_F(ChartAxisTest, EqualEndsDrawOneLabelZeroAtTheCentre)
    {
        series->Append(0);
        series->Append(0);
        Render();
        const TCustomChartAxis& axis = Axis(carLeft);
        EXPECT_EQ(axis.TickPixels(), std::vector<int> { axis.CenterPos() });
        EXPECT_EQ(axis.AxisLabelText(0), "0");
    }

    TEST_F(ChartAxisTest, LongFolderNamesDoNotOverlap)
    {
        std::vector<std::string> names;
        for (int i = 0; i < 30; ++i) {
            names.push_back("A rather long folder name number " + std::to_string(i));
            series->Append(100 + i, names.back());
        }
        int asked = 0;
        Axis(carBottom).OnGetAxisLabel = [&](const TCustomChartAxis&, TChartSeries* s, int index, std::string& text) {
            if (s == series && text == names.at(static_cast<std::size_t>(index)))
                ++asked;
        };
        Render();
        const TCustomChartAxis& axis = Axis(carBottom);
        EXPECT_EQ(axis.ResolvedLabelStyle(), talText);
        EXPECT_EQ(asked, 30);
        const std::vector<int>& drawn = axis.TickPixels();
        ASSERT_GE(drawn.size(), 2U);
        EXPECT_LT(drawn.size(), 30U);
        EXPECT_EQ(drawn.front(), axis.ValueToPixel(0)); // the first name is always drawn
        chart->UseFont(axis.LabelsFont());
        int lines = 1;
        const int width = chart->TextBlockWidth(names[0], lines);
        for (std::size_t k = 1; k < drawn.size(); ++k)
            EXPECT_GE(drawn[k] - drawn[k - 1], width) << "names " << k - 1 << " and " << k << " overlap";
    }

    TEST_F(ChartAxisTest, NextLabelEventSuppliesTheValues)
    {
        series->Append(0);
        series->Append(1000);
        std::vector<double> supplied { 100, 400, 900, 5000 };
        Axis(carLeft).OnGetNextAxisLabel = [&](const TCustomChartAxis&, int index, double& value, bool& stop) {
            value = supplied.at(static_cast<std::size_t>(index));
            stop = false;
        };
        Render();
        const TCustomChartAxis& axis = Axis(carLeft);
        // 5000 is off the axis and ends the sequence.
        EXPECT_EQ(axis.TickPixels(),
            (std::vector<int> { axis.ValueToPixel(100), axis.ValueToPixel(400), axis.ValueToPixel(900) }));
    }

    TEST_F(ChartAxisTest, RoomIsTakenOutsideThePlot)
    {
        series->Append(0, "a");
        series->Append(1400, "b");
        Render();
        const TCustomChartAxis& left = Axis(carLeft);
        const TCustomChartAxis& bottom = Axis(carBottom);
        const TRect plot = chart->ChartRect();
        EXPECT_EQ(left.PosAxis(), plot.Left);
        EXPECT_LT(left.PosLabels(), left.PosAxis());
        EXPECT_EQ(bottom.PosAxis(), plot.Bottom);
        EXPECT_GT(bottom.PosLabels(), bottom.PosAxis());
        EXPECT_TRUE(left.Clicked(left.PosAxis() - 1, left.CenterPos()));
        EXPECT_TRUE(left.Clicked(left.PosLabels() - 5, left.CenterPos())); // on a label
        EXPECT_FALSE(left.Clicked(plot.Left + 20, left.CenterPos()));
        EXPECT_FALSE(Axis(carTop).Clicked(left.PosAxis(), left.CenterPos())); // never drawn
    }

    TEST_F(ChartAxisTest, MarginsWidenTheWorkingRangeOfAutomaticEnds)
    {
        series->Append(0);
        series->Append(1400);
        Render();
        TCustomChartAxis& axis = Axis(carBottom);
        axis.WidenForMargins(20, 30);
        EXPECT_EQ(axis.ValueToPixel(0), axis.StartPos() + 20);
        EXPECT_EQ(axis.ValueToPixel(1), axis.EndPos() - 30);
        EXPECT_EQ(axis.Minimum(), 0);
        EXPECT_EQ(axis.Maximum(), 1);
        axis.SetAutomaticMinimum(false);
        axis.ScaleFromSeries();
        axis.WidenForMargins(20, 30);
        EXPECT_EQ(axis.ValueToPixel(0), axis.StartPos());
    }

    TEST_F(ChartAxisTest, ScrollWithLimitsStopsAtTheData)
    {
        series->Append(0);
        series->Append(100);
        TCustomChartAxis& axis = Axis(carLeft);
        axis.SetMinMax(0, 50);
        axis.Scroll(10, true);
        EXPECT_EQ(axis.Minimum(), 10);
        EXPECT_EQ(axis.Maximum(), 60);
        axis.SetMinMax(0, 100);
        axis.Scroll(10, true); // nothing lies above 100
        EXPECT_EQ(axis.Maximum(), 100);
        axis.Scroll(-10, true); // nor below 0
        EXPECT_EQ(axis.Minimum(), 0);
        axis.Scroll(-10, false);
        EXPECT_EQ(axis.Minimum(), -10);
    }

    TEST_F(ChartAxisTest, DepthAxisStartsHiddenAndSpansTheDepth)
    {
        TCustomChartAxis& depth = Axis(carDepth);
        EXPECT_FALSE(depth.Visible());
        EXPECT_TRUE(depth.IsDepthAxis());
        chart->SetView3D(true);
        depth.SetVisible(true);
        series->Append(5);
        Render();
        EXPECT_EQ(depth.StartPos(), 0);
        EXPECT_EQ(depth.EndPos(), chart->TotalDepth());
        EXPECT_EQ(depth.ResolvedLabelStyle(), talText);
    }

    TEST_F(ChartAxisTest, AssignCopiesEverySettingAndTheCopiedPensReportToTheirOwnChart)
    {
        TCustomChartAxis& source = Axis(carLeft);
        source.SetMinMax(-5, 25);
        source.SetIncrement(5);
        source.SetLabelsAngle(90);
        source.SetAxisValuesFormat("0.0");
        source.SetTickLength(9);
        source.SetInverted(true);
        source.SetPositionPercent(12);
        source.Grid().SetColor(clRed);
        source.LabelsFont().SetSize(14);
        source.Title().SetCaption("Size");

        TChart other;
        other.resize(751, 433);
        TCustomChartAxis& copy = *other.ChartAxis(carLeft);
        copy.Assign(source);
        EXPECT_FALSE(copy.Automatic());
        EXPECT_EQ(copy.Minimum(), -5);
        EXPECT_EQ(copy.Maximum(), 25);
        EXPECT_EQ(copy.Increment(), 5);
        EXPECT_EQ(copy.LabelsAngle(), 90);
        EXPECT_EQ(copy.AxisValuesFormat(), "0.0");
        EXPECT_EQ(copy.TickLength(), 9);
        EXPECT_TRUE(copy.Inverted());
        EXPECT_EQ(copy.PositionPercent(), 12);
        EXPECT_EQ(copy.Grid().Color(), clRed);
        EXPECT_EQ(copy.LabelsFont().Size(), 14);
        EXPECT_EQ(copy.Title().Caption(), "Size");

        // A change of the copy's pen repaints the copy's chart only.
        Render();
        QImage image(751, 433, QImage::Format_RGB32);
        QPainter painter(&image);
        other.DrawTo(painter, { 0, 0, 751, 433 });
        painter.end();
        ASSERT_FALSE(chart->Canvas().BufferDirty());
        ASSERT_FALSE(other.Canvas().BufferDirty());
        copy.Grid().SetColor(clBlue);
        EXPECT_TRUE(other.Canvas().BufferDirty());
        EXPECT_FALSE(chart->Canvas().BufferDirty());
        EXPECT_EQ(source.Grid().Color(), clRed);
    }

} // namespace
} // namespace tarvo
