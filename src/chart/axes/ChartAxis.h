#pragma once

#include "axes/ChartAxisHost.h"
#include "axes/ChartAxisMath.h"
#include "axes/ChartAxisTitle.h"
#include "axes/ChartLayoutAxis.h"
#include "core/ChartException.h"
#include "style/ChartFont.h"
#include "style/ChartPen.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tarvo
{

class TChartSeries;

// A rejected axis property; the property keeps its value.
class AxisException : public ChartException
{
public:
    using ChartException::ChartException;
};

// What an axis writes beside its ticks; talAuto picks one from the related series.
enum class TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };
using enum TAxisLabelStyle;

// An axis of a chart: maps values to pixels and back, takes its range from the related series,
// takes room for title, labels and ticks off the plotting rectangle, and draws line, ticks, grid
// and labels. Values are the series' values; pixels are the chart's layout pixels. Every setter
// stores a changed value and reports it to the chart's handler; the checked ones raise AxisException (angles:
// ChartException) and keep the old value.
class TCustomChartAxis : public TChartLayoutAxis
{
public:
    // May rewrite a label; series is null and valueIndex −1 for value labels.
    using TAxisOnGetLabel = std::function<void(
        const TCustomChartAxis& sender, TChartSeries* series, int valueIndex, std::string& labelText)>;
    // Supplies value labels one by one: set labelValue, or stop = true to end (stop on the first
    // call keeps the default labels).
    using TAxisOnGetNextLabel
        = std::function<void(const TCustomChartAxis& sender, int labelIndex, double& labelValue, bool& stop)>;

    TCustomChartAxis(TChartAxisHost& chart, TChartAxisRole role);
    TCustomChartAxis(const TCustomChartAxis&) = delete;
    TCustomChartAxis& operator=(const TCustomChartAxis&) = delete;
    ~TCustomChartAxis() override;

    // Copies every property (not the chart, the role or the layout state).
    void Assign(const TCustomChartAxis& other);

    [[nodiscard]] TChartAxisHost& ParentChart() const { return m_chart; }
    [[nodiscard]] TChartAxisRole Role() const { return m_role; }

    // --- Range ---
    [[nodiscard]] bool Automatic() const { return m_settings.automatic; }
    // Also sets both ends' flags.
    void SetAutomatic(bool value);
    [[nodiscard]] bool AutomaticMaximum() const { return m_settings.automaticMaximum; }
    void SetAutomaticMaximum(bool value);
    [[nodiscard]] bool AutomaticMinimum() const { return m_settings.automaticMinimum; }
    void SetAutomaticMinimum(bool value);
    [[nodiscard]] double Maximum() const override { return m_settings.maximum; }
    void SetMaximum(double value);
    [[nodiscard]] double Minimum() const override { return m_settings.minimum; }
    void SetMinimum(double value);
    // Smallest step between value labels; 0 = automatic.
    [[nodiscard]] double Increment() const { return m_settings.increment; }
    void SetIncrement(double value);
    [[nodiscard]] bool Logarithmic() const { return m_settings.logarithmic; }
    void SetLogarithmic(bool value);
    [[nodiscard]] int LogarithmicBase() const { return m_settings.logarithmicBase; }
    void SetLogarithmicBase(int value);
    // Fixes both ends (ordered; at least 1e-10 apart) and switches automatic scaling off.
    void SetMinMax(double minimum, double maximum) override;
    [[nodiscard]] TAxisRangeSettings RangeSettings() const override;
    void SetRangeSettings(const TAxisRangeSettings& value) override;
    // Shifts both ends by offset; with checkLimits only while the related series reach beyond
    // the end it moves towards.
    void Scroll(double offset, bool checkLimits) override;

