// A full repaint of a large chart (1600 × 900, 200 boxes with their marks), flat and in 3D, and
// a repaint of an unchanged chart, which only copies the off-screen buffer; the program's pie
// and bar charts with 500 points each; a tick of the turning pie, a frame of an animated zoom
// and a move of the zoom band; hit tests on 10,000 points. Run with the offscreen
// platform: QT_QPA_PLATFORM=offscreen build/bench/tarvo_chart_bench

#include "Chart.h"
#include "ChartSetup.h"
#include "bar/BarSeries.h"
#include "pie/PieSeries.h"
#include "series/ChartSeries.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>

namespace tarvo
{
namespace
{

    // Point i is a box in the i-th column of the plot, its value percent of the plot high.
    class BenchBoxSeries : public TChartSeries
    {
    public:
        void DrawPoint(int index) override
        {
            TChartSeriesHost& chart = *ParentChart();
            const TRect r = chart.ChartRect();
            const int count = PointCount();
            const int left = r.Left + r.Width() * index / count;
            const int right = r.Left + r.Width() * (index + 1) / count - 1;
            const int top = r.Bottom - static_cast<int>(r.Height() * YValue(index) / 100.0);
            chart.ApplyBrush(PointColor(index), bsSolid, clWhite);
            chart.Canvas().Box3D(left, right, top, r.Bottom, StartZ(), EndZ(), true);
        }
    };

    std::unique_ptr<TChart> MakeChart(bool view3D, bool clipPoints = true)
    {
        auto chart = std::make_unique<TChart>();
        chart->resize(1600, 900);
        chart->SetView3D(view3D);
        chart->SetClipPoints(clipPoints);
        chart->Gradient().SetVisible(true);
        chart->Gradient().SetStartColor(0x408000);
        chart->Gradient().SetEndColor(clNavy);
        chart->Title().SetText({ QStringLiteral("Folder Size in:"), QStringLiteral("/usr/share") });
        auto& series = chart->AddSeries(std::make_unique<BenchBoxSeries>());
        series.SetColorEachPoint(true);
        series.Marks().SetVisible(true);
        for (int i = 0; i < 200; ++i)
            series.Append(10 + (i * 37) % 90, "folder " + std::to_string(i));
        return chart;
    }

    void FullRepaint(benchmark::State& state)
    {
        auto chart = MakeChart(state.range(0) != 0, state.range(1) != 0);
        QImage window(1600, 900, QImage::Format_RGB32);
        QPainter painter(&window);
        for (auto _ : state) {
            chart->Invalidate();
            chart->DrawTo(painter, chart->ClientRect());
        }
        state.SetLabel(std::string(state.range(0) != 0 ? "3D" : "flat")
            + (state.range(1) != 0 ? ", clipped" : ", ClipPoints off"));
    }
    // Arguments: 3D, ClipPoints. The unclipped 3D run shows what the clip region costs.
    BENCHMARK(FullRepaint)->Args({ 0, 1 })->Args({ 1, 1 })->Args({ 1, 0 })->Unit(benchmark::kMillisecond);

    void UnchangedRepaint(benchmark::State& state)
    {
        auto chart = MakeChart(true);
        QImage window(1600, 900, QImage::Format_RGB32);
        QPainter painter(&window);
        chart->DrawTo(painter, chart->ClientRect());
        for (auto _ : state) {
            if (!chart->Canvas().RedrawFromBuffer(painter))
                state.SkipWithError("the buffer was not clean");
        }
    }
    BENCHMARK(UnchangedRepaint)->Unit(benchmark::kMillisecond);

    // The main window's two charts after analysing a folder of count subfolders. Folder-like
    // sizes spread over five orders of magnitude, as real folders' do (a handful large, most
    // small: in /usr/share the median subfolder holds 0.03 % of the largest); even sizes make
    // every bar tall and every slice as wide as the next, the worst case for drawing.
    struct ProgramCharts {
        TChart bars;
        TChart pies;
        TBarSeries barSeries;
        TPieSeries pieSeries;

        ProgramCharts(int count, bool evenSizes)
        {
            static constexpr std::array<TColor, 16> palette { clWhite, clNavy, clBlue, clPurple, clMaroon, clRed,
                clFuchsia, clGray, clTeal, clGreen, clLime, clOlive, clYellow, clSilver, clSilver, clGray };
            SetUpBarChart(bars, barSeries);
            SetUpPieChart(pies, pieSeries);
            for (TChart* chart : { &bars, &pies }) {
                chart->resize(1600, 900);
                chart->Title().SetText({ QStringLiteral("Folder Size in:"), QStringLiteral("/usr/share") });
            }
            for (int i = 0; i < count; ++i) {
                const int spread = (i * 7919) % 1000; // a fixed shuffle of 0 … 999
                const double megabytes
                    = evenSizes ? 0.01 * ((i * 7919) % 100000) : std::pow(10.0, -2.0 + 5.0 * spread / 1000.0);
                const std::string label = "folder " + std::to_string(i);
                const TColor color = palette[static_cast<std::size_t>(i % 16)];
                pieSeries.AddPie(megabytes, label, color);
                barSeries.AddBar(megabytes, label, color);
            }
        }
        ~ProgramCharts()
        {
            barSeries.SetParentChart(nullptr);
            pieSeries.SetParentChart(nullptr);
        }
        ProgramCharts(const ProgramCharts&) = delete;
        ProgramCharts& operator=(const ProgramCharts&) = delete;
    };

