#include "ChartSetup.h"

#include "Chart.h"
#include "axes/ChartAxis.h"
#include "bar/BarSeries.h"
#include "legend/ChartLegend.h"
#include "pie/PieSeries.h"

namespace tarvo
{

namespace
{

    // What both charts share: the title waiting for the first analysis, its font and the
    // background running from navy at the top to dark green at the bottom.
    void SetUpCommon(TChart& chart, const QString& name)
    {
        chart.SetName(name);
        chart.Title().SetText({ QStringLiteral("Select drive or directory and press run !") });
        TChartFont& font = chart.Title().Font();
        font.SetName(QStringLiteral("Arial"));
        font.SetHeight(-11);
        font.SetStyle(fsBold);
        font.SetColor(clYellow);
        chart.Gradient().SetVisible(true);
        chart.Gradient().SetStartColor(0x408000);
        chart.Gradient().SetEndColor(clNavy);
        chart.BackWall().Brush().SetColor(clWhite);
        chart.BackWall().Brush().SetStyle(bsClear);
        chart.SetView3D(true);
        chart.SetAnimatedZoom(true);
    }

    void SetUpMarks(TChartSeries& series, int arrowLength)
    {
        series.SetCursor(crHandPoint);
        series.Marks().SetStyle(smsLabelValue);
        series.Marks().SetArrowLength(arrowLength);
        series.Marks().SetVisible(true);
        series.Marks().SetHideOverlapping(true);
        series.SetSeriesColor(clRed);
    }

} // namespace

void SetUpBarChart(TChart& chart, TBarSeries& series)
{
    SetUpCommon(chart, QStringLiteral("Bars"));
    if (TChartLegend* legend = chart.ChartLegend())
        legend->SetColor(0x80FFFF);
    if (TCustomChartAxis* left = chart.ChartAxis(carLeft)) {
        left->LabelsFont().SetName(QStringLiteral("Arial"));
        left->LabelsFont().SetColor(clYellow);
    }
    SetUpMarks(series, 20);
    series.XValues().SetOrder(loAscending);
    series.YValues().SetName("Bar");
    chart.AddSeries(series);
}

void SetUpPieChart(TChart& chart, TPieSeries& series)
{
    SetUpCommon(chart, QStringLiteral("Pies"));
    chart.Frame().SetVisible(false);
    TView3DOptions& view = chart.View3DOptions();
    view.SetElevation(315);
    view.SetRotation(360);
    view.SetPerspective(0);
    view.SetOrthogonal(false);
    view.SetZoom(95);
    chart.SetView3DWalls(false);
    chart.SetAllowZoom(false);
    chart.SetAllowPanning(TPanningMode::pmNone);
    chart.SetClipPoints(false);
    chart.SetBevelInner(bvRaised);
    chart.SetBevelOuter(bvLowered);
    SetUpMarks(series, 8);
    series.SetCircled(true);
    series.OtherSlice().SetText("Other");
    series.OtherSlice().SetStyle(poBelowRank);
    series.OtherSlice().SetValue(kPieUnfoldedEntries); // how many stay is set with the entries
    series.OtherSlice().SetMinimumPercent(kPieNamedPercent);
    series.OtherSlice().SetColor(kOtherSliceColor);
    series.PieValues().SetName("Pie");
    series.PieValues().SetOrder(loNone);
    series.SetRotationAngle(5);
    chart.AddSeries(series);
}

} // namespace tarvo
