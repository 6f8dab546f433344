// The axis panel's series list, axes and properties; the repaint pipeline is in
// AxisPanelPipeline.cpp.

#include "panel/AxisPanel.h"

#include "axes/ChartDepthAxis.h"
#include "series/ChartSeries.h"

#include <algorithm>

namespace tarvo
{

TCustomAxisPanel::TCustomAxisPanel(QWidget* parent)
    : TCustomChartPanelExtended(parent)
{
}

TCustomAxisPanel::~TCustomAxisPanel()
{
    // Series must not call back into a chart that is half destroyed.
    SetInvalidationEnabled(false);
    while (!m_series.empty()) {
        TChartSeries* last = m_series.back();
        last->SetParentChart(nullptr);
        if (!m_series.empty() && m_series.back() == last)
            m_series.pop_back(); // it did not say goodbye; it must not stay listed either
    }
    m_ownedSeries.clear();
}

TChartSeries* TCustomAxisPanel::Series(int index) const
{
    if (index < 0 || index >= SeriesCount())
        throw ChartListIndexError(index);
    return m_series[static_cast<std::size_t>(index)];
}

TChartSeries& TCustomAxisPanel::AddSeries(std::unique_ptr<TChartSeries> series)
{
    Q_ASSERT_X(series != nullptr, "TCustomAxisPanel::AddSeries", "a chart cannot own a missing series");
    TChartSeries& added = *series;
    m_ownedSeries.push_back(std::move(series));
    added.SetParentChart(this);
    return added;
}

void TCustomAxisPanel::AddSeries(TChartSeries& series) { series.SetParentChart(this); }

void TCustomAxisPanel::InsertSeries(TChartSeries& series)
{
    if (std::find(m_series.begin(), m_series.end(), &series) != m_series.end())
        return;
    series.SetOnChange([this] { Invalidate(); });
    m_series.push_back(&series);
    Invalidate();
}

void TCustomAxisPanel::RemoveSeries(TChartSeries& series)
{
    const auto at = std::find(m_series.begin(), m_series.end(), &series);
    if (at == m_series.end())
        return;
    m_series.erase(at);
    series.SetOnChange({});
    // The mouse handling shows a series' cursor over its points; it must not outlive the series.
    if (series.Cursor() != crDefault && cursor().shape() == series.Cursor())
        unsetCursor();
    Invalidate();
}

int TCustomAxisPanel::ActiveSeriesCount() const
{
    return static_cast<int>(
        std::count_if(m_series.begin(), m_series.end(), [](const TChartSeries* s) { return s->Active(); }));
}

std::vector<TChartSeries*> TCustomAxisPanel::ActiveSeries() const
{
    std::vector<TChartSeries*> active;
    std::copy_if(m_series.begin(), m_series.end(), std::back_inserter(active),
        [](const TChartSeries* s) { return s->Active(); });
    return active;
}

void TCustomAxisPanel::SetAxis(TChartAxisRole role, std::unique_ptr<TChartLayoutAxis> axis)
{
    if (axis)
        axis->SetOnChange([this] { Invalidate(); });
    m_axes[static_cast<std::size_t>(role)] = std::move(axis);
    m_chartAxes[static_cast<std::size_t>(role)] = nullptr;
    Invalidate();
}

void TCustomAxisPanel::SetAxis(TChartAxisRole role, std::unique_ptr<TCustomChartAxis> axis)
{
    TCustomChartAxis* own = axis.get();
    SetAxis(role, std::unique_ptr<TChartLayoutAxis>(std::move(axis)));
    m_chartAxes[static_cast<std::size_t>(role)] = own;
}

TCustomChartAxis* TCustomAxisPanel::ChartAxis(TChartAxisRole role) const
{
    return m_chartAxes[static_cast<std::size_t>(role)];
}

TChartLayoutAxis* TCustomAxisPanel::Axis(TChartAxisRole role) const
{
    return m_axes[static_cast<std::size_t>(role)].get();
}

bool TCustomAxisPanel::IsAxisShown(const TChartLayoutAxis& axis) const
{
    if (!m_axisVisible || !axis.Visible())
        return false;
    if (axis.IsDepthAxis())
        return View3D();
    return std::any_of(m_series.begin(), m_series.end(),
        [&axis](const TChartSeries* s) { return s->Active() && s->UsesAxes() && s->IsAxisRelated(axis); });
}

void TCustomAxisPanel::SetMaxPointsPerPage(int value)
{
    if (value < 0)
        throw ChartException("MaxPointsPerPage must be >= 0");
    SetAndInvalidate(m_maxPointsPerPage, value);
    SetPage(m_page);
}

int TCustomAxisPanel::NumPages() const
{
    if (m_maxPointsPerPage == 0)
        return 1;
    int most = 0;
    for (const TChartSeries* s : m_series)
        if (s->Active())
            most = std::max(most, s->PointCount());
    return std::max(1, (most + m_maxPointsPerPage - 1) / m_maxPointsPerPage);
}

void TCustomAxisPanel::SetPage(int value) { SetAndInvalidate(m_page, std::clamp(value, 1, NumPages())); }

void InstallChartAxes(TCustomAxisPanel& chart)
{
    for (const TChartAxisRole role : { carBottom, carTop, carLeft, carRight, carDepth }) {
        std::unique_ptr<TCustomChartAxis> axis;
        if (role == carDepth)
            axis = std::make_unique<TChartDepthAxis>(chart);
        else
            axis = std::make_unique<TChartAxis>(chart, role);
        chart.SetAxis(role, std::move(axis));
    }
}

} // namespace tarvo