    // Arguments: chart (0 pie, 1 bars), sizes (0 folder-like, 1 even).
    void ProgramRepaint(benchmark::State& state)
    {
        const bool pie = state.range(0) == 0;
        ProgramCharts charts(500, state.range(1) != 0);
        TChart& chart = pie ? charts.pies : charts.bars;
        QImage window(1600, 900, QImage::Format_RGB32);
        QPainter painter(&window);
        for (auto _ : state) {
            chart.Invalidate();
            chart.DrawTo(painter, chart.ClientRect());
        }
        const TChartSeries& series = *chart.Series(0);
        int marks = 0;
        for (int i = 0; i < series.PointCount(); ++i)
            marks += series.MarkPositions().Has(i) ? 1 : 0;
        state.counters["marks drawn"] = marks;
        state.SetLabel(std::string(pie ? "pie, 500 slices" : "bars, 500 bars")
            + (state.range(1) != 0 ? ", even sizes" : ", folder-like sizes"));
    }
    BENCHMARK(ProgramRepaint)->ArgsProduct({ { 0, 1 }, { 0, 1 } })->Unit(benchmark::kMillisecond);

    // One tick of a turning pie: Rotate(1) and the repaint it asks for, with 200 and with 5,000
    // slices. The tick comes every 20 ms; a still pie (Rotate(0)) must ask for nothing.
    void PieRotationFrame(benchmark::State& state)
    {
        const int count = static_cast<int>(state.range(0));
        ProgramCharts charts(count, false);
        QImage window(1600, 900, QImage::Format_RGB32);
        QPainter painter(&window);
        charts.pies.DrawTo(painter, charts.pies.ClientRect());
        charts.pieSeries.Rotate(0);
        if (charts.pies.Canvas().BufferDirty())
            state.SkipWithError("Rotate(0) asked for a repaint");
        for (auto _ : state) {
            charts.pieSeries.Rotate(1);
            charts.pies.DrawTo(painter, charts.pies.ClientRect());
        }
        state.SetLabel("pie, " + std::to_string(count) + " slices");
    }
    BENCHMARK(PieRotationFrame)->Arg(200)->Arg(5000)->Unit(benchmark::kMillisecond);

    // One intermediate frame of an animated zoom on the bar chart with 200 bars: every axis a
    // third nearer its target, then the whole chart drawn; frames alternate between two ranges
    // so that each one really differs from the last.
    void ZoomAnimationFrame(benchmark::State& state)
    {
        ProgramCharts charts(200, false);
        QImage window(1600, 900, QImage::Format_RGB32);
        QPainter painter(&window);
        charts.bars.DrawTo(painter, charts.bars.ClientRect());
        TChartLayoutAxis& bottom = *charts.bars.Axis(carBottom);
        TChartLayoutAxis& left = *charts.bars.Axis(carLeft);
        const double bottomMax = bottom.Maximum();
        const double leftMax = left.Maximum();
        bool odd = false;
        for (auto _ : state) {
            odd = !odd;
            const double share = odd ? 2.0 / 3.0 : 4.0 / 9.0;
            bottom.SetMinMax(0.0, bottomMax * share);
            left.SetMinMax(0.0, leftMax * share);
            charts.bars.DrawTo(painter, charts.bars.ClientRect());
        }
        state.SetLabel("bars, 200 bars");
    }
    BENCHMARK(ZoomAnimationFrame)->Unit(benchmark::kMillisecond);

    // Moving the zoom band: the old band off and the new one on, straight onto the clean
    // picture, and the picture copied to the window; the chart is not drawn again.
    void ZoomBandMove(benchmark::State& state)
    {
        ProgramCharts charts(200, false);
        QImage window(1600, 900, QImage::Format_RGB32);
        QPainter painter(&window);
        charts.bars.DrawTo(painter, charts.bars.ClientRect());
        charts.bars.ZoomState() = { 200, 200, 600, 500, true };
        int draws = 0;
        charts.bars.OnAfterDraw = [&draws](TCustomAxisPanel&) { ++draws; };
        for (auto _ : state) {
            TZoomPanningRecord& zoom = charts.bars.ZoomState();
            charts.bars.Canvas().DrawOverBuffer([&] {
                charts.bars.DrawZoomRectangle();
                zoom.X1 = zoom.X1 == 600 ? 601 : 600;
                charts.bars.DrawZoomRectangle();
            });
            if (!charts.bars.Canvas().RedrawFromBuffer(painter))
                state.SkipWithError("the band made the picture dirty");
        }
        if (draws != 0)
            state.SkipWithError("moving the band drew the chart");
    }
    BENCHMARK(ZoomBandMove)->Unit(benchmark::kMillisecond);

    // PointAt over the points as the chart last drew them; the probes sweep the plot.
    void PointAtOn10000(benchmark::State& state)
    {
        ProgramCharts charts(10000, false);
        TChart& chart = state.range(0) == 0 ? charts.pies : charts.bars;
        TChartSeries& series = state.range(0) == 0 ? static_cast<TChartSeries&>(charts.pieSeries)
                                                   : static_cast<TChartSeries&>(charts.barSeries);
        QImage window(1600, 900, QImage::Format_RGB32);
        QPainter painter(&window);
        chart.DrawTo(painter, chart.ClientRect());
        int probe = 0;
        int hits = 0;
        for (auto _ : state) {
            probe = (probe + 7) % 1400;
            const int index = series.PointAt(100 + probe, 150 + (probe * 5) % 600);
            hits += index >= 0 ? 1 : 0;
            benchmark::DoNotOptimize(index);
        }
        state.counters["hit share"]
            = benchmark::Counter(static_cast<double>(hits) / static_cast<double>(state.iterations()));
        state.SetLabel(state.range(0) == 0 ? "pie" : "bars");
    }
    BENCHMARK(PointAtOn10000)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tarvo
