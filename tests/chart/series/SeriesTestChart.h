#pragma once

// A chart and axes for series tests: records repaint requests, keeps a series list, and maps
// values to pixels linearly.

#include "canvas/ChartCanvas3D.h"
#include "series/ChartSeries.h"
#include "series/ChartSeriesHost.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvo
{

// value = (pixel − origin) / scale, or mirrored when inverted; labels are "<value>".
class FakeAxis : public TChartSeriesAxis
{
public:
    FakeAxis(bool horizontal, int origin, double scale, bool inverted = false)
        : m_horizontal(horizontal)
        , m_origin(origin)
        , m_scale(scale)
        , m_inverted(inverted)
    {
    }
    [[nodiscard]] bool Horizontal() const override { return m_horizontal; }
    [[nodiscard]] bool Inverted() const override { return m_inverted; }
    [[nodiscard]] int ValueToPixel(double value) const override
    {
        return m_origin + static_cast<int>((m_inverted ? -value : value) * m_scale);
    }
    [[nodiscard]] double PixelToValue(int pixel) const override
    {
        const double v = (pixel - m_origin) / m_scale;
        return m_inverted ? -v : v;
    }
    [[nodiscard]] std::string AxisLabelText(double value) const override
    {
        return "<" + std::to_string(static_cast<int>(value)) + ">";
    }
    // The range and extent over the fake chart's plot of 100 pixels.
    [[nodiscard]] double Minimum() const override { return std::min(PixelToValue(0), PixelToValue(100)); }
    [[nodiscard]] double Maximum() const override { return std::max(PixelToValue(0), PixelToValue(100)); }
    [[nodiscard]] int StartPos() const override { return 0; }
    [[nodiscard]] int EndPos() const override { return 100; }

private:
    bool m_horizontal;
    int m_origin;
    double m_scale;
    bool m_inverted;
};

class FakeChart : public TChartSeriesHost
{
public:
    void Invalidate() { ++invalidations; }
    [[nodiscard]] int SeriesCount() const override { return static_cast<int>(series.size()); }
    [[nodiscard]] TChartSeries* Series(int index) const override { return series.at(static_cast<std::size_t>(index)); }
    void InsertSeries(TChartSeries& s) override
    {
        if (std::find(series.begin(), series.end(), &s) == series.end())
            series.push_back(&s);
        s.SetOnChange([this] { Invalidate(); });
        Invalidate();
    }
    void RemoveSeries(TChartSeries& s) override
    {
        std::erase(series, &s);
        s.SetOnChange({});
        Invalidate();
    }
    [[nodiscard]] TColor Color() const override { return panelColor; }
    [[nodiscard]] TColor BackColor() const override { return backColor; }
    [[nodiscard]] TColor LegendColor() const override { return legendColor; }
    [[nodiscard]] bool View3D() const override { return true; }
    [[nodiscard]] bool DepthPerSeries() const override { return true; }
    [[nodiscard]] int MaxDepthOrder() const override { return maxDepthOrder; }
    void SetMaxDepthOrder(int value) override { maxDepthOrder = value; }
    [[nodiscard]] TRect ChartRect() const override { return chartRect; }
    [[nodiscard]] TRect PanelRect() const override { return chartRect; }
    [[nodiscard]] TChartSeriesAxis* BottomAxis() const override { return bottom.get(); }
    [[nodiscard]] TChartSeriesAxis* TopAxis() const override { return top.get(); }
    [[nodiscard]] TChartSeriesAxis* LeftAxis() const override { return left.get(); }
    [[nodiscard]] TChartSeriesAxis* RightAxis() const override { return right.get(); }
    [[nodiscard]] TChartCanvas3D& Canvas() override
    {
        if (!canvas)
            throw std::logic_error("this test gave the chart no canvas");
        return *canvas;
    }
    void UseFont(const TChartFont& font) override { Canvas().Font() = font; }
    [[nodiscard]] TChartPen AdjustPrintPen(const TChartPen& pen) const override { return pen; }
    // Enough of the panel's brush rule for legend symbols.
    void ApplyBrush(TColor color, TBrushStyle style, TColor) override
    {
        Canvas().Brush().SetColor(color);
        Canvas().Brush().SetStyle(style);
    }

    TChartCanvas3D* canvas = nullptr; // for tests that draw
    std::vector<TChartSeries*> series;
    int invalidations = 0;
    TColor panelColor = clBtnFace;
    TColor backColor = clDefaultColor;
    TColor legendColor = clWhite;
    int maxDepthOrder = -1;
    TRect chartRect { 0, 0, 100, 100 };
    // Bottom: pixels 0 … 100 show the values 0 … 10; left: bottom row 100 is 0, top row 0 is 10.
    std::unique_ptr<FakeAxis> bottom = std::make_unique<FakeAxis>(true, 0, 10.0);
    std::unique_ptr<FakeAxis> top = std::make_unique<FakeAxis>(true, 0, 5.0);
    std::unique_ptr<FakeAxis> left = std::make_unique<FakeAxis>(false, 100, -10.0);
    std::unique_ptr<FakeAxis> right = std::make_unique<FakeAxis>(false, 100, -5.0);
};

} // namespace tarvo
