#pragma once

#include "AxisPanel.h"
#include "ChartLayoutLegend.h"
#include "ChartTitle.h"
#include "ChartWall.h"

#include <memory>

namespace tarvo
{

// The axis panel with its title and foot, its three walls and a legend.
class TCustomChart : public TCustomAxisPanel
{
public:
    explicit TCustomChart(QWidget* parent = nullptr);
    ~TCustomChart() override;

    [[nodiscard]] TChartTitle& Title() { return m_title; }
    [[nodiscard]] const TChartTitle& Title() const { return m_title; }
    [[nodiscard]] TChartTitle& Foot() { return m_foot; }
    [[nodiscard]] const TChartTitle& Foot() const { return m_foot; }
    [[nodiscard]] TChartWall& BackWall() { return m_backWall; }
    [[nodiscard]] const TChartWall& BackWall() const { return m_backWall; }
    [[nodiscard]] TChartWall& LeftWall() { return m_leftWall; }
    [[nodiscard]] const TChartWall& LeftWall() const { return m_leftWall; }
    [[nodiscard]] TChartWall& BottomWall() { return m_bottomWall; }
    [[nodiscard]] const TChartWall& BottomWall() const { return m_bottomWall; }
    // The back wall's pen: the frame around the plot.
    [[nodiscard]] TChartPen& Frame() { return m_backWall.Pen(); }

    // The back wall's colour. Setting it on a chart that sits in a window also makes the back
    // wall's brush solid, so the colour shows.
    [[nodiscard]] TColor BackColor() const override { return m_backWall.Color(); }
    void SetBackColor(TColor value);

    // Every chart starts with a visible legend of its own; null only once one is removed.
    [[nodiscard]] TChartLayoutLegend* Legend() const { return m_legend.get(); }
    void SetLegend(std::unique_ptr<TChartLayoutLegend> legend);
    [[nodiscard]] TLegendTextStyle LegendTextStyle() const override
    {
        return m_legend ? m_legend->TextStyle() : ltsLeftValue;
    }

protected:
    void LayoutTitlesAndLegend() override;
    void PaintWalls() override;
    [[nodiscard]] int BackWallSize() const override { return m_backWall.Size(); }

private:
    // The canvas pen and brush for a wall.
    void PrepareWall(const TChartWall& wall);

    TChartTitle m_title { *this, false };
    TChartTitle m_foot { *this, true };
    TChartWall m_backWall { *this, clDefaultColor };
    TChartWall m_leftWall { *this, 0x80FFFF };
    TChartWall m_bottomWall { *this, clWhite };
    std::unique_ptr<TChartLayoutLegend> m_legend;
};

} // namespace tarvo
