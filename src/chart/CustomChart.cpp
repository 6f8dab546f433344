#include "CustomChart.h"

#include "axes/ChartAxis.h"
#include "legend/ChartLegend.h"

namespace tarvo
{

TCustomChart::TCustomChart(QWidget* parent)
    : TCustomAxisPanel(parent)
{
    for (TChangeNotifier* part :
        std::initializer_list<TChangeNotifier*> { &m_title, &m_foot, &m_backWall, &m_leftWall, &m_bottomWall })
        part->SetOnChange([this] { Invalidate(); });
    m_backWall.Brush().SetStyle(bsClear);
    InstallChartAxes(*this); // before any series joins: a series takes its axes when it does
    SetLegend(std::make_unique<TChartLegend>(*this));
    // Moves without a button decide the cursor: the series' own over its points.
    setMouseTracking(true);
    m_originalCursor = cursor().shape();
}

TCustomChart::~TCustomChart() = default;

void TCustomChart::SetBackColor(TColor value)
{
    m_backWall.SetColor(value);
    if (parentWidget() != nullptr)
        m_backWall.Brush().SetStyle(bsSolid);
}

void TCustomChart::SetLegend(std::unique_ptr<TChartLayoutLegend> legend)
{
    if (legend)
        legend->SetOnChange([this] { Invalidate(); });
    m_legend = std::move(legend);
    m_chartLegend = nullptr;
    Invalidate();
}

void TCustomChart::SetLegend(std::unique_ptr<TChartLegend> legend)
{
    TChartLegend* own = legend.get();
    SetLegend(std::unique_ptr<TChartLayoutLegend>(std::move(legend)));
    m_chartLegend = own;
}

void TCustomChart::GetLegendText(TLegendStyle legendStyle, int index, std::string& legendText)
{
    if (OnGetLegendText)
        OnGetLegendText(*this, legendStyle, index, legendText);
}

void TCustomChart::GetLegendRect(TRect& rect)
{
    if (OnGetLegendRect)
        OnGetLegendRect(*this, rect);
}

void TCustomChart::GetLegendPos(int index, int& x, int& y, int& xColor)
{
    if (OnGetLegendPos)
        OnGetLegendPos(*this, index, x, y, xColor);
}

void TCustomChart::AdjustForCircledSeries(bool restore)
{
    SetAxisVisible(restore);
    SetClipPoints(restore);
    SetView3DWalls(restore);
    Frame().SetVisible(restore);
    BackWall().Brush().SetStyle(restore ? bsSolid : bsClear);
    SetAllowZoom(restore);
    SetAllowPanning(restore ? pmBoth : pmNone);
    // Seen from above at 45 degrees, whether the circle stays or goes.
    TView3DOptions& view = View3DOptions();
    view.SetOrthogonal(false);
    view.SetRotation(360);
    view.SetElevation(315);
    view.SetPerspective(0);
    view.SetTilt(0);
}

void TCustomChart::LayoutTitlesAndLegend()
{
    // Each stage takes what the one before left of the plot and gives back the rest.
    const auto stage = [this](const TRect& left) {
        SetChartRect(left);
        RecalcPlotSize();
    };
    const auto legend = [&] {
        SetLegendColor(m_legend->Color());
        stage(m_legend->DrawLegend(ChartRect()));
    };
    const bool legendShown = m_legend && m_legend->Visible() && ActiveSeriesCount() > 0;
    if (legendShown && m_legend->Vertical())
        legend();
    stage(m_title.Draw(*this, ChartRect()));
    stage(m_foot.Draw(*this, ChartRect()));
    if (legendShown && !m_legend->Vertical())
        legend();
}

void TCustomChart::PrepareWall(const TChartWall& wall)
{
    TChartCanvas3D& canvas = Canvas();
    canvas.ApplyPen(wall.Pen());
    if (wall.Brush().HasImage()) {
        canvas.Brush() = wall.Brush();
    } else if (wall.Color() == clDefaultColor && wall.Brush().Style() == bsSolid) {
        canvas.Brush().SetImage(QImage());
        canvas.Brush().SetStyle(bsClear);
    } else {
        ApplyBrush(wall.Color(), wall.Brush().Style(), wall.Brush().Color());
    }
}

void TCustomChart::PaintWalls()
{
    TChartCanvas3D& canvas = Canvas();
    const TRect r = ChartRect();
    const bool walls3D = View3D() && View3DWalls();
    const int leftSize = walls3D ? m_leftWall.Size() : 0;
    const int bottomSize = walls3D ? m_bottomWall.Size() : 0;
    const int depth = TotalDepth();

    PrepareWall(m_backWall);
    if (!View3D()) {
        canvas.Rectangle2D(r.Left, r.Top, r.Right + 1, r.Bottom + 1);
    } else if (walls3D) {
        if (m_backWall.Size() < 1)
            canvas.RectAtDepth({ r.Left + 1, r.Top - 1, r.Right, r.Bottom }, depth);
        else
            canvas.Box3D(r.Left - leftSize, r.Right, r.Top, r.Bottom + bottomSize, depth, depth + m_backWall.Size(),
                m_backWall.Shaded());
    }

    if (BackImageInside()) {
        const int inset = m_backWall.Pen().Visible() ? 1 : 0;
        DrawBackImage({ r.Left, r.Top + inset, r.Right, r.Bottom - inset });
    }

    if (!walls3D)
        return;
    PrepareWall(m_leftWall);
    if (m_leftWall.Size() < 1)
        canvas.SideRect(r.Left, r.Top, r.Bottom + bottomSize, 0, depth + 1);
    else
        canvas.Box3D(r.Left - m_leftWall.Size(), r.Left, r.Top, r.Bottom + bottomSize, 0, depth, m_leftWall.Shaded());
    PrepareWall(m_bottomWall);
    if (m_bottomWall.Size() < 1)
        canvas.FloorRect(r.Left, r.Bottom, r.Right, 0, depth);
    else
        canvas.Box3D(r.Left, r.Right, r.Bottom, r.Bottom + m_bottomWall.Size(), 0, depth, m_bottomWall.Shaded());
}

} // namespace tarvo