    // --- Look ---
    [[nodiscard]] TChartAxisPen& Axis() { return m_settings.axisPen; }
    [[nodiscard]] const TChartAxisPen& Axis() const { return m_settings.axisPen; }
    [[nodiscard]] TChartAxisTitle& Title() { return m_title; }
    [[nodiscard]] const TChartAxisTitle& Title() const { return m_title; }
    // Fixed room for the title; 0 = measured.
    [[nodiscard]] int TitleSize() const { return m_settings.titleSize; }
    void SetTitleSize(int value);
    [[nodiscard]] TChartPen& Grid() { return m_settings.grid; }
    [[nodiscard]] const TChartPen& Grid() const { return m_settings.grid; }
    [[nodiscard]] bool GridCentered() const { return m_settings.gridCentered; }
    void SetGridCentered(bool value);
    [[nodiscard]] bool Labels() const { return m_settings.labels; }
    void SetLabels(bool value);
    [[nodiscard]] int LabelsAngle() const { return m_settings.labelsAngle; }
    void SetLabelsAngle(int value);
    [[nodiscard]] TChartFont& LabelsFont() { return m_settings.labelsFont; }
    [[nodiscard]] const TChartFont& LabelsFont() const { return m_settings.labelsFont; }
    [[nodiscard]] bool LabelsOnAxis() const { return m_settings.labelsOnAxis; }
    void SetLabelsOnAxis(bool value);
    // Extra gap between labels in percent of a label's size; 0 = labels may touch.
    [[nodiscard]] int LabelsSeparation() const { return m_settings.labelsSeparation; }
    void SetLabelsSeparation(int value);
    // Fixed room for the labels; 0 = measured.
    [[nodiscard]] int LabelsSize() const { return m_settings.labelsSize; }
    void SetLabelsSize(int value);
    [[nodiscard]] TAxisLabelStyle LabelStyle() const { return m_settings.labelStyle; }
    void SetLabelStyle(TAxisLabelStyle value);
    [[nodiscard]] const std::string& AxisValuesFormat() const { return m_settings.axisValuesFormat; }
    void SetAxisValuesFormat(std::string value);
    [[nodiscard]] const std::string& DateTimeFormat() const { return m_settings.dateTimeFormat; }
    void SetDateTimeFormat(std::string value);
    [[nodiscard]] bool ExactDateTime() const { return m_settings.exactDateTime; }
    void SetExactDateTime(bool value);
    [[nodiscard]] bool RoundFirstLabel() const { return m_settings.roundFirstLabel; }
    void SetRoundFirstLabel(bool value);
    [[nodiscard]] bool LabelsMultiLine() const { return m_settings.labelsMultiLine; }
    void SetLabelsMultiLine(bool value);
    [[nodiscard]] TChartHiddenPen& MinorGrid() { return m_settings.minorGrid; }
    [[nodiscard]] int MinorTickCount() const { return m_settings.minorTickCount; }
    void SetMinorTickCount(int value);
    [[nodiscard]] int MinorTickLength() const { return m_settings.minorTickLength; }
    void SetMinorTickLength(int value);
    [[nodiscard]] TChartPen& MinorTicks() { return m_settings.minorTicks; }
    [[nodiscard]] TChartPen& Ticks() { return m_settings.ticks; }
    [[nodiscard]] const TChartPen& Ticks() const { return m_settings.ticks; }
    [[nodiscard]] TChartPen& TicksInner() { return m_settings.ticksInner; }
    [[nodiscard]] int TickInnerLength() const { return m_settings.tickInnerLength; }
    void SetTickInnerLength(int value);
    [[nodiscard]] int TickLength() const { return m_settings.tickLength; }
    void SetTickLength(int value);
    [[nodiscard]] bool TickOnLabelsOnly() const { return m_settings.tickOnLabelsOnly; }
    void SetTickOnLabelsOnly(bool value);
    void SetInverted(bool value);
    [[nodiscard]] bool OtherSide() const { return m_otherSide; }
    void SetVisible(bool value);
    // Percent of the plotting rectangle where the axis starts and ends.
    [[nodiscard]] double StartPosition() const { return m_settings.startPosition; }
    void SetStartPosition(double value);
    [[nodiscard]] double EndPosition() const { return m_settings.endPosition; }
    void SetEndPosition(double value);
    // Shift of the axis line into the plot, in percent of the plot across the axis.
    [[nodiscard]] double PositionPercent() const { return m_settings.positionPercent; }
    void SetPositionPercent(double value);

    TAxisOnGetLabel OnGetAxisLabel;
    TAxisOnGetNextLabel OnGetNextAxisLabel;

    // --- Layout state (valid after the chart's last layout) ---
    [[nodiscard]] double WorkMinimum() const { return m_workMinimum; }
    [[nodiscard]] double WorkMaximum() const { return m_workMaximum; }
    [[nodiscard]] double WorkRange() const { return m_workMaximum - m_workMinimum; }
    [[nodiscard]] int StartPos() const override { return m_extent.StartPos; }
    [[nodiscard]] int EndPos() const override { return m_extent.EndPos; }
    [[nodiscard]] int CenterPos() const { return m_extent.CenterPos(); }
    [[nodiscard]] int PosAxis() const { return m_posAxis; }
    [[nodiscard]] int PosLabels() const { return m_posLabels; }
    [[nodiscard]] int PosTitle() const { return m_posTitle; }
    [[nodiscard]] TAxisMapping Mapping() const;
    // Related series hold date-time values along this axis.
    [[nodiscard]] bool IsDateTimeAxis() const;
    // The label style after talAuto is resolved against the series.
    [[nodiscard]] virtual TAxisLabelStyle ResolvedLabelStyle() const;
    // The step between value labels for the current extent and range.
    [[nodiscard]] double LabelStep() const;
    // Pixels of the last drawing where ticks went.
    [[nodiscard]] const std::vector<int>& TickPixels() const { return m_tickPixels; }
    // Whether (x, y) lies on the axis band (labels to axis line) of the last drawing.
    [[nodiscard]] bool Clicked(int x, int y) const override;

