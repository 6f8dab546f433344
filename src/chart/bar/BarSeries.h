#pragma once

#include "bar/BarGeometry.h"
#include "canvas/Canvas3D.h"
#include "core/ChartException.h"
#include "series/ChartSeries.h"
#include "style/ChartBrush.h"
#include "style/ChartPen.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvo
{

// A rejected bar property; the property keeps its value.
class BarException : public ChartException
{
public:
    using ChartException::ChartException;
};

// Bars: one per point, standing on an origin value, as wide as the slot share BarWidthPercent
// gives them; several bar series of one chart go side by side, stacked or one behind the other
// (MultiBar). The width, bounds and colour of the last drawing stay stored for hit tests.
class TCustomBarSeries : public TChartSeries
{
public:
    using TGetBarStyleEvent = std::function<void(TCustomBarSeries& sender, int valueIndex, TBarStyle& theBarStyle)>;

    TCustomBarSeries();
    ~TCustomBarSeries() override;

    // Copies the bar settings, then the series.
    void Assign(const TChartSeries& source) override;

    // --- Properties ---
    [[nodiscard]] bool AutoBarSize() const { return m_autoBarSize; }
    void SetAutoBarSize(bool value) { Store(m_autoBarSize, value); }
    // Stored and copied; no drawing step reads it.
    [[nodiscard]] bool AutoMarkPosition() const { return m_settings.autoMarkPosition; }
    void SetAutoMarkPosition(bool value) { Store(m_settings.autoMarkPosition, value); }
    [[nodiscard]] const TChartBrush& BarBrush() const { return m_settings.barBrush; }
    [[nodiscard]] TChartBrush& BarBrush() { return m_settings.barBrush; }
    void SetBarBrush(const TChartBrush& value) { m_settings.barBrush.Assign(value); }
    [[nodiscard]] const TChartPen& BarPen() const { return m_settings.barPen; }
    [[nodiscard]] TChartPen& BarPen() { return m_settings.barPen; }
    void SetBarPen(const TChartPen& value) { m_settings.barPen.Assign(value); }
    [[nodiscard]] TBarStyle BarStyle() const { return m_settings.barStyle; }
    void SetBarStyle(TBarStyle value) { Store(m_settings.barStyle, value); }
    // Percent of a slot a bar (or a side-by-side group) fills: 1 … 100, else BarException.
    [[nodiscard]] int BarWidthPercent() const { return m_settings.barWidthPercent; }
    void SetBarWidthPercent(int value);
    // Fixed bar width in pixels; 0 = computed.
    [[nodiscard]] int CustomBarWidth() const { return m_settings.customBarWidth; }
    void SetCustomBarWidth(int value) { Store(m_settings.customBarWidth, value); }
    [[nodiscard]] bool Dark3D() const { return m_settings.dark3D; }
    void SetDark3D(bool value) { Store(m_settings.dark3D, value); }
    // Shared by every bar series of this class in the chart: setting it sets theirs too.
    [[nodiscard]] TMultiBar MultiBar() const { return m_settings.multiBar; }
    void SetMultiBar(TMultiBar value);
    // Shift in percent of the bar width: −100 … 100, else BarException.
    [[nodiscard]] int OffsetPercent() const { return m_settings.offsetPercent; }
    void SetOffsetPercent(int value);
    // Shared like MultiBar.
    [[nodiscard]] bool SideMargins() const { return m_settings.sideMargins; }
    void SetSideMargins(bool value);
    [[nodiscard]] bool UseYOrigin() const { return m_settings.useYOrigin; }
    void SetUseYOrigin(bool value) { Store(m_settings.useYOrigin, value); }
    [[nodiscard]] double YOrigin() const { return m_settings.yOrigin; }
    void SetYOrigin(double value) { Store(m_settings.yOrigin, value); }

    TGetBarStyleEvent OnGetBarStyle;

    // --- State of the last layout and drawing ---
    // Width in pixels in force (computed with the horizontal margins).
    [[nodiscard]] int BarWidth() const { return m_barWidth; }
    // The bar drawn last: Left/Right its x extent, Top the value's y, Bottom the origin's y.
    [[nodiscard]] const TRect& BarBounds() const { return m_barBounds; }
    [[nodiscard]] TColor BarColor() const { return m_barColor; }

    // --- Points ---
    int AddBar(double value, const std::string& label = {}, TColor color = clDefaultColor);
    [[nodiscard]] int SampleValueCount() const override { return 6; }
    // The shape of point index: BarStyle, then whatever OnGetBarStyle makes of it.
    [[nodiscard]] TBarStyle PointBarStyle(int index);
    // 1 + the active bar series of this class before this one in the chart.
    [[nodiscard]] int BarOrder() const;
    // Side by side: the active bar series of this class in the chart (this one included); else 1.
    [[nodiscard]] int BarCount() const;
    // Whether other is of this series' class or this series of other's (a vertical and a
    // horizontal bar series are not).
    [[nodiscard]] bool SameBarClass(const TChartSeries& other) const;
    // Whether other is an instance of this series' class (or of a class derived from it).
    [[nodiscard]] virtual bool IsOfThisClass(const TCustomBarSeries& other) const = 0;
    // Recomputes BarWidth from the axis along the bars and the chart's paging.
    void CalcBarWidth();

    // --- Chart protocol ---
    [[nodiscard]] int PointAt(int x, int y) const override;
    void ComputeDepthOrder() override;
    void LegendSymbolBrush(int index, TColor& backColor, TBrushStyle& style) override;
    void DrawLegendShape(int index, const TRect& rect) override;
    [[nodiscard]] double StackedSum(int index, bool includeSelf) const override;

    // Size of a mark across the bars.
    [[nodiscard]] virtual int MarkSpace() const = 0;
    // Whether point (x, y) lies in the bar of index; the base knows no bar shape.
    [[nodiscard]] virtual bool InBar(int index, int x, int y) const;
    // The indices [first, end) among the visible ones whose bars may reach across some x of
    // [xLow, xHigh]; the base cannot tell and answers all of them.
    [[nodiscard]] virtual std::pair<int, int> BarsAcross(int xLow, int xHigh, int first, int last) const;
    // Point index's bar as drawn: its x extent and its upper and lower y; the base knows none.
    [[nodiscard]] virtual std::optional<TRect> BarBox(int index) const;
    // Draws point index's shape between the two y pixels (upperY ≤ lowerY).
    virtual void DrawBar(int index, int upperY, int lowerY) = 0;

protected:
    // The axis the bars stand along and the one their values grow on.
    [[nodiscard]] virtual TChartSeriesAxis* BarsAxis() const = 0;
    // Point count that decides the slot: the most points among the side-by-side series.
    [[nodiscard]] int SlotPointCount() const;
    // Pen and brush of the bars in the current bar colour.
    void ApplyBarPenAndBrush();
    // The bar whose drawn 3D box (front, side or top face) shows the pixel, or -1.
    [[nodiscard]] int BoxSeenAt(TChartSeriesHost& chart, int x, int y, int last) const;
    // Calls f on every active series of this class in the chart, in list order.
    template <typename F> void ForEachSameClass(bool activeOnly, F&& f) const;
    [[nodiscard]] TColor BrushBackColor() const;

    int m_barWidth = 0;
    TRect m_barBounds;
    TColor m_barColor = clDefaultColor;

private:
    // What Assign copies, as one: a setting added here cannot be forgotten there. The pen and
    // the brush keep reporting to this series when copied over.
    struct Settings {
        bool autoMarkPosition = true;
        TChartBrush barBrush { clDefaultColor, bsSolid };
        TChartPen barPen;
        TBarStyle barStyle = bsRectangle;
        int barWidthPercent = 70;
        int customBarWidth = 0;
        bool dark3D = true;
        TMultiBar multiBar = mbSide;
        int offsetPercent = 0;
        bool sideMargins = true;
        bool useYOrigin = true;
        double yOrigin = 0;
    };
    Settings m_settings;
    // Not among what a copy takes over, by the bar series' own rule.
    bool m_autoBarSize = false;
};

// Vertical bars over the horizontal axis; the value list is YValues, named "Bar".
class TBarSeries : public TCustomBarSeries
{
public:
    TBarSeries();
    ~TBarSeries() override;

    [[nodiscard]] TChartValueList& BarValues() { return YValues(); }
    [[nodiscard]] const TChartValueList& BarValues() const { return YValues(); }

    // Pixel y where point index's bar starts: the stacked sum below it, the origin, or the
    // vertical axis' bottom.
    [[nodiscard]] int OriginPosition(int index) const;

    [[nodiscard]] int PointX(int index) const override;
    [[nodiscard]] int PointY(int index) const override;
    [[nodiscard]] double MaxYValue() const override;
    [[nodiscard]] double MinYValue() const override;
    void HorizMargins(int& left, int& right) override;
    void VertMargins(int& top, int& bottom) override;
    void BeginDrawValues() override;
    void EndDrawValues() override;
    void DrawPoint(int index) override;
    // The mark stands ArrowLength above the bar (below a bar that grows downward).
    void PlaceMark(int index, TSeriesMarkPosition& position) override;
    // With Marks().HideOverlapping, bars narrower than kMarkedBarWidth get no mark: an arrow
    // can hardly single such a bar out among its neighbours, and hundreds of boxes, even apart,
    // would hide the bars they name.
    static constexpr int kMarkedBarWidth = 3;
    [[nodiscard]] bool ShowsMark(int index) const override;
    [[nodiscard]] bool DrawForward() const override;
    [[nodiscard]] bool DrawForwardAt(int index) const override;

    [[nodiscard]] bool IsOfThisClass(const TCustomBarSeries& other) const override;
    [[nodiscard]] int MarkSpace() const override;
    [[nodiscard]] bool InBar(int index, int x, int y) const override;
    [[nodiscard]] std::pair<int, int> BarsAcross(int xLow, int xHigh, int first, int last) const override;
    [[nodiscard]] std::optional<TRect> BarBox(int index) const override;
    void DrawBar(int index, int upperY, int lowerY) override;

protected:
    [[nodiscard]] TChartSeriesAxis* BarsAxis() const override;

private:
    // Left edge, value pixel, right edge and origin pixel of point index's bar (kept for the
    // visible bars while they are drawn).
    [[nodiscard]] TRect DrawnBounds(int index) const;
    // Which parts of the side face of the bar in m_barBounds the bars after it cover (see the .cpp).
    void CoverSideByNextBars(int index);

    std::vector<TRect> m_bounds;
    int m_boundsFrom = -1;
    std::vector<TSideCover> m_sideCovers;
    // The stacked sum below point index plus above; for stacked-100 as a percentage of the stack.
    [[nodiscard]] double StackedValue(int index, double above) const;
    // Sum of the positive values at index of every active series of this stack.
    [[nodiscard]] double StackTotal(int index) const;
    void DrawBarRectangle(const TRect& bar);
    void DrawShape2D(TBarStyle style, const TRect& bar);
    void DrawShape3D(TBarStyle style, const TRect& bar);
};

} // namespace tarvo
