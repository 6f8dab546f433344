#pragma once

#include "pie/CircledSeries.h"
#include "pie/ExplodedSlices.h"
#include "pie/PieOtherSlice.h"
#include "style/ChartPen.h"

#include <climits>
#include <span>
#include <string>
#include <vector>

namespace tarvo
{

// A pie: one slice per point, its angle in proportion to the point's absolute value (the Y value
// list, named "Pie"). Slices can be pulled out (exploded), drawn flat or as a 3D disc, labelled
// by marks outside the rim, and small values can be folded into one "other" slice. Angles, radii
// and offsets of the last drawing stay stored for hit tests and the legend.
class TPieSeries : public TCircledSeries
{
public:
    // X value of a point folded into the other slice, and of the other slice itself.
    static constexpr double kFoldedX = -1;
    static constexpr double kOtherSliceX = INT_MAX;

    TPieSeries();
    ~TPieSeries() override;

    // Copies Dark3D, UsePatterns, PiePen, ExplodeBiggest and OtherSlice, then the circle and the
    // series; a pie always colours each point.
    void Assign(const TChartSeries& source) override;

    // --- Properties ---
    [[nodiscard]] TChartValueList& PieValues() { return YValues(); }
    [[nodiscard]] const TChartValueList& PieValues() const { return YValues(); }
    [[nodiscard]] bool Dark3D() const { return m_pieSettings.dark3D; }
    void SetDark3D(bool value) { Store(m_pieSettings.dark3D, value); }
    [[nodiscard]] bool UsePatterns() const { return m_pieSettings.usePatterns; }
    void SetUsePatterns(bool value) { Store(m_pieSettings.usePatterns, value); }
    [[nodiscard]] const TChartPen& PiePen() const { return m_pieSettings.piePen; }
    [[nodiscard]] TChartPen& PiePen() { return m_pieSettings.piePen; }
    void SetPiePen(const TChartPen& value) { m_pieSettings.piePen = value; }
    [[nodiscard]] TPieOtherSlice& OtherSlice() { return m_pieSettings.otherSlice; }
    [[nodiscard]] const TPieOtherSlice& OtherSlice() const { return m_pieSettings.otherSlice; }
    void SetOtherSlice(const TPieOtherSlice& value) { m_pieSettings.otherSlice.Assign(value); }
    [[nodiscard]] TExplodedSlices& ExplodedSlices() { return m_explodedSlices; }
    [[nodiscard]] const TExplodedSlices& ExplodedSlices() const { return m_explodedSlices; }
    [[nodiscard]] int ExplodePercent(int index) const { return m_explodedSlices.Value(index); }
    void SetExplodePercent(int index, int percent) { m_explodedSlices.SetValue(index, percent); }
    // Percentage the biggest slice is pulled out by before each drawing (0: none).
    [[nodiscard]] int ExplodeBiggest() const { return m_pieSettings.explodeBiggest; }
    void SetExplodeBiggest(int value);

    // --- Points ---
    // Appends a slice; the program adds one per folder.
    int AddPie(double value, const std::string& label = {}, TColor color = clDefaultColor);
    [[nodiscard]] bool IsFolded(int index) const { return XValue(index) == kFoldedX; }
    [[nodiscard]] bool HasFoldedPoints() const;
    [[nodiscard]] bool IsOtherSlice(int index) const { return XValue(index) == kOtherSliceX; }
    // Which of these values (the points to come, in order) the other slice would gather as it
    // is set now: what the next drawing folds.
    [[nodiscard]] std::vector<bool> SlicesToFold(std::span<const double> values) const;
    void SwapPoints(int a, int b) override;
    // 8 sample slices named after things people own.
    void FillSampleValues(int count) override;
    [[nodiscard]] int SampleValueCount() const override { return 8; }

    // --- Geometry of the last drawing ---
    [[nodiscard]] const std::vector<TPieAngle>& SliceAngles() const { return m_angles; }
    [[nodiscard]] bool HasExploded() const { return m_hasExploded; }
    // Recomputes SliceAngles from the current points.
    void CalcAngles();
    // (dx, dy) of point index's slice, dy upward; (0, 0) unless something is exploded.
    [[nodiscard]] QPoint ExplodedOffset(int index) const;
    // The radii of point index's slice grown by its explode percentage.
    [[nodiscard]] QPoint ExplodedRadius(int index) const;
    // The slice under the pixel (screen coordinates), or -1.
    [[nodiscard]] int SliceAt(int x, int y) const;

    // --- Chart protocol ---
    // Sorts by value when PieValues is ordered, and folds small values into the other slice.
    void PrepareDraw() override { GroupSmallSlices(); }
    void GroupSmallSlices();
    void DrawValues() override;
    void DrawPoint(int index) override;
    virtual void DrawSlice(int index);
    // Folded slices have no mark; the others' marks sit outside the rim, at the slice's middle.
    [[nodiscard]] bool ShowsMark(int index) const override;
    void DrawMark(int index, const std::string& text, TSeriesMarkPosition& position) override;
    void PlaceMark(int index, TSeriesMarkPosition& position) override;
    [[nodiscard]] int PointAt(int x, int y) const override;
    [[nodiscard]] int PointX(int index) const override;
    [[nodiscard]] int LegendItemCount() const override;
    [[nodiscard]] int LegendItemToPoint(int row) const override;
    void LegendSymbolBrush(int index, TColor& backColor, TBrushStyle& style) override;
    // A pie never widens an axis: it answers the axis' own range.
    [[nodiscard]] double MaxXValue() const override;
    [[nodiscard]] double MinXValue() const override;
    [[nodiscard]] double MaxYValue() const override;
    [[nodiscard]] double MinYValue() const override;

    // Hatch of point index when UsePatterns is on.
    [[nodiscard]] static TBrushStyle SlicePattern(int index);

protected:
    void ClearPointStore() override;

private:
    void ApplyExplodeBiggest();
    [[nodiscard]] std::vector<QPoint> ExplodedOffsets() const;

    // What Assign copies, as one: a setting added here cannot be forgotten there. The pen and
    // the other slice keep reporting to this series when copied over.
    struct Settings {
        bool dark3D = true;
        int explodeBiggest = 0;
        TChartPen piePen;
        TPieOtherSlice otherSlice;
        bool usePatterns = false;
    };
    Settings m_pieSettings;
    TExplodedSlices m_explodedSlices;

    std::vector<TPieAngle> m_angles;
    // The 2D chain: where the last drawn slice ended, and where this one ends.
    QPoint m_lastEnd;
    QPoint m_currentEnd;
    bool m_hasExploded = false;
};

} // namespace tarvo
