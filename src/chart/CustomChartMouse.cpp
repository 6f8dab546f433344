// The chart and the mouse: what lies under a pixel, clicks on series, legend, axes and
// background, the zoom band and the zoom itself, panning, the wheel and the cursor.

#include "CustomChart.h"

#include "legend/ChartLayoutLegend.h"
#include "series/ChartSeries.h"

#include <QMouseEvent>
#include <QWheelEvent>

#include <cstdlib>
#include <optional>

namespace tarvo
{

namespace
{

    // A drag must go further than this both ways before it zooms (or undoes a zoom).
    constexpr int kZoomThresholdPixels = 16;
    // The wheel scrolls by this share of an axis' range per notch.
    constexpr double kWheelStepShare = 3 * 0.01;
    constexpr int kWheelNotch = 120; // angle units of one notch
    // Each animated zoom frame goes this part of the remaining way.
    constexpr double kZoomFrameDivisor = 3.0;

    // Buttons the chart knows; any other button reaches no handler.
    std::optional<TMouseButton> ChartButton(Qt::MouseButton button)
    {
        switch (button) {
        case Qt::LeftButton:
            return mbLeft;
        case Qt::RightButton:
            return mbRight;
        case Qt::MiddleButton:
            return mbMiddle;
        default:
            return std::nullopt;
        }
    }

