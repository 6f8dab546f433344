// The order of one repaint, seen through recording axes, legend and series; the series list;
// invalidation and the drawing helpers.

#include "panel/ChartPanelTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tarvo
{
namespace
{

    using test::BoxSeries;
    using Log = std::vector<std::string>;

    class RecordingAxis : public TChartLayoutAxis
    {
    public:
        RecordingAxis(Log& log, std::string name, bool horizontal, TRect claim)
            : m_log(log)
            , m_name(std::move(name))
            , m_horizontal(horizontal)
            , m_claim(claim)
        {
        }
        [[nodiscard]] bool Horizontal() const override { return m_horizontal; }
        [[nodiscard]] bool Inverted() const override { return false; }
        [[nodiscard]] int ValueToPixel(double value) const override { return static_cast<int>(value); }
        // Pixels 100, 110, … show the values 0, 1, …
        [[nodiscard]] double PixelToValue(int pixel) const override { return (pixel - 100) / 10.0; }
        [[nodiscard]] std::string AxisLabelText(double) const override { return {}; }
        [[nodiscard]] bool Visible() const override { return visible; }
        [[nodiscard]] bool IsDepthAxis() const override { return false; }
        void ScaleFromSeries() override { m_log.push_back("scale " + m_name); }
        [[nodiscard]] TRect ClaimSpace(const TRect&) override
        {
            m_log.push_back("claim " + m_name);
            return m_claim;
        }
        void ComputePosition() override { m_log.push_back("position " + m_name); }
        void WidenForMargins(int start, int end) override
        {
            m_log.push_back("margins " + m_name + " " + std::to_string(start) + " " + std::to_string(end));
        }
        void Draw(bool) override { m_log.push_back("draw " + m_name); }
        [[nodiscard]] double Minimum() const override { return range.Minimum; }
        [[nodiscard]] double Maximum() const override { return range.Maximum; }
        [[nodiscard]] int StartPos() const override { return 0; }
        [[nodiscard]] int EndPos() const override { return 0; }
        [[nodiscard]] TAxisRangeSettings RangeSettings() const override { return range; }
        void SetRangeSettings(const TAxisRangeSettings& value) override { range = value; }
        void SetMinMax(double minimum, double maximum) override { range = { false, false, false, minimum, maximum }; }
        void Scroll(double offset, bool) override { SetMinMax(range.Minimum + offset, range.Maximum + offset); }
        [[nodiscard]] bool Clicked(int, int) const override { return false; }
        bool visible = true;
        TAxisRangeSettings range;

    private:
        Log& m_log;
        std::string m_name;
        bool m_horizontal;
        TRect m_claim;
    };

    class RecordingLegend : public TChartLayoutLegend
    {
    public:
        RecordingLegend(Log& log, TCustomChart&, bool vertical)
            : m_log(log)
            , m_vertical(vertical)
        {
        }
        [[nodiscard]] bool Visible() const override { return true; }
        void SetVisible(bool) override { }
        [[nodiscard]] bool Vertical() const override { return m_vertical; }
        [[nodiscard]] TLegendTextStyle TextStyle() const override { return ltsLeftValue; }
        [[nodiscard]] int RowAt(int, int) const override { return -1; }
        [[nodiscard]] TColor Color() const override { return clAqua; }
        [[nodiscard]] TRect DrawLegend(const TRect& chartRect) override
        {
            m_log.push_back("legend at top " + std::to_string(chartRect.Top));
            TRect r = chartRect;
            r.Right -= 100;
            return r;
        }

    private:
        Log& m_log;
        bool m_vertical;
    };

    struct Pipeline : ::testing::Test {
        void SetUp() override
        {
            test::EnsureQtApp();
            chart = std::make_unique<TChart>();
            chart->resize(751, 433);
            chart->SetView3D(false);
            test::HideLegend(*chart);
            auto bottomAxis = std::make_unique<RecordingAxis>(log, "bottom", true, TRect { 0, 0, 10000, 400 });
            auto leftAxis = std::make_unique<RecordingAxis>(log, "left", false, TRect { 60, 0, 10000, 10000 });
            bottom = bottomAxis.get();
            left = leftAxis.get();
            chart->SetAxis(carBottom, std::move(bottomAxis));
            chart->SetAxis(carLeft, std::move(leftAxis));
            series = &static_cast<BoxSeries&>(chart->AddSeries(std::make_unique<BoxSeries>()));
            series->SetName("first");
            series->Append(40);
            series->BeforeDrawValues = [this](TChartSeries&) { log.push_back("series"); };
            series->AfterDrawValues = [this](TChartSeries&) { log.push_back("series done"); };
            chart->OnBeforeDrawAxes = [this](TCustomAxisPanel&) { log.push_back("before axes"); };
            chart->OnBeforeDrawSeries = [this](TCustomAxisPanel&) { log.push_back("before series"); };
            chart->OnAfterDraw = [this](TCustomAxisPanel&) { log.push_back("after draw"); };
        }
        void Draw()
        {
            test::Render(*chart);
            for (const std::string& entry : series->log)
                log.insert(log.begin(), entry);
        }
        Log log;
        std::unique_ptr<TChart> chart;
        RecordingAxis* bottom = nullptr;
        RecordingAxis* left = nullptr;
        BoxSeries* series = nullptr;
    };

    TEST_F(Pipeline, RunsInItsFixedOrder)
    {
        series->horizMargins[0] = 5;
        series->horizMargins[1] = 7;
        Draw();
        const Log expected = { "PrepareDraw first", "scale bottom", "scale left", "claim bottom", "claim left",
            "position bottom", "position left", "margins left 0 0", "margins bottom 5 7", "before axes", "draw bottom",
            "draw left", "before series", "series", "series done", "after draw" };
        EXPECT_EQ(log, expected);
    }

    TEST_F(Pipeline, AxesTakeTheirRoomByIntersection)
    {
        Draw();
        // Bottom axis leaves rows up to 400, the left one columns from 60.
        EXPECT_EQ(chart->ChartRect(), (TRect { 60, 17, 728, 400 }));
    }

    TEST_F(Pipeline, HiddenAxesAndAxesWithoutSeriesAreNeitherMeasuredNorDrawn)
    {
        left->visible = false;
        chart->SetAxis(carTop, std::make_unique<RecordingAxis>(log, "top", true, TRect {}));
        Draw();
        const auto has
            = [this](const std::string& entry) { return std::find(log.begin(), log.end(), entry) != log.end(); };
        EXPECT_FALSE(has("claim left"));
        EXPECT_FALSE(has("draw left"));
        EXPECT_TRUE(has("scale top")) << "every axis scales";
        EXPECT_FALSE(has("claim top")) << "no series is drawn against the top axis";
        EXPECT_FALSE(has("draw top"));
        EXPECT_TRUE(has("draw bottom"));

        log.clear();
        chart->SetAxisVisible(false);
        Draw();
        EXPECT_FALSE(has("draw bottom"));
        EXPECT_FALSE(has("before axes"));
    }

    TEST_F(Pipeline, SideLegendComesBeforeTheTitleOthersAfterIt)
    {
        chart->Title().SetText({ QStringLiteral("Title") });
        chart->SetLegend(std::make_unique<RecordingLegend>(log, *chart, true));
        Draw();
        EXPECT_NE(std::find(log.begin(), log.end(), "legend at top 17"), log.end());
        EXPECT_EQ(chart->LegendColor(), clAqua);

        log.clear();
        chart->SetLegend(std::make_unique<RecordingLegend>(log, *chart, false));
        Draw();
        EXPECT_EQ(std::find(log.begin(), log.end(), "legend at top 17"), log.end()) << "the title took its room first";
    }

    TEST_F(Pipeline, TheChartsOwnAxesAndLegendKeepTheirSettingsReachableUntilReplaced)
    {
        EXPECT_EQ(chart->ChartAxis(carBottom), nullptr) << "a recording axis has no axis settings";
        ASSERT_NE(chart->ChartAxis(carTop), nullptr);
        EXPECT_EQ(chart->ChartAxis(carTop), chart->Axis(carTop));
        ASSERT_NE(chart->ChartLegend(), nullptr);
        EXPECT_EQ(chart->ChartLegend(), chart->Legend());
        chart->SetLegend(std::make_unique<RecordingLegend>(log, *chart, true));
        EXPECT_EQ(chart->ChartLegend(), nullptr);
        InstallChartAxes(*chart);
        EXPECT_EQ(chart->ChartAxis(carBottom), chart->Axis(carBottom));
    }

    TEST_F(Pipeline, NoLegendWithoutActiveSeries)
    {
        chart->SetLegend(std::make_unique<RecordingLegend>(log, *chart, true));
        series->SetActive(false);
        Draw();
        for (const std::string& entry : log)
            EXPECT_EQ(entry.rfind("legend", 0), std::string::npos);
        EXPECT_EQ(std::find(log.begin(), log.end(), "series"), log.end()) << "inactive series are not drawn";
    }

    TEST(ChartPanelSeries, SeriesSharingADepthSliceAreDrawnPointByPoint)
    {
        test::EnsureQtApp();
        TChart chart;
        auto& a = static_cast<BoxSeries&>(chart.AddSeries(std::make_unique<BoxSeries>()));
        auto& b = static_cast<BoxSeries&>(chart.AddSeries(std::make_unique<BoxSeries>()));
        a.SetDepthOrder(0);
        b.SetDepthOrder(0);
        for (int i = 0; i < 3; ++i)
            a.Append(10 + i);
        b.Append(50);
        std::vector<std::string> order;
        a.BeforeDrawValues = [&](TChartSeries&) { order.push_back("a begins"); };
        b.BeforeDrawValues = [&](TChartSeries&) { order.push_back("b begins"); };
        test::Render(chart);
        EXPECT_EQ(a.drawnPoints, (std::vector<int> { 0, 1, 2 }));
        EXPECT_EQ(b.drawnPoints, (std::vector<int> { 0 })) << "b has one point only";
        EXPECT_EQ(order, (std::vector<std::string> { "a begins", "b begins" }));
        EXPECT_EQ(chart.MaxDepthOrder(), 0);
        EXPECT_EQ(a.StartZ(), b.StartZ());
    }

    TEST(ChartPanelSeries, ChartOwnsAddedSeriesAndDetachesEveryoneOnDestruction)
    {
        test::EnsureQtApp();
        BoxSeries outside;
        {
            TChart chart;
            chart.AddSeries(std::make_unique<BoxSeries>());
            chart.AddSeries(outside);
            chart.AddSeries(outside);
            EXPECT_EQ(chart.SeriesCount(), 2) << "joining twice lists once";
            EXPECT_EQ(chart.Series(1), &outside);
            EXPECT_NE(outside.SeriesColor(), clDefaultColor) << "a joining series gets a palette colour";
            EXPECT_THROW(static_cast<void>(chart.Series(2)), ChartListIndexError);
        }
        EXPECT_EQ(outside.ParentChart(), nullptr);
    }

    TEST(ChartPanelSeries, ASeriesLeavingTheChartLeavesTheList)
    {
        test::EnsureQtApp();
        TChart chart;
        {
            BoxSeries shortLived;
            chart.AddSeries(shortLived);
            EXPECT_EQ(chart.SeriesCount(), 1);
        }
        EXPECT_EQ(chart.SeriesCount(), 0);
    }

    TEST(ChartPanelInvalidation, ChangesDirtyTheBufferOnlyWhenTheyChangeSomething)
    {
        test::EnsureQtApp();
        TChart chart;
        chart.resize(200, 100);
        test::Render(chart);
        EXPECT_FALSE(chart.Canvas().BufferDirty());
        chart.SetChart3DPercent(chart.Chart3DPercent());
        chart.Title().SetText({});
        EXPECT_FALSE(chart.Canvas().BufferDirty()) << "unchanged values repaint nothing";
        chart.Title().Font().SetColor(clRed);
        EXPECT_TRUE(chart.Canvas().BufferDirty()) << "a sub-object's change repaints";
        test::Render(chart);
        chart.BackWall().Pen().SetWidth(3);
        EXPECT_TRUE(chart.Canvas().BufferDirty());
        test::Render(chart);
        chart.Gradient().SetVisible(true);
        EXPECT_TRUE(chart.Canvas().BufferDirty());
        test::Render(chart);
        chart.View3DOptions().SetRotation(10);
        EXPECT_TRUE(chart.Canvas().BufferDirty());
    }

    struct BrushCase {
        const char* what;
        TColor color;
        TBrushStyle style;
        TColor backColor;
        TColor expectedColor;
        int expectedMode;
    };

    class ChartPanelApplyBrush : public ::testing::TestWithParam<BrushCase>
    {
    };

    TEST_P(ChartPanelApplyBrush, SetsColourStyleAndBackground)
    {
        test::EnsureQtApp();
        TChart chart;
        const BrushCase& c = GetParam();
        chart.ApplyBrush(c.color, c.style, c.backColor);
        EXPECT_EQ(chart.Canvas().Brush().Color(), c.expectedColor) << c.what;
        EXPECT_EQ(chart.Canvas().Brush().Style(), c.style) << c.what;
        EXPECT_EQ(chart.Canvas().BackgroundMode(), c.expectedMode) << c.what;
        if (c.expectedMode == OPAQUE) {
            EXPECT_EQ(chart.Canvas().BackgroundColor(), c.backColor) << c.what;
        }
    }

    INSTANTIATE_TEST_SUITE_P(Rules, ChartPanelApplyBrush,
        ::testing::Values(BrushCase { "solid", clRed, bsSolid, clRed, clRed, TRANSPARENT },
            BrushCase { "hatch", clRed, bsCross, clWhite, clRed, OPAQUE },
            BrushCase { "hatch like its background", clWhite, bsCross, clWhite, clBlack, OPAQUE },
            BrushCase { "black hatch on black", clBlack, bsFDiagonal, clBlack, clWhite, OPAQUE }));

    TEST(ChartPanelText, TextBlockWidthMeasuresTheWidestLine)
    {
        test::EnsureQtApp();
        TChart chart;
        int lines = 0;
        EXPECT_EQ(chart.TextBlockWidth(QString(), lines), 0);
        EXPECT_EQ(lines, 1);
        const int wide = chart.Canvas().TextWidth(QStringLiteral("a much longer line"));
        EXPECT_EQ(chart.TextBlockWidth(QStringLiteral("short\ra much longer line\rmid"), lines), wide);
        EXPECT_EQ(lines, 3);
        EXPECT_EQ(chart.TextBlockWidth(std::string_view("x\ry"), lines), chart.Canvas().TextWidth(QStringLiteral("x")));
        EXPECT_EQ(lines, 2);
    }

    TEST(ChartPanelText, UseFontCopiesTheFontAndKeepsItsPointSize)
    {
        test::EnsureQtApp();
        TChart chart;
        TChartFont font;
        font.SetSize(12);
        font.SetColor(clRed);
        chart.UseFont(font);
        font.SetColor(clBlue);
        EXPECT_EQ(chart.Canvas().Font().Color(), clRed) << "copied, not shared";
        EXPECT_EQ(chart.Canvas().Font().Size(), 12);
    }

} // namespace
} // namespace tarvo
