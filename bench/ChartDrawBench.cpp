// A full repaint of a large chart (1600 × 900, 200 boxes with their marks), flat and in 3D, and
// a repaint of an unchanged chart, which only copies the off-screen buffer. Run with the
// offscreen platform: QT_QPA_PLATFORM=offscreen build/bench/tarvo_chart_bench

#include "Chart.h"
#include "ChartSeries.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

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

} // namespace
} // namespace tarvo

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
