#include "panel/ChartWall.h"

#include "panel/ChartPanel.h"

namespace tarvo
{

TChartWall::TChartWall(TCustomChartPanel& chart, TColor defaultColor)
    : m_chart(chart)
    , m_defaultColor(defaultColor)
    , m_color(defaultColor)
{
    m_brush.SetOnChange([this] { Changed(); });
    m_pen.SetOnChange([this] { Changed(); });
}

void TChartWall::Changed() { m_chart.Invalidate(); }

void TChartWall::Assign(const TChartWall& other)
{
    m_brush = other.m_brush;
    m_pen = other.m_pen;
    SetColor(other.m_color);
    SetDark3D(other.m_dark3D);
    SetSize(other.m_size);
}

void TChartWall::SetColor(TColor value)
{
    if (m_color == value)
        return;
    m_color = value;
    Changed();
}

void TChartWall::SetDark3D(bool value)
{
    if (m_dark3D == value)
        return;
    m_dark3D = value;
    Changed();
}

void TChartWall::SetSize(int value)
{
    if (value < 0)
        throw ChartException("Wall size must be >= 0");
    if (m_size == value)
        return;
    m_size = value;
    Changed();
}

} // namespace tarvo
