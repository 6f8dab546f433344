// The pie's points, settings, grouping of small values and legend rows.

#include "pie/PieSeries.h"

#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <cmath>

namespace tarvo
{

namespace
{
    // An axis' own current end (0 without an axis).
    double AxisEnd(const TChartSeriesAxis* axis, bool highest)
    {
        if (axis == nullptr)
            return 0;
        return highest ? axis->Maximum() : axis->Minimum();
    }
} // namespace

TPieSeries::TPieSeries()
{
    for (TChangeNotifier* part :
        std::initializer_list<TChangeNotifier*> { &m_pieSettings.piePen, &m_explodedSlices, &m_pieSettings.otherSlice })
        part->SetOnChange([this] { RequestRepaint(); });
    XValues().SetName({});
    YValues().SetName("Pie");
    Marks().SetVisible(true);
    Marks().SetArrowLength(8);
    SetColorEachPoint(true);
}

TPieSeries::~TPieSeries() = default;

void TPieSeries::Assign(const TChartSeries& source)
{
    if (const auto* pie = dynamic_cast<const TPieSeries*>(&source); pie && pie != this) {
        m_pieSettings = pie->m_pieSettings;
    }
    TCircledSeries::Assign(source);
    SetColorEachPoint(true);
}

void TPieSeries::SetExplodeBiggest(int value)
{
    Store(m_pieSettings.explodeBiggest, value);
    ApplyExplodeBiggest();
}

void TPieSeries::ApplyExplodeBiggest()
{
    if (m_pieSettings.explodeBiggest <= 0 || PointCount() == 0)
        return;
    const int biggest = PieValues().IndexOfValue(PieValues().Highest());
    if (biggest >= 0)
        m_explodedSlices.SetValue(biggest, m_pieSettings.explodeBiggest);
}

int TPieSeries::AddPie(double value, const std::string& label, TColor color) { return Append(value, label, color); }

void TPieSeries::SwapPoints(int a, int b)
{
    TChartSeries::SwapPoints(a, b);
    m_explodedSlices.Grow(PointCount());
    m_explodedSlices.Swap(a, b);
}

void TPieSeries::ClearPointStore()
{
    TCircledSeries::ClearPointStore();
    m_explodedSlices.Clear();
}

void TPieSeries::FillSampleValues(int count)
{
    static const std::array<const char*, 8> kNames { "Cars", "Phones", "Tables", "Monitors", "Lamps", "Keyboards",
        "Bikes", "Chairs" };
    if (count <= 0)
        throw ChartException("FillSampleValues NumValues must be > 0");
    ClearPoints();
    for (int i = 0; i < count; ++i)
        AddPie(QRandomGenerator::global()->bounded(1, 1001), kNames[static_cast<std::size_t>(i) % kNames.size()]);
}

std::vector<bool> TPieSeries::SlicesToFold(std::span<const double> values) const
{
    const TPieOtherSlice& other = m_pieSettings.otherSlice;
    const int count = static_cast<int>(values.size());
    double total = 0;
    for (const double value : values)
        total += std::fabs(value);
    if (other.Style() == poNone || !(total > 0))
        return std::vector<bool>(values.size(), false);
    if (other.Style() == poBelowRank)
        return FoldedBelowRank(
            values, static_cast<int>(std::clamp(other.Value(), -1.0, double(count))), other.MinimumPercent());
    std::vector<bool> folded(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double compared = other.Style() == poBelowPercent ? values[i] * 100 / total : values[i];
        folded[i] = compared < other.Value();
    }
    return folded;
}

void TPieSeries::GroupSmallSlices()
{
    TChartValueList& values = PieValues();
    if (values.Order() != loNone)
        values.SortPoints();
    // The other slice of the previous drawing goes; its values are unfolded again below.
    for (int i = PointCount() - 1; i >= 0; --i) {
        if (IsOtherSlice(i)) {
            DeletePoint(i);
            break;
        }
    }
    XValues().Renumber();

    const TPieOtherSlice& other = m_pieSettings.otherSlice;
    if (other.Style() == poNone)
        return;
    const int count = PointCount();
    std::vector<double> all(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        all[static_cast<std::size_t>(i)] = values.Value(i);
    const std::vector<bool> folded = SlicesToFold(all);
    double sum = 0;
    for (int i = 0; i < count; ++i) {
        if (folded[static_cast<std::size_t>(i)]) {
            sum += values.Value(i);
            XValues().SetValue(i, kFoldedX);
        }
    }
    if (sum != 0) {
        AddPoint(kOtherSliceX, sum, other.Text(), other.Color());
        // The folded values are in the other slice now; the total counts them once.
        values.SetAbsSum(values.AbsSum() - sum);
    }
}

int TPieSeries::PointX(int index) const { return IsOtherSlice(index) ? 0 : TCircledSeries::PointX(index); }

bool TPieSeries::HasFoldedPoints() const
{
    // The X list's range is kept between changes, so the legend's many questions cost no scan
    // when nothing is folded.
    const TChartValueList& x = XValues();
    return x.ValueCount() > 0 && x.Lowest() <= kFoldedX && x.Highest() >= kFoldedX;
}

int TPieSeries::LegendItemCount() const
{
    if (!HasFoldedPoints())
        return PointCount();
    int count = 0;
    for (int i = 0; i < PointCount(); ++i)
        if (!IsFolded(i))
            ++count;
    return count;
}

int TPieSeries::LegendItemToPoint(int row) const
{
    if (!HasFoldedPoints())
        return row;
    int shown = -1;
    for (int i = 0; i < PointCount(); ++i) {
        if (IsFolded(i))
            continue;
        if (++shown == row)
            return i;
    }
    return row;
}

TBrushStyle TPieSeries::SlicePattern(int index)
{
    static constexpr std::array<TBrushStyle, 6> kPatterns { bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross,
        bsDiagCross };
    const int slot = ((index % 6) + 6) % 6;
    return kPatterns[static_cast<std::size_t>(slot)];
}

void TPieSeries::LegendSymbolBrush(int index, TColor& backColor, TBrushStyle& style)
{
    TCircledSeries::LegendSymbolBrush(index, backColor, style);
    if (m_pieSettings.usePatterns)
        style = SlicePattern(index);
}

double TPieSeries::MaxXValue() const { return AxisEnd(GetHorizAxis(), true); }
double TPieSeries::MinXValue() const { return AxisEnd(GetHorizAxis(), false); }
double TPieSeries::MaxYValue() const { return AxisEnd(GetVertAxis(), true); }
double TPieSeries::MinYValue() const { return AxisEnd(GetVertAxis(), false); }

} // namespace tarvo
