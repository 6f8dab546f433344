#include "series/ChartSeries.h"

#include "core/ChartException.h"
#include "series/ChartSeriesFormat.h"
#include "style/SeriesPalette.h"

#include <algorithm>
#include <cctype>

namespace tarvo
{

namespace
{
    bool EqualsIgnoringCase(const std::string& a, const std::string& b)
    {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
        });
    }
} // namespace

TChartSeries::TChartSeries()
{
    m_marks.SetOnChange([this] { RequestRepaint(); });
    AddValueList("X").SetOrder(loAscending);
    AddValueList("Y");
}

TChartSeries::~TChartSeries()
{
    if (m_dataSource)
        m_dataSource->RemoveDependent(*this);
    for (TChartSeries* dependent : m_dependents)
        dependent->m_dataSource = nullptr;
    // Only the base part is left here: the chart may drop the series from its list but must not
    // call it.
    if (m_parentChart) {
        TChartSeriesHost* chart = m_parentChart;
        m_parentChart = nullptr;
        chart->RemoveSeries(*this);
    }
}

TChartValueList& TChartSeries::AddValueList(std::string name)
{
    // Sorting a list moves whole points; what a list says of itself goes to the series first.
    auto list = std::make_unique<TChartValueList>([this](int a, int b) { SwapPoints(a, b); }, std::move(name));
    list->SetOnChange([this](TValueListChange change, int index) { ValueListChanged(change, index); });
    m_valueLists.push_back(std::move(list));
    return *m_valueLists.back();
}

TChartValueList& TChartSeries::ValueList(int index)
{
    if (index < 0 || index >= ValueListCount())
        throw ChartListIndexError(index);
    return *m_valueLists[static_cast<std::size_t>(index)];
}

const TChartValueList& TChartSeries::ValueList(int index) const
{
    if (index < 0 || index >= ValueListCount())
        throw ChartListIndexError(index);
    return *m_valueLists[static_cast<std::size_t>(index)];
}

TChartValueList& TChartSeries::ValueListByName(const std::string& name) const
{
    for (std::size_t i = 2; i < m_valueLists.size(); ++i) {
        if (EqualsIgnoringCase(m_valueLists[i]->Name(), name))
            return *m_valueLists[i];
    }
    return *m_valueLists[1];
}

void TChartSeries::ValueListChanged(TValueListChange change, int index)
{
    // No default branch: the compiler names a change that is not handled.
    switch (change) {
    case vlcDisplay:
        RequestRepaint();
        break;
    case vlcScale:
        NotifyDependents(snRefresh);
        RequestRepaint();
        break;
    case vlcValue:
        NotifyDependents(snRefresh, index);
        break;
    case vlcSource:
        CheckDataSource();
        break;
    }
}

bool TChartSeries::IsVertical() const { return &MainValueList() == m_valueLists[1].get(); }

// --- Properties ---

void TChartSeries::SetActive(bool value) { Store(m_active, value); }

void TChartSeries::SetColorEachPoint(bool value)
{
    if (m_colorEachPoint == value)
        return;
    m_colorEachPoint = value;
    if (!value)
        std::fill(m_colors.begin(), m_colors.end(), clDefaultColor);
    RequestRepaint();
}

void TChartSeries::SetColorSource(std::string value)
{
    if (m_colorSource == value)
        return;
    m_colorSource = std::move(value);
    CheckDataSource();
}

void TChartSeries::SetXLabelsSource(std::string value)
{
    if (m_xLabelsSource == value)
        return;
    m_xLabelsSource = std::move(value);
    CheckDataSource();
}

void TChartSeries::SetPercentFormat(std::string value) { Store(m_percentFormat, std::move(value)); }
void TChartSeries::SetSeriesColor(TColor value) { Store(m_seriesColor, value); }
void TChartSeries::SetShowInLegend(bool value) { Store(m_showInLegend, value); }
void TChartSeries::SetTitle(std::string value) { Store(m_title, std::move(value)); }
void TChartSeries::SetValueFormat(std::string value) { Store(m_valueFormat, std::move(value)); }
void TChartSeries::SetDepthOrder(int value) { Store(m_depthOrder, value); }

// --- Points ---

void TChartSeries::CheckPointIndex(int index) const
{
    if (index < 0 || index >= PointCount())
        throw ChartListIndexError(index);
}

int TChartSeries::InsertPoint(double x, double y, const std::string& label, TColor color)
{
    XValues().SetTempValue(x);
    YValues().SetTempValue(y);
    if (OnBeforeAdd && !OnBeforeAdd(*this))
        return -1;
    const int index = XValues().AddValue(x);
    YValues().InsertValue(index, y);
    AddSourceValues(index);
    m_colors.insert(m_colors.begin() + index, color);
    m_labels.insert(m_labels.begin() + index, label);
    return index;
}