    // --- TChartSeriesAxis / TChartLayoutAxis ---
    [[nodiscard]] bool Horizontal() const override { return m_horizontal; }
    [[nodiscard]] bool Inverted() const override { return m_settings.inverted; }
    [[nodiscard]] int ValueToPixel(double value) const override;
    [[nodiscard]] double PixelToValue(int pixel) const override;
    [[nodiscard]] std::string AxisLabelText(double value) const override;
    [[nodiscard]] bool Visible() const override { return m_settings.visible; }
    [[nodiscard]] bool IsDepthAxis() const override { return m_role == carDepth; }
    void ScaleFromSeries() override;
    [[nodiscard]] TRect ClaimSpace(const TRect& chartRect) override;
    void ComputePosition() override;
    // PosAxis alone, from the chart's current plotting rectangle.
    void ComputePosAxis();
    void WidenForMargins(int startMargin, int endMargin) override;
    void Draw(bool calcPosAxis) override;

protected:
    // Active series related to this axis (all related series when none is active).
    [[nodiscard]] std::vector<TChartSeries*> RelatedSeries(bool activeOnly) const;
    // Lowest and highest value the related series hold along this axis; false when none has points.
    bool SeriesMinMax(double& low, double& high) const;
    // The pixel extent along the axis for the chart's current plotting rectangle.
    [[nodiscard]] virtual TAxisExtent ExtentFromChart() const;
    // Outward across the axis: −1 (left, top) or +1 (right, bottom).
    [[nodiscard]] int Outward() const;
    // Depth at which labels and ticks are drawn.
    [[nodiscard]] virtual int DrawDepth() const;
    // The label text of value without the label event (for measuring).
    [[nodiscard]] std::string ValueText(double value) const;
    // Size along the axis of a label text in the labels font (the font must be in use).
    [[nodiscard]] int LabelSizeAlongAxis(const QString& text) const;
    // Room across the axis for the labels.
    [[nodiscard]] int MeasureLabelsSize();
    // Ticks, wall and axis pen across the axis.
    [[nodiscard]] int TickSpace() const;
    [[nodiscard]] int WallSize() const;
    [[nodiscard]] int OtherWallSize() const;

    // Labels (ChartAxisLabels.cpp): fill m_tickPixels and draw label texts.
    virtual void DrawLabels();
    void DrawValueLabels(double step);
    void DrawLogLabels();
    void DrawTextLabels(bool marks);
    void DrawValueLabel(double value);
    void RecordTick(int pixel);
    virtual void DrawLabelText(int pixel, const QString& text);
    // Title, line, ticks and grid (ChartAxisDraw.cpp).
    virtual void DrawTitle();
    virtual void DrawLineTicksAndGrid();
    void DrawTickSet(const std::vector<int>& pixels, int from, int length);
    void DrawGridLines(const std::vector<int>& pixels, const TChartPen& pen);
    [[nodiscard]] std::vector<int> MinorPixels() const;

    TChartAxisHost& m_chart;
    TChartAxisRole m_role;
    bool m_horizontal;
    bool m_otherSide;

    TAxisExtent m_extent;
    double m_workMinimum = 0.0;
    double m_workMaximum = 0.0;
    int m_posAxis = 0;
    int m_posLabels = 0;
    int m_posTitle = 0;
    int m_labelsBand = 0; // room the labels took in the last ClaimSpace
    bool m_drawn = false;
    bool m_measuring = false; // label event off while measuring
    int m_titleBand = 0; // room the title took
    std::vector<int> m_tickPixels;

private:
    void CheckLogarithmic(double minimum, double maximum) const;

    // Every property of the axis, copied as one by Assign: a property added here cannot be
    // forgotten there. The pens and the font keep reporting to this axis when copied over.
    struct Settings {
        bool automatic = true;
        bool automaticMaximum = true;
        bool automaticMinimum = true;
        double increment = 0.0;
        double maximum = 0.0;
        double minimum = 0.0;
        bool logarithmic = false;
        int logarithmicBase = 10;
        TChartAxisPen axisPen;
        int titleSize = 0;
        TChartPen grid;
        bool gridCentered = false;
        bool labels = true;
        int labelsAngle = 0;
        TChartFont labelsFont;
        bool labelsOnAxis = true;
        int labelsSeparation = 10;
        int labelsSize = 0;
        TAxisLabelStyle labelStyle = talAuto;
        std::string axisValuesFormat = "#,##0.###";
        std::string dateTimeFormat;
        bool exactDateTime = true;
        bool roundFirstLabel = true;
        bool labelsMultiLine = false;
        TChartHiddenPen minorGrid;
        int minorTickCount = 3;
        int minorTickLength = 2;
        TChartPen minorTicks;
        TChartPen ticks;
        TChartPen ticksInner;
        int tickInnerLength = 0;
        int tickLength = 4;
        bool tickOnLabelsOnly = true;
        bool inverted = false;
        bool visible = true;
        double startPosition = 0.0;
        double endPosition = 100.0;
        double positionPercent = 0.0;
    };
    Settings m_settings;
    TChartAxisTitle m_title;
};

// The chart's left, top, right and bottom axes.
class TChartAxis : public TCustomChartAxis
{
public:
    TChartAxis(TChartAxisHost& chart, TChartAxisRole role);
};

} // namespace tarvo
