#include "pie/CircledSeries.h"

#include "series/ChartSeriesHost.h"

#include <typeinfo>

namespace tarvo
{

namespace
{
    // The rotation error's wording, shared by RotationAngle and Rotate.
    PieException RotationError() { return PieException("Rotation Angle must be between 0 and 359 degrees"); }
} // namespace

TCircledSeries::TCircledSeries()
{
    XValues().SetName("Angle");
    // The X values only number the slices; no axis range hides any of them.
    m_calcVisiblePoints = false;
}

TCircledSeries::~TCircledSeries() { AdjustChart(true); }

void TCircledSeries::Assign(const TChartSeries& source)
{
    if (const auto* circled = dynamic_cast<const TCircledSeries*>(&source); circled && circled != this) {
        m_circledSettings = circled->m_circledSettings;
    }
    TChartSeries::Assign(source);
}

template <typename Field> void TCircledSeries::ShareWithSiblings(Field Settings::*field, Field value)
{
    TChartSeriesHost* chart = ParentChart();
    if (!chart)
        return;
    for (int i = 0; i < chart->SeriesCount(); ++i) {
        TChartSeries* other = chart->Series(i);
        // Only series of exactly this class share the setting, so other is one of this class.
        if (!other || other == this || typeid(*other) != typeid(*this))
            continue;
        auto* sibling = static_cast<TCircledSeries*>(other);
        sibling->Store(sibling->m_circledSettings.*field, value);
    }
}

void TCircledSeries::SetCircled(bool value)
{
    Store(m_circledSettings.circled, value);
    ShareWithSiblings(&Settings::circled, value);
}

void TCircledSeries::SetCustomXRadius(int value)
{
    Store(m_circledSettings.customXRadius, value);
    ShareWithSiblings(&Settings::customXRadius, value);
}

void TCircledSeries::SetCustomYRadius(int value)
{
    Store(m_circledSettings.customYRadius, value);
    ShareWithSiblings(&Settings::customYRadius, value);
}

void TCircledSeries::SetRotationAngle(int value)
{
    if (value < 0)
        throw RotationError();
    const int stored = value % 360;
    Store(m_circledSettings.rotationAngle, stored);
}

void TCircledSeries::Rotate(int degrees)
{
    if (degrees < 0 || degrees > 360)
        throw RotationError();
    SetRotationAngle((m_circledSettings.rotationAngle + degrees) % 360);
}

TColor TCircledSeries::ResolvedCircleBackColor() const
{
    TColor color = m_circledSettings.circleBackColor;
    if (color == clDefaultColor && ParentChart()) {
        color = ParentChart()->BackColor();
        if (color == clDefaultColor)
            color = ParentChart()->Color();
    }
    return color;
}

void TCircledSeries::SetCircleRect(const TRect& rect)
{
    m_circle.Rect = rect;
    m_circle.AdjustRect();
}

QPoint TCircledSeries::AngleToPos(double angle, int xRadius, int yRadius) const
{
    return tarvo::AngleToPos(m_circle, RotationRadians(), angle, xRadius, yRadius);
}

double TCircledSeries::PointToAngle(int x, int y) const
{
    return tarvo::PointToAngle(m_circle, RotationRadians(), x, y);
}

void TCircledSeries::SetParentChart(TChartSeriesHost* chart)
{
    if (chart == ParentChart())
        return;
    if (ParentChart())
        AdjustChart(true);
    TChartSeries::SetParentChart(chart);
    if (chart)
        AdjustChart(false);
}

void TCircledSeries::SetActive(bool value)
{
    TChartSeries::SetActive(value);
    AdjustChart(!Active());
}

// A circled series draws no axes, but sits on all of them, so axis scaling asks it for its
// range (which it answers with the axis' own, see TPieSeries).
bool TCircledSeries::IsAxisRelated(const TChartSeriesAxis&) const { return true; }

void TCircledSeries::LegendSymbolBrush(int, TColor& backColor, TBrushStyle&) { backColor = ResolvedCircleBackColor(); }

void TCircledSeries::AdjustChart(bool restore)
{
    if (TChartSeriesHost* chart = ParentChart())
        chart->AdjustForCircledSeries(restore);
}

} // namespace tarvo
