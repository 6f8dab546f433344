#include "panel/ChartWall.h"

#include "core/ChartException.h"

namespace tarvo
{

TChartWall::TChartWall(TColor defaultColor)
    : m_defaultColor(defaultColor)
    , m_color(defaultColor)
{
    m_brush.SetOnChange([this] { Changed(); });
    m_pen.SetOnChange([this] { Changed(); });
}

void TChartWall::Assign(const TChartWall& other)
{
    m_brush = other.m_brush;
    m_pen = other.m_pen;
    SetColor(other.m_color);
    SetDark3D(other.m_dark3D);
    SetSize(other.m_size);
}

void TChartWall::SetColor(TColor value) { Store(m_color, value); }

void TChartWall::SetDark3D(bool value) { Store(m_dark3D, value); }

void TChartWall::SetSize(int value)
{
    if (value < 0)
        throw ChartException("Wall size must be >= 0");
    Store(m_size, value);
}

} // namespace tarvo
