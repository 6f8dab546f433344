#pragma once

#include "core/ChangeNotifier.h"
#include "style/ChartFont.h"

#include <string>

namespace tarvo
{

// An axis title: a caption in a font, turned by Angle degrees (counter-clockwise). Its axis
// installs the change handler.
class TChartAxisTitle : public TChangeNotifier
{
public:
    // defaultAngle: 90 for the left axis, 270 for the right one, 0 for the others.
    explicit TChartAxisTitle(int defaultAngle);
    TChartAxisTitle(const TChartAxisTitle&) = delete;
    TChartAxisTitle& operator=(const TChartAxisTitle&) = delete;
    ~TChartAxisTitle() = default;

    // Copies angle, caption and font; reports once.
    void Assign(const TChartAxisTitle& other);

    [[nodiscard]] int Angle() const { return m_angle; }
    // 0 … 360; other values raise ChartException and keep the angle.
    void SetAngle(int value);
    [[nodiscard]] int DefaultAngle() const { return m_defaultAngle; }
    // Whether the angle would be stored with the chart (it differs from the axis' default).
    [[nodiscard]] bool IsAngleStored() const { return m_angle != m_defaultAngle; }
    [[nodiscard]] const std::string& Caption() const { return m_caption; }
    void SetCaption(std::string value);
    [[nodiscard]] TChartFont& Font() { return m_font; }
    [[nodiscard]] const TChartFont& Font() const { return m_font; }

private:
    int m_defaultAngle;
    int m_angle;
    std::string m_caption;
    TChartFont m_font;
};

// The angle rule of axis labels and titles; what names the property in the message.
void CheckAxisAngle(int degrees, const char* what);

} // namespace tarvo
