#include "axes/ChartAxisTitle.h"

#include "core/ChartException.h"

namespace tarvo
{

void CheckAxisAngle(int degrees, const char* what)
{
    if (degrees < 0 || degrees > 360)
        throw ChartException(std::string(what) + " Angle must be between 0 and 359 degrees");
}

TChartAxisTitle::TChartAxisTitle(int defaultAngle)
    : m_defaultAngle(defaultAngle)
    , m_angle(defaultAngle)
{
    m_font.SetOnChange([this] { Changed(); });
}

void TChartAxisTitle::Assign(const TChartAxisTitle& other)
{
    if (this == &other)
        return;
    m_angle = other.m_angle;
    m_caption = other.m_caption;
    m_font = other.m_font; // reports to this title's handler when it differs
    Changed();
}

void TChartAxisTitle::SetAngle(int value)
{
    CheckAxisAngle(value, "Axis Title");
    Store(m_angle, value);
}

void TChartAxisTitle::SetCaption(std::string value) { Store(m_caption, std::move(value)); }

} // namespace tarvo