    TShiftState ChartShift(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
    {
        TShiftState shift;
        shift.setFlag(ssShift, modifiers.testFlag(Qt::ShiftModifier));
        shift.setFlag(ssAlt, modifiers.testFlag(Qt::AltModifier));
        shift.setFlag(ssCtrl, modifiers.testFlag(Qt::ControlModifier));
        shift.setFlag(ssLeft, buttons.testFlag(Qt::LeftButton));
        shift.setFlag(ssRight, buttons.testFlag(Qt::RightButton));
        shift.setFlag(ssMiddle, buttons.testFlag(Qt::MiddleButton));
        return shift;
    }

    bool Contains(const TRect& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

} // namespace

// --- Hit test ---

TChartClickedPart TCustomChart::PartAt(int x, int y) const
{
    for (int i = SeriesCount() - 1; i >= 0; --i) {
        TChartSeries* series = Series(i);
        if (!series->Active())
            continue;
        if (const int index = series->PointAt(x, y); index != -1)
            return { cpSeries, index, series, nullptr };
    }
    for (const TChartAxisRole role : { carBottom, carTop, carLeft, carRight, carDepth }) {
        if (TChartLayoutAxis* axis = Axis(role); axis != nullptr && axis->Clicked(x, y))
            return { cpAxis, -1, nullptr, axis };
    }
    if (m_title.Visible() && Contains(m_title.DrawnRect(), x, y))
        return { cpTitle };
    if (m_foot.Visible() && Contains(m_foot.DrawnRect(), x, y))
        return { cpFoot };
    if (Contains(ChartRect(), x, y) && ActiveSeriesCount() > 0)
        return { cpChartRect };
    if (m_legend && m_legend->Visible()) {
        if (const int row = m_legend->RowAt(x, y); row != -1)
            return { cpLegend, row };
    }
    return {};
}

// --- Buttons ---

void TCustomChart::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (ZoomState().Active || PanState().Active)
        return;
    if (m_clickConsumed) {
        m_clickConsumed = false;
        return;
    }
    const TChartClickedPart part = PartAt(x, y);
    bool handled = false;
    switch (part.Part) {
    case cpLegend:
        if (OnClickLegend) {
            m_clickConsumed = true;
            OnClickLegend(*this, button, shift, x, y);
            handled = m_clickConsumed;
        }
        break;
    case cpAxis:
        if (OnClickAxis) {
            m_clickConsumed = true;
            OnClickAxis(*this, *part.AAxis, button, shift, x, y);
            handled = m_clickConsumed;
        }
        if (!handled)
            StartZoomOrPan(button, x, y);
        break;
    case cpSeries:
        handled = part.ASeries->DoClick(part.PointIndex, button, shift, x, y);
        if (OnClickSeries) {
            m_clickConsumed = true;
            OnClickSeries(*this, *part.ASeries, part.PointIndex, button, shift, x, y);
            // The handler may have refilled or removed the series: nothing of `part` is used
            // from here on.
            handled = m_clickConsumed;
        }
        if (!handled)
            StartZoomOrPan(button, x, y);
        break;
    case cpChartRect:
        handled = BackgroundClick(button, shift, x, y);
        if (!handled)
            StartZoomOrPan(button, x, y);
        break;
    case cpNone:
    case cpTitle:
    case cpFoot:
        break;
    }
    if (!handled)
        static_cast<void>(BackgroundClick(button, shift, x, y));
    m_clickConsumed = false;
}

bool TCustomChart::BackgroundClick(TMouseButton button, TShiftState shift, int x, int y)
{
    if (!OnClickBackground)
        return false;
    m_clickConsumed = true;
    OnClickBackground(*this, button, shift, x, y);
    return m_clickConsumed;
}

void TCustomChart::StartZoomOrPan(TMouseButton button, int x, int y)
{
    if (AllowZoom() && button == mbLeft) {
        unsetCursor();
        ZoomState() = { x, y, x, y, true };
        Canvas().DrawOverBuffer([this] { DrawZoomRectangle(); });
        update();
    } else if (AllowPanning() != pmNone && button == mbRight) {
        unsetCursor();
        PanState() = { x, y, x, y, true };
    }
}

void TCustomChart::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    for (int i = 0; i < SeriesCount(); ++i)
        Series(i)->MouseReleased(button, shift, x, y);
    TZoomPanningRecord& zoom = ZoomState();
    if (zoom.Active && button == mbLeft) {
        // The band goes first, so the picture is clean whatever the drag leads to.
        Canvas().DrawOverBuffer([this] { DrawZoomRectangle(); });
        zoom.Active = false;
        zoom.X1 = x;
        zoom.Y1 = y;
        update();
        if (std::abs(zoom.X1 - zoom.X0) > kZoomThresholdPixels && std::abs(zoom.Y1 - zoom.Y0) > kZoomThresholdPixels) {
            if (zoom.X0 < zoom.X1 && zoom.Y0 < zoom.Y1)
                ZoomRect({ zoom.X0, zoom.Y0, zoom.X1, zoom.Y1 });
            else
                UndoZoom();
        }
    }
    PanState().Active = false;
}

// --- Moving ---

void TCustomChart::MouseMove(TShiftState shift, int x, int y)
{
    if (ZoomState().Active) {
        MoveZoomBand(x, y);
        return;
    }
    if (PanState().Active) {
        if (Contains(ChartRect(), x, y))
            Pan(x, y);
        else
            PanState().Active = false;
        return;
    }
    ShowCursorAt(x, y);
    for (int i = 0; i < SeriesCount(); ++i)
        Series(i)->MouseMoved(shift, x, y);
}

void TCustomChart::MoveZoomBand(int x, int y)
{
    TZoomPanningRecord& zoom = ZoomState();
    if (zoom.X1 == x && zoom.Y1 == y)
        return;
    Canvas().DrawOverBuffer([&] {
        DrawZoomRectangle(); // off at the old corner
        zoom.X1 = x;
        zoom.Y1 = y;
        DrawZoomRectangle();
    });
    zoom.X1 = x;
    zoom.Y1 = y;
    update();
}

void TCustomChart::Pan(int x, int y)
{
    TZoomPanningRecord& pan = PanState();
    if (pan.X1 == x && pan.Y1 == y)
        return;
    SaveAxesForUndo();
    const TPanningMode mode = AllowPanning();
    const bool horizontal = mode == pmHorizontal || mode == pmBoth;
    const bool vertical = mode == pmVertical || mode == pmBoth;
    bool scrolled = false;
    for (const TChartAxisRole role : { carBottom, carTop, carLeft, carRight }) {
        TChartLayoutAxis* axis = Axis(role);
        if (axis == nullptr || (axis->Horizontal() ? !horizontal : !vertical))
            continue;
        const double delta = axis->Horizontal() ? axis->PixelToValue(pan.X1) - axis->PixelToValue(x)
                                                : axis->PixelToValue(pan.Y1) - axis->PixelToValue(y);
        double minimum = axis->Minimum() + delta;
        double maximum = axis->Maximum() + delta;
        bool allowScroll = true;
        if (OnAllowScroll)
            OnAllowScroll(*this, *axis, minimum, maximum, allowScroll);
        if (allowScroll) {
            axis->SetMinMax(minimum, maximum);
            scrolled = true;
        }
    }
    pan.X1 = x;
    pan.Y1 = y;
    if (scrolled) {
        if (OnScroll)
            OnScroll(*this);
        Invalidate();
    }
}

void TCustomChart::ShowCursorAt(int x, int y)
{
    for (int i = 0; i < SeriesCount(); ++i) {
        const TChartSeries* series = Series(i);
        if (series->Active() && series->Cursor() != crDefault && series->PointAt(x, y) != -1) {
            setCursor(series->Cursor());
            return;
        }
    }
    if (m_originalCursor == crDefault)
        unsetCursor();
    else
        setCursor(m_originalCursor);
}

void TCustomChart::MouseWheel(int steps)
{
    for (const TChartAxisRole role : { carLeft, carRight }) {
        if (TChartLayoutAxis* axis = Axis(role); axis != nullptr)
            axis->Scroll(-(axis->Maximum() - axis->Minimum()) * kWheelStepShare * steps, false);
    }
}

// --- Zoom ---

std::array<TChartLayoutAxis*, 4> TCustomChart::ZoomAxes() const
{
    return { Axis(carTop), Axis(carBottom), Axis(carLeft), Axis(carRight) };
}

void TCustomChart::SaveAxesForUndo()
{
    if (m_savedAxes)
        return;
    std::array<TAxisRangeSettings, 4> saved;
    const auto axes = ZoomAxes();
    for (std::size_t i = 0; i < axes.size(); ++i)
        if (axes[i] != nullptr)
            saved[i] = axes[i]->RangeSettings();
    m_savedAxes = saved;
}

void TCustomChart::ZoomRect(const TRect& rect)
{
    const TRect r = rect.Normalized();
    SaveAxesForUndo();
    const auto axes = ZoomAxes();
    std::array<std::pair<double, double>, 4> targets;
    for (std::size_t i = 0; i < axes.size(); ++i) {
        if (const TChartLayoutAxis* axis = axes[i]; axis != nullptr) {
            const double a = axis->PixelToValue(axis->Horizontal() ? r.Left : r.Top);
            const double b = axis->PixelToValue(axis->Horizontal() ? r.Right : r.Bottom);
            targets[i] = { std::min(a, b), std::max(a, b) };
        }
    }
    if (AnimatedZoom()) {
        for (int frame = 1; frame < AnimatedZoomSteps(); ++frame) {
            for (std::size_t i = 0; i < axes.size(); ++i) {
                if (TChartLayoutAxis* axis = axes[i]; axis != nullptr) {
                    const double minimum = axis->Minimum() + (targets[i].first - axis->Minimum()) / kZoomFrameDivisor;
                    const double maximum = axis->Maximum() + (targets[i].second - axis->Maximum()) / kZoomFrameDivisor;
                    axis->SetMinMax(minimum, maximum);
                }
            }
            // Synchronous: queued updates would merge into one frame.
            repaint();
        }
    }
    for (std::size_t i = 0; i < axes.size(); ++i)
        if (axes[i] != nullptr)
            axes[i]->SetMinMax(targets[i].first, targets[i].second);
    SetZoomed(true);
    if (OnZoom)
        OnZoom(*this);
}

void TCustomChart::UndoZoom()
{
    if (m_savedAxes) {
        const auto axes = ZoomAxes();
        for (std::size_t i = 0; i < axes.size(); ++i)
            if (axes[i] != nullptr)
                axes[i]->SetRangeSettings((*m_savedAxes)[i]);
        m_savedAxes.reset();
    }
    if (OnUndoZoom)
        OnUndoZoom(*this);
    Invalidate();
    SetZoomed(false);
}

// --- The widget's events ---

// The chart takes every mouse event it gets: passed on, a press would reach the page below.

void TCustomChart::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (const auto button = ChartButton(event->button())) {
        const QPoint p = event->position().toPoint();
        MouseDown(*button, ChartShift(event->modifiers(), event->buttons()), p.x(), p.y());
    }
}

void TCustomChart::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    // The second press of a double click is a press that says so.
    if (const auto button = ChartButton(event->button())) {
        const QPoint p = event->position().toPoint();
        MouseDown(*button, ChartShift(event->modifiers(), event->buttons()) | ssDouble, p.x(), p.y());
    }
}

void TCustomChart::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    const QPoint p = event->position().toPoint();
    MouseMove(ChartShift(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TCustomChart::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (const auto button = ChartButton(event->button())) {
        const QPoint p = event->position().toPoint();
        MouseUp(*button, ChartShift(event->modifiers(), event->buttons()), p.x(), p.y());
    }
}

void TCustomChart::wheelEvent(QWheelEvent* event)
{
    m_wheelRemainder += event->angleDelta().y();
    const int steps = m_wheelRemainder / kWheelNotch;
    m_wheelRemainder -= steps * kWheelNotch;
    if (steps != 0)
        MouseWheel(steps);
    event->accept();
}

void TCustomChart::leaveEvent(QEvent* event)
{
    TCustomAxisPanel::leaveEvent(event);
    if (!ZoomState().Active && !PanState().Active)
        ShowCursorAt(-1, -1);
}

} // namespace tarvo
