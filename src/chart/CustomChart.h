#pragma once

#include "legend/ChartLayoutLegend.h"
#include "legend/ChartLegend.h"
#include "legend/ChartLegendHost.h"
#include "panel/AxisPanel.h"
#include "panel/ChartTitle.h"
#include "panel/ChartWall.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace tarvo
{

class TChartSeries;

// What lies under a pixel of the last drawing.
enum class TChartClickedPartStyle { cpNone, cpLegend, cpAxis, cpSeries, cpTitle, cpFoot, cpChartRect };
using enum TChartClickedPartStyle;

struct TChartClickedPart {
    TChartClickedPartStyle Part = cpNone;
    int PointIndex = -1; // the point of a series, the item position of a legend
    TChartSeries* ASeries = nullptr;
    TChartLayoutAxis* AAxis = nullptr;
};

// The axis panel with its title and foot, its three walls and a legend, and the mouse: a press
// on a point reaches the series and OnClickSeries, a left drag zooms and a right drag pans
// (where allowed), the wheel scrolls the vertical axes, and the cursor is the series' own over
// its points (CustomChartMouse.cpp). The legend sees it through TChartLegendHost.
class TCustomChart : public TCustomAxisPanel, public TChartLegendHost
{
public:
    // May change the text of legend item index (counted over all items, FirstValue ones included).
    using TGetLegendText
        = std::function<void(TCustomAxisPanel& sender, TLegendStyle legendStyle, int index, std::string& legendText)>;
    using TGetLegendRect = std::function<void(TCustomChart& sender, TRect& rect)>;
    // May move legend item index's text (x, y) and its colour box's left edge (xColor).
    using TGetLegendPos = std::function<void(TCustomChart& sender, int index, int& x, int& y, int& xColor)>;
    using TChartNotify = std::function<void(TCustomChart& sender)>;
    using TChartClick = std::function<void(TCustomChart& sender, TMouseButton button, TShiftState shift, int x, int y)>;
    using TChartClickSeries = std::function<void(TCustomChart& sender, TChartSeries& series, int valueIndex,
        TMouseButton button, TShiftState shift, int x, int y)>;
    using TChartClickAxis = std::function<void(
        TCustomChart& sender, TChartLayoutAxis& axis, TMouseButton button, TShiftState shift, int x, int y)>;
    // May change the new ends of a scroll, or forbid it.
    using TChartAllowScroll = std::function<void(
        TCustomChart& sender, TChartLayoutAxis& axis, double& minimum, double& maximum, bool& allowScroll)>;

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
    // A legend of the chart's own kind, whose settings ChartLegend then gives access to.
    void SetLegend(std::unique_ptr<TChartLegend> legend);
    // The legend with its settings; null when another kind of legend (or none) is installed.
    [[nodiscard]] TChartLegend* ChartLegend() const { return m_chartLegend; }
    [[nodiscard]] TLegendTextStyle LegendTextStyle() const override
    {
        return m_legend ? m_legend->TextStyle() : ltsLeftValue;
    }

    [[nodiscard]] int LeftWallSize() const override { return m_leftWall.Size(); }
    [[nodiscard]] int BottomWallSize() const override { return m_bottomWall.Size(); }
    void AdjustForCircledSeries(bool restore) override;

    // --- Legend events (the legend asks through TChartLegendHost) ---
    TGetLegendText OnGetLegendText;
    TGetLegendRect OnGetLegendRect;
    TGetLegendPos OnGetLegendPos;
    void GetLegendText(TLegendStyle legendStyle, int index, std::string& legendText) override;
    void GetLegendRect(TRect& rect) override;
    void GetLegendPos(int index, int& x, int& y, int& xColor) override;

    // --- Mouse ---
    // Series (last first), axes, title, foot, plot with a series, legend row, none.
    [[nodiscard]] TChartClickedPart PartAt(int x, int y) const;
    // Set while a click handler runs; a handler that leaves it set makes the next press count
    // for nothing.
    [[nodiscard]] bool ClickConsumed() const { return m_clickConsumed; }
    void SetClickConsumed(bool value) { m_clickConsumed = value; }
    // The axes of the top, bottom, left and right show the values under rect (pixels; any corner
    // order), in animated steps when AnimatedZoom is on.
    void ZoomRect(const TRect& rect);
    // Puts back the axes as they were before the first zoom or pan since the last undo.
    void UndoZoom();
    // The cursor the chart shows where no series asks for its own.
    [[nodiscard]] TCursor OriginalCursor() const { return m_originalCursor; }

    TChartClickSeries OnClickSeries;
    TChartClickAxis OnClickAxis;
    TChartClick OnClickLegend;
    TChartClick OnClickBackground;
    TChartAllowScroll OnAllowScroll;
    TChartNotify OnScroll;
    TChartNotify OnZoom;
    TChartNotify OnUndoZoom;

    // The platform's mouse messages, in chart terms (the widget's own handlers call these).
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void MouseMove(TShiftState shift, int x, int y);
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // Steps of 3 % of each vertical axis' range; positive steps scroll up (subtract).
    void MouseWheel(int steps);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

    void LayoutTitlesAndLegend() override;
    void PaintWalls() override;
    [[nodiscard]] int BackWallSize() const override { return m_backWall.Size(); }

private:
    // The canvas pen and brush for a wall.
    void PrepareWall(const TChartWall& wall);

    // The axes a zoom changes, in the order top, bottom, left, right (null where missing).
    [[nodiscard]] std::array<TChartLayoutAxis*, 4> ZoomAxes() const;
    void SaveAxesForUndo();
    void StartZoomOrPan(TMouseButton button, int x, int y);
    [[nodiscard]] bool BackgroundClick(TMouseButton button, TShiftState shift, int x, int y);
    // Moves the zoom band without drawing the chart again; a dirty picture gets it on its repaint.
    void MoveZoomBand(int x, int y);
    void Pan(int x, int y);
    void ShowCursorAt(int x, int y);

    bool m_clickConsumed = false;
    TCursor m_originalCursor = crDefault;
    std::optional<std::array<TAxisRangeSettings, 4>> m_savedAxes; // for UndoZoom
    int m_wheelRemainder = 0; // angle units not yet worth a step (touchpads send small ones)

    TChartTitle m_title { false };
    TChartTitle m_foot { true };
    TChartWall m_backWall { clDefaultColor };
    TChartWall m_leftWall { 0x80FFFF };
    TChartWall m_bottomWall { clWhite };
    std::unique_ptr<TChartLayoutLegend> m_legend;
    TChartLegend* m_chartLegend = nullptr; // m_legend, where it is ours
};

} // namespace tarvo
