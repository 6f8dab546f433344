#pragma once

#include "core/ChangeNotifier.h"
#include "core/ChartColor.h"
#include "core/Rect.h"
#include "series/ChartSeriesHost.h"
#include "series/ChartSeriesMarkPositions.h"
#include "series/ChartSeriesTypes.h"
#include "series/ChartValueList.h"
#include "series/SeriesMarks.h"
#include "style/ChartBrush.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvo
{

// A series: an ordered set of points, each an X value, a Y value, an optional label and an optional
// colour of its own (clDefaultColor = none; clNone = a null point), plus the virtual protocol the
// chart, the marks, the axes and the legend call and the concrete series (pie, bar) replace.
// Every list of a series has one entry per point. Points are read and deleted by index; an index
// outside 0 … PointCount − 1 raises ChartListIndexError. Setters store a changed value and repaint
// the chart; an unchanged value repaints nothing. The chart the series joins installs the change
// handler (the repaint) and takes it away again when the series leaves.
class TChartSeries : protected TChangeNotifier, public TSeriesMarksHost
{
public:
    using TChangeNotifier::OnChange;
    using TChangeNotifier::SetOnChange;

    using TNotifyEvent = std::function<void(TChartSeries& sender)>;
    using TSeriesOnAfterAdd = std::function<void(TChartSeries& sender, int valueIndex)>;
    // Returning false cancels the add.
    using TSeriesOnBeforeAdd = std::function<bool(TChartSeries& sender)>;
    using TSeriesClick = std::function<void(
        TChartSeries& sender, int valueIndex, TMouseButton button, TShiftState shift, int x, int y)>;
    // May rewrite the text of a point's mark.
    using TSeriesOnGetMarkText = std::function<void(TChartSeries& sender, int valueIndex, std::string& markText)>;

    // The default number patterns of ValueFormat and PercentFormat.
    static constexpr const char* kDefaultValueFormat = "#,##0.###";
    static constexpr const char* kDefaultPercentFormat = "##0.## %";

    TChartSeries();
    TChartSeries(const TChartSeries&) = delete;
    TChartSeries& operator=(const TChartSeries&) = delete;
    // Detaches from its data source and dependents and leaves its chart.
    virtual ~TChartSeries();

    // Copies settings, colours, labels and points (or the data-source link) of another series;
    // X and Y settings trade places when the two differ in orientation. The chart is not copied.
    virtual void Assign(const TChartSeries& source);

    // --- Properties ---
    [[nodiscard]] const std::string& Name() const { return m_name; }
    void SetName(std::string value) { m_name = std::move(value); }
    [[nodiscard]] bool Active() const { return m_active; }
    virtual void SetActive(bool value);
    [[nodiscard]] bool ColorEachPoint() const { return m_colorEachPoint; }
    // Switching it off also drops every point's own colour.
    virtual void SetColorEachPoint(bool value);
    [[nodiscard]] const std::string& ColorSource() const { return m_colorSource; }
    void SetColorSource(std::string value);
    [[nodiscard]] TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor value) { m_cursor = value; }
    [[nodiscard]] THorizAxis HorizAxis() const { return m_horizAxisKind; }
    void SetHorizAxis(THorizAxis value);
    [[nodiscard]] TVertAxis VertAxis() const { return m_vertAxisKind; }
    void SetVertAxis(TVertAxis value);
    // Axes used with aCustomHorizAxis / aCustomVertAxis; the chart's usual axis when null.
    void SetCustomHorizAxis(TChartSeriesAxis* axis);
    void SetCustomVertAxis(TChartSeriesAxis* axis);
    [[nodiscard]] TChartSeriesHost* ParentChart() const { return m_parentChart; }
    // Leaves the old chart, takes a free palette colour if it has none, binds the new chart's
    // axes, re-reads its data source and joins the new chart's series list.
    virtual void SetParentChart(TChartSeriesHost* chart);
    [[nodiscard]] TChartSeries* DataSource() const { return m_dataSource; }
    // Another series this one copies its points from (null: none). Raises ChartException for
    // this series itself or a series that depends on it, without a chart, or for a source it
    // does not accept.
    void SetDataSource(TChartSeries* source);
    [[nodiscard]] const std::string& PercentFormat() const { return m_percentFormat; }
    void SetPercentFormat(std::string value);
    [[nodiscard]] TColor SeriesColor() const { return m_seriesColor; }
    virtual void SetSeriesColor(TColor value);
    [[nodiscard]] bool ShowInLegend() const { return m_showInLegend; }
    void SetShowInLegend(bool value);
    [[nodiscard]] const std::string& Title() const { return m_title; }
    void SetTitle(std::string value);
    [[nodiscard]] const std::string& ValueFormat() const { return m_valueFormat; }
    void SetValueFormat(std::string value);
    [[nodiscard]] const std::string& XLabelsSource() const { return m_xLabelsSource; }
    void SetXLabelsSource(std::string value);
    // Flags and text carried through copying; they change nothing in drawing.
    [[nodiscard]] int Style() const { return m_style; }
    void SetStyle(int value) { m_style = value & 0x3F; }
    [[nodiscard]] const std::string& Identifier() const { return m_identifier; }
    void SetIdentifier(std::string value) { m_identifier = std::move(value); }

    // --- Events ---
    TNotifyEvent AfterDrawValues;
    TNotifyEvent BeforeDrawValues;
    TSeriesOnAfterAdd OnAfterAdd;
    TSeriesOnBeforeAdd OnBeforeAdd;
    TNotifyEvent OnClearValues;
    TSeriesClick OnClick;
    TSeriesClick OnDblClick;
    TSeriesOnGetMarkText OnGetMarkText;

    // --- Value lists ---
    [[nodiscard]] TChartValueList& XValues() { return *m_valueLists[0]; }
    [[nodiscard]] const TChartValueList& XValues() const { return *m_valueLists[0]; }
    [[nodiscard]] TChartValueList& YValues() { return *m_valueLists[1]; }
    [[nodiscard]] const TChartValueList& YValues() const { return *m_valueLists[1]; }
    [[nodiscard]] int ValueListCount() const { return static_cast<int>(m_valueLists.size()); }
    [[nodiscard]] TChartValueList& ValueList(int index);
    [[nodiscard]] const TChartValueList& ValueList(int index) const;
    // A further list (index ≥ 2) named name, ignoring case; YValues when there is none.
    [[nodiscard]] virtual TChartValueList& ValueListByName(const std::string& name) const;
    // The list whose values are the points' values (marks, percentages, legend, totals).
    [[nodiscard]] virtual TChartValueList& MainValueList() const { return *m_valueLists[1]; }
    // The main list is YValues.
    [[nodiscard]] bool IsVertical() const;

    // --- Points ---
    [[nodiscard]] int PointCount() const { return XValues().ValueCount(); }
    virtual int AddPoint(double x, double y, const std::string& label = {}, TColor color = clDefaultColor);
    // Adds value at the next position along the series' direction (X = PointCount for a vertical
    // series); the program's way of adding.
    virtual int Append(double value, const std::string& label = {}, TColor color = clDefaultColor);
    virtual int AppendNull(const std::string& label);
    virtual int AddNullPoint(double x, double y, const std::string& label);
    virtual void DeletePoint(int index);
    virtual void ClearPoints();
    // Orders the points by a value list (XValues by default) when its Order is not loNone.
    void SortPoints() { XValues().SortPoints(); }
    // Exchanges two points in every value list, the colours and the labels.
    virtual void SwapPoints(int a, int b);

    [[nodiscard]] virtual double XValue(int index) const;
    [[nodiscard]] virtual double YValue(int index) const;
    [[nodiscard]] virtual double PointValue(int index) const;
    [[nodiscard]] virtual double BaseValue(int index) const { return PointValue(index); }
    [[nodiscard]] virtual TColor PointColor(int index) const;
    [[nodiscard]] virtual std::string PointLabel(int index) const;
    // The point's colour is the null colour: no mark, no legend symbol.
    [[nodiscard]] bool IsNull(int index) const;
    // Pixel position of the point on the series' horizontal / vertical axis (0 without one).
    [[nodiscard]] virtual int PointX(int index) const;
    [[nodiscard]] virtual int PointY(int index) const;
    // Index of the point under the pixel, or -1.
    [[nodiscard]] virtual int PointAt(int x, int y) const;

    [[nodiscard]] virtual double MaxXValue() const { return XValues().Highest(); }
    [[nodiscard]] virtual double MaxYValue() const { return YValues().Highest(); }
    [[nodiscard]] virtual double MaxZValue() const { return m_computedDepthOrder; }
    [[nodiscard]] virtual double MinXValue() const { return XValues().Lowest(); }
    [[nodiscard]] virtual double MinYValue() const { return YValues().Lowest(); }
    [[nodiscard]] virtual double MinZValue() const { return m_computedDepthOrder; }

    // --- Marks ---
    // The series' own marks, copied by Assign, never shared.
    [[nodiscard]] TSeriesMarks& Marks() { return m_marks; }
    [[nodiscard]] const TSeriesMarks& Marks() const { return m_marks; }
    // Text of point index's mark by Marks().Style(), after OnGetMarkText; empty means no mark.
    [[nodiscard]] std::string MarkText(int index) const;
    [[nodiscard]] std::vector<std::string> MarkTexts() const override;
    [[nodiscard]] TChartSeriesHost* MarksChart() const override { return m_parentChart; }
    // |PointValue| as a percentage of the main list's AbsSum (100 when that is 0), written with
    // PercentFormat; withTotal appends " of " and the AbsSum written with ValueFormat.
    [[nodiscard]] std::string PercentText(int index, bool withTotal) const;
    // Draws the marks of the visible points that show one (ShowsMark) on the chart's canvas,
    // after the points: measures each box, places it centred above its point and hands it to
    // DrawMark. With Marks().HideOverlapping, a mark whose box would overlap a text, mark or
    // legend already on the picture is left out, the marks of the largest values placed first.
    // Nothing without a chart or while the marks are hidden; clipping is the chart's business.
    void PaintMarks();
    // Whether point index has a mark at all; asked before its text is made. The base: every point
    // that is not null.
    [[nodiscard]] virtual bool ShowsMark(int index) const { return !IsNull(index); }
    // Moves ArrowEnd and the box of point index's mark away from the point, as the series keeps
    // its marks; the base leaves the box centred above the point.
    virtual void PlaceMark(int index, TSeriesMarkPosition& position);
    // Places and draws one mark (PlaceMark, then the marks' DrawMarkItem).
    virtual void DrawMark(int index, const std::string& text, TSeriesMarkPosition& position);

    // Stored positions of the marks, kept in step with the points.
    [[nodiscard]] TSeriesMarkPositions& MarkPositions() { return m_marks.Positions(); }
    [[nodiscard]] const TSeriesMarkPositions& MarkPositions() const { return m_marks.Positions(); }

    // --- Texts ---
    // PointValue written with ValueFormat.
    [[nodiscard]] std::string ValueText(int index) const;
    // value written with PercentFormat.
    [[nodiscard]] std::string PercentValueText(double percent) const;
    [[nodiscard]] virtual int LegendItemCount() const { return PointCount(); }
    [[nodiscard]] virtual int LegendItemToPoint(int row) const { return row; }
    [[nodiscard]] virtual TColor LegendItemColor(int index) const { return PointColor(index); }
    [[nodiscard]] virtual std::string LegendItemText(int index, TLegendTextStyle style) const;

    // --- Data-source linking ---
    [[nodiscard]] virtual bool AcceptsSource(const TChartSeries& source) const { return &source != this; }
    [[nodiscard]] virtual bool CanBeSource() const { return true; }
    // Series that take their points from this one.
    [[nodiscard]] const std::vector<TChartSeries*>& Dependents() const { return m_dependents; }
    // Adds point index of source; returns the new index (-1 when OnBeforeAdd refused).
    virtual int CopyPointFrom(const TChartSeries& source, int index);
    virtual int AddPointFromSource(const TChartSeries& source, int index);
    virtual void FillFromSource(const TChartSeries& source);
    virtual void SourcePointDeleted(TChartSeries& sender, int index);
    // Refills from the data source, if any.
    void CheckDataSource();
    void NotifyDependents(TSeriesNotice notice, int valueIndex = -1);

    // Clears and adds count sample points (a preview without data); count ≤ 0 raises
    // ChartException.
    virtual void FillSampleValues(int count);
    [[nodiscard]] virtual int SampleValueCount() const { return 26; }

    // --- Chart protocol ---
    // Reports a change to the chart (through the handler it installed).
    void RequestRepaint() { Changed(); }
    [[nodiscard]] TChartSeriesAxis* GetHorizAxis() const { return m_horizAxis; }
    [[nodiscard]] TChartSeriesAxis* GetVertAxis() const { return m_vertAxis; }
    [[nodiscard]] virtual bool UsesAxes() const { return true; }
    [[nodiscard]] virtual bool IsAxisRelated(const TChartSeriesAxis& axis) const;
    virtual void HorizMargins(int& left, int& right);
    virtual void VertMargins(int& top, int& bottom);

    // Depth: DepthOrder −1 lets the chart number the series; the chart sets StartZ, EndZ, MiddleZ.
    [[nodiscard]] int DepthOrder() const { return m_depthOrder; }
    void SetDepthOrder(int value);
    [[nodiscard]] int ComputedDepthOrder() const { return m_computedDepthOrder; }
    virtual void ComputeDepthOrder();
    [[nodiscard]] virtual bool SharesDepthOrder() const;
    [[nodiscard]] int StartZ() const { return m_startZ; }
    [[nodiscard]] int EndZ() const { return m_endZ; }
    [[nodiscard]] int MiddleZ() const { return m_middleZ; }
    void SetDepths(int startZ, int endZ);

    // Sum of the positive base values at index of the active series of this class before this one
    // in the chart (and this one with includeSelf).
    [[nodiscard]] virtual double StackedSum(int index, bool includeSelf) const;

    // Points to draw: recomputed by CalcFirstLastVisible before each drawing; -1 for none.
    [[nodiscard]] int FirstVisible() const { return m_firstVisible; }
    [[nodiscard]] int LastVisible() const { return m_lastVisible; }
    void CalcFirstLastVisible();

    virtual void PrepareDraw() { }
    virtual void BeginDrawValues();
    virtual void DrawValues();
    virtual void DrawPoint(int index);
    virtual void EndDrawValues();
    [[nodiscard]] virtual bool DrawForward() const { return true; }
    [[nodiscard]] virtual bool DrawForwardAt(int index) const;

    // Fires OnDblClick (double click with a handler) or OnClick; true when a handler ran.
    virtual bool DoClick(int index, TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMoved(TShiftState shift, int x, int y);
    virtual void MouseReleased(TMouseButton button, TShiftState shift, int x, int y);

    // Legend symbol of point index (−1: the series itself) in rect, drawn on the chart's canvas;
    // nothing without a chart, for a null point, or for the series row of a series that colours
    // each point.
    virtual void DrawLegendSymbol(int index, const TRect& rect);
    // The box itself, with the brush already set.
    virtual void DrawLegendShape(int index, const TRect& rect);
    // May change the back colour and style of point index's legend symbol.
    virtual void LegendSymbolBrush(int index, TColor& backColor, TBrushStyle& style);

protected:
    // For a series that takes another one's slot instead of one of its own.
    void SetComputedDepthOrder(int value) { m_computedDepthOrder = value; }
    // Registers a further value list (after X and Y) owned by this series.
    TChartValueList& AddValueList(std::string name);
    // Empties every list, the colours, the labels and the stored mark positions; no events.
    virtual void ClearPointStore();
    // Fires OnAfterAdd, tells dependents, repaints when active.
    virtual void PointAdded(int index);
    // Inserts the values staged in the further lists' TempValue at index.
    virtual void AddSourceValues(int index);
    // Whether CalcFirstLastVisible clips the range to the axis; whether the first point beyond
    // the visible range is still drawn (lines run up to it).
    bool m_calcVisiblePoints = true;
    bool m_drawBetweenPoints = false;
    // How far DrawMark slides the box it draws sideways (see FreeMarkSlide).
    int m_markSlide = 0;

private:
    // PaintMarks with Marks().HideOverlapping: which marks fit, then those drawn in point order.
    void PaintMarksApart(int first, int last);
    // Measures the mark's box for text, places it, slides it sideways by slide and draws it.
    void DrawMarkInItsBox(int index, const std::string& text, int slide = 0);
    // How far a placed mark's box must slide sideways to overlap nothing drawn (0: it fits as
    // placed); nullopt when no slide helps.
    [[nodiscard]] std::optional<int> FreeMarkSlide(
        const TSeriesMarkPosition& position, const TChartCanvas3D& canvas) const;
    // Point index's mark of the given box size where PaintMarks first puts it, before PlaceMark.
    [[nodiscard]] TSeriesMarkPosition MarkPositionAt(int index, int width, int height) const;
    // The add without PointAdded: returns the index or -1 when OnBeforeAdd refused.
    int InsertPoint(double x, double y, const std::string& label, TColor color);
    void CheckPointIndex(int index) const;
    void BindAxes();
    void ValueListChanged(TValueListChange change, int index);
    void AddDependent(TChartSeries& series);
    void RemoveDependent(TChartSeries& series);
    [[nodiscard]] bool DependsOn(const TChartSeries& series) const;

    std::string m_name;
    bool m_active = true;
    bool m_colorEachPoint = false;
    std::string m_colorSource;
    TCursor m_cursor = crDefault;
    THorizAxis m_horizAxisKind = aBottomAxis;
    TVertAxis m_vertAxisKind = aLeftAxis;
    TChartSeriesAxis* m_customHorizAxis = nullptr;
    TChartSeriesAxis* m_customVertAxis = nullptr;
    TChartSeriesAxis* m_horizAxis = nullptr;
    TChartSeriesAxis* m_vertAxis = nullptr;
    TChartSeriesHost* m_parentChart = nullptr;
    TChartSeries* m_dataSource = nullptr;
    std::vector<TChartSeries*> m_dependents;
    std::string m_percentFormat = kDefaultPercentFormat;
    TColor m_seriesColor = clDefaultColor;
    bool m_showInLegend = true;
    std::string m_title;
    std::string m_valueFormat = kDefaultValueFormat;
    std::string m_xLabelsSource;
    int m_style = 0;
    std::string m_identifier;

    std::vector<std::unique_ptr<TChartValueList>> m_valueLists;
    std::vector<TColor> m_colors;
    std::vector<std::string> m_labels; // empty text = no label
    TSeriesMarks m_marks { *this };

    int m_firstVisible = -1;
    int m_lastVisible = -1;
    int m_depthOrder = -1;
    int m_computedDepthOrder = 0;
    int m_startZ = 0;
    int m_endZ = 0;
    int m_middleZ = 0;
};

} // namespace tarvo
