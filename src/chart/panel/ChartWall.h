#pragma once

#include "core/ChangeNotifier.h"
#include "style/ChartBrush.h"
#include "style/ChartPen.h"

namespace tarvo
{

// One of the chart's three walls (back, left, bottom): the plot's frame and background in 2D,
// thin boxes around the plot in 3D. The chart installs the change handler.
class TChartWall : public TChangeNotifier
{
public:
    // defaultColor: the wall's own default (clDefaultColor for the back wall).
    explicit TChartWall(TColor defaultColor);
    TChartWall(const TChartWall&) = delete;
    TChartWall& operator=(const TChartWall&) = delete;
    ~TChartWall() = default;

    // Copies the values of another wall.
    void Assign(const TChartWall& other);

    [[nodiscard]] TChartBrush& Brush() { return m_brush; }
    [[nodiscard]] const TChartBrush& Brush() const { return m_brush; }
    [[nodiscard]] TColor Color() const { return m_color; }
    void SetColor(TColor value);
    [[nodiscard]] TColor DefaultColor() const { return m_defaultColor; }
    [[nodiscard]] bool Dark3D() const { return m_dark3D; }
    void SetDark3D(bool value);
    [[nodiscard]] TChartPen& Pen() { return m_pen; }
    [[nodiscard]] const TChartPen& Pen() const { return m_pen; }
    // Thickness in pixels; 0 draws the wall as a flat face. Negative sizes raise ChartException.
    [[nodiscard]] int Size() const { return m_size; }
    void SetSize(int value);

    // Drawn with darker sides: not for a clear or bitmap brush, nor with Dark3D off.
    [[nodiscard]] bool Shaded() const { return m_dark3D && m_brush.Style() != bsClear && !m_brush.HasImage(); }

private:
    TChartBrush m_brush { clDefaultColor, bsSolid };
    TColor m_defaultColor;
    TColor m_color;
    bool m_dark3D = true;
    TChartPen m_pen;
    int m_size = 0;
};

} // namespace tarvo