void TChartSeries::AddSourceValues(int index)
{
    for (std::size_t i = 2; i < m_valueLists.size(); ++i)
        m_valueLists[i]->InsertValue(index, m_valueLists[i]->TempValue());
}

int TChartSeries::AddPoint(double x, double y, const std::string& label, TColor color)
{
    const int index = InsertPoint(x, y, label, color);
    if (index >= 0)
        PointAdded(index);
    return index;
}

int TChartSeries::Append(double value, const std::string& label, TColor color)
{
    const auto next = static_cast<double>(PointCount());
    return IsVertical() ? AddPoint(next, value, label, color) : AddPoint(value, next, label, color);
}

int TChartSeries::AppendNull(const std::string& label) { return Append(0, label, clNone); }

int TChartSeries::AddNullPoint(double x, double y, const std::string& label) { return AddPoint(x, y, label, clNone); }

void TChartSeries::PointAdded(int index)
{
    if (OnAfterAdd)
        OnAfterAdd(*this, index);
    NotifyDependents(snAdd, index);
    if (m_active)
        RequestRepaint();
}

void TChartSeries::DeletePoint(int index)
{
    CheckPointIndex(index);
    for (auto& list : m_valueLists)
        list->DeleteValue(index);
    const auto at = static_cast<std::size_t>(index);
    if (at < m_colors.size())
        m_colors.erase(m_colors.begin() + index);
    if (at < m_labels.size())
        m_labels.erase(m_labels.begin() + index);
    MarkPositions().Delete(index);
    NotifyDependents(snDelete, index);
    if (m_active)
        RequestRepaint();
}

void TChartSeries::ClearPointStore()
{
    for (auto& list : m_valueLists)
        list->RemoveAll();
    m_colors.clear();
    m_colors.shrink_to_fit();
    m_labels.clear();
    m_labels.shrink_to_fit();
    MarkPositions().Clear();
}

void TChartSeries::ClearPoints()
{
    ClearPointStore();
    if (OnClearValues)
        OnClearValues(*this);
    NotifyDependents(snClear);
    if (m_active && m_parentChart)
        RequestRepaint();
}

void TChartSeries::SwapPoints(int a, int b)
{
    CheckPointIndex(a);
    CheckPointIndex(b);
    for (auto& list : m_valueLists)
        list->SwapValues(a, b);
    std::swap(m_colors[static_cast<std::size_t>(a)], m_colors[static_cast<std::size_t>(b)]);
    std::swap(m_labels[static_cast<std::size_t>(a)], m_labels[static_cast<std::size_t>(b)]);
}

double TChartSeries::XValue(int index) const { return XValues().Value(index); }
double TChartSeries::YValue(int index) const { return YValues().Value(index); }
double TChartSeries::PointValue(int index) const { return MainValueList().Value(index); }

TColor TChartSeries::PointColor(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_colors.size()))
        return m_seriesColor;
    const TColor own = m_colors[static_cast<std::size_t>(index)];
    if (own != clDefaultColor)
        return own; // the null colour too: null points stay null
    return m_colorEachPoint ? SeriesPaletteColor(index) : m_seriesColor;
}

std::string TChartSeries::PointLabel(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_labels.size()))
        return {};
    return m_labels[static_cast<std::size_t>(index)];
}

bool TChartSeries::IsNull(int index) const { return PointColor(index) == clNone; }

// --- Texts ---

std::string TChartSeries::ValueText(int index) const
{
    return FormatFloat(m_valueFormat, PointValue(index), ChartFormatSettings());
}

std::string TChartSeries::PercentValueText(double percent) const
{
    return FormatFloat(m_percentFormat, percent, ChartFormatSettings());
}

std::string TChartSeries::LegendItemText(int index, TLegendTextStyle style) const
{
    const int point = LegendItemToPoint(index);
    const std::string label = PointLabel(point);
    switch (style) {
    case ltsPlain:
        return label;
    case ltsXValue:
        return m_horizAxis ? m_horizAxis->AxisLabelText(XValue(point))
                           : FormatFloat(m_valueFormat, XValue(point), ChartFormatSettings());
    case ltsLeftValue:
        return ValueText(point) + " " + label;
    case ltsRightValue:
        return label + " " + ValueText(point);
    case ltsLeftPercent:
    case ltsRightPercent: {
        const double total = MainValueList().AbsSum();
        const std::string percent = PercentValueText(total != 0 ? PointValue(point) * 100.0 / total : 100.0);
        return style == ltsLeftPercent ? percent + " " + label : label + " " + percent;
    }
    }
    return label;
}

} // namespace tarvo
