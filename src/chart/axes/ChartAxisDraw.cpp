// The room an axis takes off the plotting rectangle, and its drawing: title, labels (in
// ChartAxisLabels.cpp), then line, ticks, grid, inner and minor ticks and the minor grid.

#include "axes/ChartAxis.h"
#include "canvas/ChartCanvas3D.h"
#include "core/ChartRounding.h"
#include "series/ChartSeries.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvo
{

namespace
{

    constexpr TColor kDefaultGridColor = 8421504;

    // Draws text centred on (cx, cy), turned by angle degrees counter-clockwise.
    void CentredText(TChartCanvas3D& canvas, double cx, double cy, int z, int angle, const QString& text)
    {
        const double radians = angle * std::numbers::pi / 180.0;
        const double dy = -canvas.LineHeight() / 2.0;
        canvas.SetTextAlignment(TA_CENTER | TA_TOP);
        if (angle % 360 == 0)
            canvas.Text3D(Round(cx), Round(cy + dy), text, z);
        else
            canvas.RotatedText3D(
                Round(cx + dy * std::sin(radians)), Round(cy + dy * std::cos(radians)), z, angle, text);
    }

} // namespace

int TCustomChartAxis::WallSize() const
{
    if (!m_chart.View3D() || !m_chart.View3DWalls() || m_otherSide)
        return 0;
    return m_horizontal ? m_chart.BottomWallSize() : m_chart.LeftWallSize();
}

int TCustomChartAxis::OtherWallSize() const
{
    if (!m_chart.View3D() || !m_chart.View3DWalls() || m_otherSide)
        return 0;
    return m_horizontal ? m_chart.LeftWallSize() : m_chart.BottomWallSize();
}

int TCustomChartAxis::TickSpace() const
{
    int space = (m_settings.axisPen.Visible() ? m_settings.axisPen.Width() : 0)
        + (m_settings.ticks.Visible() ? m_settings.tickLength : 0);
    if (m_settings.minorTicks.Visible())
        space = std::max(space, m_settings.minorTickLength);
    return space + WallSize();
}

int TCustomChartAxis::MeasureLabelsSize()
{
    m_chart.UseFont(m_settings.labelsFont);
    const int angle = m_settings.labelsAngle % 360;
    const bool alongAxis = m_horizontal ? (angle == 0 || angle == 180) : (angle == 90 || angle == 270);
    if (alongAxis)
        return m_chart.Canvas().LineHeight();
    int widest = 0;
    int lines = 1;
    switch (ResolvedLabelStyle()) {
    case talAuto:
    case talNone:
        break;
    case talValue: {
        m_measuring = true;
        const double step = LabelStep(); // with the extent of the previous layout
        double low = m_workMinimum;
        double high = m_workMaximum;
        if (m_settings.roundFirstLabel && step > 0.0) {
            low = std::trunc(low / step) * step;
            high = std::trunc(high / step) * step;
        }
        widest = std::max(m_chart.Canvas().TextBlockWidth(AxisLabelText(low), lines),
                     m_chart.Canvas().TextBlockWidth(AxisLabelText(high), lines))
            + m_chart.Canvas().TextWidth(QStringLiteral(" "));
        m_measuring = false;
        break;
    }
    case talMark:
        for (int s = 0; s < m_chart.SeriesCount(); ++s) {
            const TChartSeries& series = *m_chart.Series(s);
            if (!series.Active())
                continue;
            for (int i = 0; i < series.PointCount(); ++i)
                widest = std::max(widest, m_chart.Canvas().TextWidth(QString::fromStdString(series.MarkText(i))));
        }
        break;
    case talText:
        for (int s = 0; s < m_chart.SeriesCount(); ++s) {
            const TChartSeries& series = *m_chart.Series(s);
            for (int i = 0; i < series.PointCount(); ++i)
                widest = std::max(widest, m_chart.Canvas().TextBlockWidth(series.PointLabel(i), lines));
        }
        break;
    }
    return widest;
}

TRect TCustomChartAxis::ClaimSpace(const TRect& chartRect)
{
    TRect r = chartRect;
    const int out = Outward();
    int& edge = m_horizontal ? (m_otherSide ? r.Top : r.Bottom) : (m_otherSide ? r.Right : r.Left);
    const auto take = [&](int size) {
        edge -= out * size;
        return edge;
    };
    m_titleBand = 0;
    if (!m_title.Caption().empty()) {
        int size = m_settings.titleSize;
        if (size == 0) {
            m_chart.UseFont(m_title.Font());
            const int angle = m_title.Angle() % 360;
            const bool alongAxis = m_horizontal ? (angle == 0 || angle == 180) : (angle == 90 || angle == 270);
            size = alongAxis ? m_chart.Canvas().LineHeight()
                             : m_chart.Canvas().TextWidth(QString::fromStdString(m_title.Caption()));
        }
        m_titleBand = size;
        m_posTitle = take(size);
    }
    m_labelsBand = 0;
    if (m_settings.labels) {
        m_labelsBand = m_settings.labelsSize != 0 ? m_settings.labelsSize : MeasureLabelsSize();
        m_posLabels = take(m_labelsBand);
    } else {
        m_posLabels = edge;
    }
    take(TickSpace());
    const int shift
        = Round(m_settings.positionPercent * 0.01 * (m_horizontal ? chartRect.Height() : chartRect.Width()));
    m_posTitle -= out * shift;
    m_posLabels -= out * shift;
    return r;
}

void TCustomChartAxis::Draw(bool calcPosAxis)
{
    if (calcPosAxis)
        ComputePosAxis();
    m_drawn = true;
    if (!m_title.Caption().empty())
        DrawTitle();
    m_chart.UseFont(m_settings.labelsFont);
    DrawLabels();
    DrawLineTicksAndGrid();
}

void TCustomChartAxis::DrawTitle()
{
    TChartCanvas3D& canvas = m_chart.Canvas();
    m_chart.UseFont(m_title.Font());
    canvas.Brush().SetStyle(bsClear);
    canvas.SetBackgroundMode(TRANSPARENT);
    const double across = m_posTitle + Outward() * m_titleBand / 2.0;
    const double cx = m_horizontal ? CenterPos() : across;
    const double cy = m_horizontal ? across : CenterPos();
    CentredText(canvas, cx, cy, DrawDepth(), m_title.Angle(), QString::fromStdString(m_title.Caption()));
}

void TCustomChartAxis::DrawTickSet(const std::vector<int>& pixels, int from, int length)
{
    TChartCanvas3D& canvas = m_chart.Canvas();
    const int z = DrawDepth();
    for (const int p : pixels) {
        if (m_horizontal)
            canvas.Line3D(p, from, p, from + length, z);
        else
            canvas.Line3D(from, p, from + length, p, z);
    }
}

void TCustomChartAxis::DrawGridLines(const std::vector<int>& pixels, const TChartPen& pen)
{
    if (!pen.Visible() || pixels.empty())
        return;
    TChartCanvas3D& canvas = m_chart.Canvas();
    TChartPen gridPen = m_chart.AdjustPrintPen(pen);
    if (gridPen.Color() == clDefaultColor)
        gridPen.SetColor(kDefaultGridColor);
    canvas.ApplyPen(gridPen);
    canvas.SetBackgroundMode(TRANSPARENT);
    const TRect r = m_chart.ChartRect();
    const int back = m_chart.TotalDepth();
    // In 3D the grid lies on the back wall and runs along the floor (or the left wall) to the front.
    const bool alongWall = m_chart.View3D() && back != 0 && !m_otherSide;
    for (const int p : pixels) {
        if (m_horizontal) {
            canvas.Line3D(p, r.Top, p, r.Bottom, back);
            if (alongWall)
                canvas.DepthLine3D(p, r.Bottom, 0, back);
        } else {
            canvas.Line3D(r.Left, p, r.Right, p, back);
            if (alongWall)
                canvas.DepthLine3D(r.Left, p, 0, back);
        }
    }
}

std::vector<int> TCustomChartAxis::MinorPixels() const
{
    if (!m_settings.logarithmic)
        return MinorTickPixels(m_tickPixels, m_settings.minorTickCount, m_extent, true);
    // Between two logarithmic ticks the minor ticks follow the values, not the pixels.
    std::vector<int> pixels;
    const int low = std::min(StartPos(), EndPos());
    const int high = std::max(StartPos(), EndPos());
    for (std::size_t i = 1; i < m_tickPixels.size(); ++i) {
        const double a = PixelToValue(m_tickPixels[i - 1]);
        const double b = PixelToValue(m_tickPixels[i]);
        for (int k = 1; k <= m_settings.minorTickCount; ++k) {
            const int p = ValueToPixel(a + (b - a) * k / (m_settings.minorTickCount + 1));
            if (p > low && p < high)
                pixels.push_back(p);
        }
    }
    return pixels;
}

void TCustomChartAxis::DrawLineTicksAndGrid()
{
    TChartCanvas3D& canvas = m_chart.Canvas();
    const int out = Outward();
    const int z = DrawDepth();
    const int linePos = m_posAxis + out * WallSize();

    if (m_settings.axisPen.Visible()) {
        canvas.ApplyPen(m_chart.AdjustPrintPen(m_settings.axisPen));
        int start = StartPos();
        int end = EndPos();
        // Reach the corner where the left and bottom axes meet across the other axis' wall.
        if (m_horizontal)
            start -= OtherWallSize();
        else
            end += OtherWallSize();
        if (m_horizontal)
            canvas.Line3D(start, linePos, end, linePos, z);
        else
            canvas.Line3D(linePos, start, linePos, end, z);
    }
    if (m_settings.ticks.Visible() && m_settings.tickLength != 0) {
        canvas.ApplyPen(m_chart.AdjustPrintPen(m_settings.ticks));
        DrawTickSet(m_tickPixels, linePos, out * m_settings.tickLength);
    }
    if (m_settings.gridCentered) {
        std::vector<int> middles;
        for (std::size_t i = 1; i < m_tickPixels.size(); ++i)
            middles.push_back((m_tickPixels[i - 1] + m_tickPixels[i]) / 2);
        DrawGridLines(middles, m_settings.grid);
    } else {
        DrawGridLines(m_tickPixels, m_settings.grid);
    }
    if (m_settings.ticksInner.Visible() && m_settings.tickInnerLength != 0) {
        canvas.ApplyPen(m_chart.AdjustPrintPen(m_settings.ticksInner));
        DrawTickSet(m_tickPixels, m_posAxis, -out * m_settings.tickInnerLength);
    }
    const bool minorTicks = m_settings.minorTicks.Visible() && m_settings.minorTickLength != 0;
    if ((minorTicks || m_settings.minorGrid.Visible()) && m_settings.minorTickCount > 0) {
        const std::vector<int> minor = MinorPixels();
        if (minorTicks) {
            canvas.ApplyPen(m_chart.AdjustPrintPen(m_settings.minorTicks));
            DrawTickSet(minor, linePos, out * m_settings.minorTickLength);
        }
        DrawGridLines(minor, m_settings.minorGrid);
    }
}

} // namespace tarvo
