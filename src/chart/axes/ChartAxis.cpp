// Construction, properties and their checks, the value↔pixel mapping and the hit test of an axis.
// Scaling is in ChartAxisScale.cpp, labels in ChartAxisLabels.cpp, the rest of drawing and the
// room it takes in ChartAxisDraw.cpp.

#include "axes/ChartAxis.h"

#include "series/ChartSeries.h"

#include <algorithm>

namespace tarvo
{

namespace
{

    int DefaultTitleAngle(TChartAxisRole role)
    {
        switch (role) {
        case carLeft:
            return 90;
        case carRight:
            return 270;
        case carBottom:
        case carTop:
        case carDepth:
            break;
        }
        return 0;
    }

} // namespace

TCustomChartAxis::TCustomChartAxis(TChartAxisHost& chart, TChartAxisRole role)
    : m_chart(chart)
    , m_role(role)
    , m_horizontal(role == carBottom || role == carTop)
    , m_otherSide(role == carTop || role == carRight)
    , m_title(DefaultTitleAngle(role))
{
    m_settings.grid.SetColor(clGray);
    m_settings.grid.SetStyle(psDot);
    m_settings.minorTicks.SetColor(clGray);
    m_settings.ticks.SetColor(clGray);
    m_settings.ticksInner.SetColor(clGray);
    m_settings.visible = role != carDepth;
    // The axis' parts report to the axis, which reports to its chart.
    for (TChangeNotifier* part :
        std::initializer_list<TChangeNotifier*> { &m_settings.axisPen, &m_settings.grid, &m_settings.labelsFont,
            &m_settings.minorGrid, &m_settings.minorTicks, &m_settings.ticks, &m_settings.ticksInner, &m_title })
        part->SetOnChange([this] { Changed(); });
}

TCustomChartAxis::~TCustomChartAxis() = default;

void TCustomChartAxis::Assign(const TCustomChartAxis& other)
{
    if (this == &other)
        return;
    // The pens and the font report their own changes; the axis reports once more for the rest.
    m_settings = other.m_settings;
    m_title.Assign(other.m_title);
    OnGetAxisLabel = other.OnGetAxisLabel;
    OnGetNextAxisLabel = other.OnGetNextAxisLabel;
    Changed();
}

// --- Range ---

void TCustomChartAxis::SetAutomatic(bool value)
{
    if (m_settings.automatic == value && m_settings.automaticMinimum == value && m_settings.automaticMaximum == value)
        return;
    m_settings.automatic = value;
    m_settings.automaticMinimum = value;
    m_settings.automaticMaximum = value;
    Changed();
}

void TCustomChartAxis::SetAutomaticMaximum(bool value)
{
    if (m_settings.automaticMaximum == value)
        return;
    m_settings.automaticMaximum = value;
    if (!value || m_settings.automaticMinimum)
        m_settings.automatic = value;
    Changed();
}

void TCustomChartAxis::SetAutomaticMinimum(bool value)
{
    if (m_settings.automaticMinimum == value)
        return;
    m_settings.automaticMinimum = value;
    if (!value || m_settings.automaticMaximum)
        m_settings.automatic = value;
    Changed();
}

void TCustomChartAxis::SetMaximum(double value)
{
    if (value < m_settings.minimum)
        throw AxisException("Axis Maximum Value must be >= Minimum");
    Store(m_settings.maximum, value);
}

void TCustomChartAxis::SetMinimum(double value)
{
    if (value > m_settings.maximum)
        throw AxisException("Axis Minimum Value must be <= Maximum");
    Store(m_settings.minimum, value);
}

void TCustomChartAxis::SetIncrement(double value)
{
    if (value < 0.0)
        throw AxisException("Axis increment must be >= 0");
    Store(m_settings.increment, value);
}

void TCustomChartAxis::SetLogarithmic(bool value)
{
    if (value && !m_settings.logarithmic) {
        if (IsDateTimeAxis())
            throw AxisException("DateTime Axis cannot be Logarithmic");
        // The ends the next drawing would use.
        double low = m_settings.minimum;
        double high = m_settings.maximum;
        double seriesLow = 0.0;
        double seriesHigh = 0.0;
        if (!SeriesMinMax(seriesLow, seriesHigh))
            seriesLow = seriesHigh = 0.0;
        if (m_settings.automatic || m_settings.automaticMinimum)
            low = seriesLow;
        if (m_settings.automatic || m_settings.automaticMaximum)
            high = seriesHigh;
        CheckLogarithmic(low, high);
    }
    Store(m_settings.logarithmic, value);
}

void TCustomChartAxis::CheckLogarithmic(double minimum, double maximum) const
{
    if (minimum < 0.0 || maximum < 0.0)
        throw AxisException("Logarithmic Axis Min and Max values should be >= 0");
}

void TCustomChartAxis::SetLogarithmicBase(int value)
{
    if (value < 2)
        throw AxisException("Axis Logarithmic Base should be >= 2");
    Store(m_settings.logarithmicBase, value);
}

void TCustomChartAxis::SetMinMax(double minimum, double maximum)
{
    if (minimum > maximum)
        std::swap(minimum, maximum);
    if (maximum - minimum < 1e-10)
        maximum = minimum + 1e-10;
    m_settings.automatic = false;
    m_settings.automaticMinimum = false;
    m_settings.automaticMaximum = false;
    m_settings.minimum = minimum;
    m_settings.maximum = maximum;
    Changed();
}

TAxisRangeSettings TCustomChartAxis::RangeSettings() const
{
    return { m_settings.automatic, m_settings.automaticMinimum, m_settings.automaticMaximum, m_settings.minimum,
        m_settings.maximum };
}

void TCustomChartAxis::SetRangeSettings(const TAxisRangeSettings& value)
{
    if (value == RangeSettings())
        return;
    m_settings.automatic = value.Automatic;
    m_settings.automaticMinimum = value.AutomaticMinimum;
    m_settings.automaticMaximum = value.AutomaticMaximum;
    m_settings.minimum = value.Minimum;
    m_settings.maximum = value.Maximum;
    Changed();
}

// --- Look ---

void TCustomChartAxis::SetTitleSize(int value) { Store(m_settings.titleSize, value); }
void TCustomChartAxis::SetGridCentered(bool value) { Store(m_settings.gridCentered, value); }
void TCustomChartAxis::SetLabels(bool value) { Store(m_settings.labels, value); }

void TCustomChartAxis::SetLabelsAngle(int value)
{
    CheckAxisAngle(value, "Axis Labels");
    Store(m_settings.labelsAngle, value);
}

void TCustomChartAxis::SetLabelsOnAxis(bool value) { Store(m_settings.labelsOnAxis, value); }

void TCustomChartAxis::SetLabelsSeparation(int value)
{
    if (value < 0)
        throw AxisException("Labels Separation % must be greater than 0");
    Store(m_settings.labelsSeparation, value);
}

void TCustomChartAxis::SetLabelsSize(int value) { Store(m_settings.labelsSize, value); }
void TCustomChartAxis::SetLabelStyle(TAxisLabelStyle value) { Store(m_settings.labelStyle, value); }
void TCustomChartAxis::SetAxisValuesFormat(std::string value) { Store(m_settings.axisValuesFormat, std::move(value)); }
void TCustomChartAxis::SetDateTimeFormat(std::string value) { Store(m_settings.dateTimeFormat, std::move(value)); }
void TCustomChartAxis::SetExactDateTime(bool value) { Store(m_settings.exactDateTime, value); }
void TCustomChartAxis::SetRoundFirstLabel(bool value) { Store(m_settings.roundFirstLabel, value); }
void TCustomChartAxis::SetLabelsMultiLine(bool value) { Store(m_settings.labelsMultiLine, value); }
void TCustomChartAxis::SetMinorTickCount(int value) { Store(m_settings.minorTickCount, value); }
void TCustomChartAxis::SetMinorTickLength(int value) { Store(m_settings.minorTickLength, value); }
void TCustomChartAxis::SetTickInnerLength(int value) { Store(m_settings.tickInnerLength, value); }
void TCustomChartAxis::SetTickLength(int value) { Store(m_settings.tickLength, value); }
void TCustomChartAxis::SetTickOnLabelsOnly(bool value) { Store(m_settings.tickOnLabelsOnly, value); }
void TCustomChartAxis::SetInverted(bool value) { Store(m_settings.inverted, value); }
void TCustomChartAxis::SetVisible(bool value) { Store(m_settings.visible, value); }
void TCustomChartAxis::SetStartPosition(double value) { Store(m_settings.startPosition, value); }
void TCustomChartAxis::SetEndPosition(double value) { Store(m_settings.endPosition, value); }
void TCustomChartAxis::SetPositionPercent(double value) { Store(m_settings.positionPercent, value); }

// --- Mapping ---

TAxisMapping TCustomChartAxis::Mapping() const
{
    TAxisMapping m;
    m.Extent = m_extent;
    m.WorkMinimum = m_workMinimum;
    m.WorkMaximum = m_workMaximum;
    // The depth axis grows into the screen like a horizontal axis grows to the right.
    m.Horizontal = m_horizontal || IsDepthAxis();
    m.Inverted = m_settings.inverted;
    m.Logarithmic = m_settings.logarithmic;
    return m;
}

int TCustomChartAxis::ValueToPixel(double value) const { return AxisValueToPixel(Mapping(), value); }

double TCustomChartAxis::PixelToValue(int pixel) const { return AxisPixelToValue(Mapping(), pixel); }

int TCustomChartAxis::Outward() const
{
    if (m_horizontal)
        return m_otherSide ? -1 : 1;
    return m_otherSide ? 1 : -1;
}

int TCustomChartAxis::DrawDepth() const { return m_otherSide ? m_chart.TotalDepth() : 0; }

bool TCustomChartAxis::Clicked(int x, int y) const
{
    if (!m_drawn)
        return false;
    constexpr int clickGap = 3;
    const int along = m_horizontal ? x : y;
    const int across = m_horizontal ? y : x;
    if (along < std::min(StartPos(), EndPos()) || along > std::max(StartPos(), EndPos()))
        return false;
    // From the outer edge of the labels to the axis line, plus the gap on the plot's side.
    const int outer = m_posLabels + Outward() * m_labelsBand;
    const int inner = m_posAxis - Outward() * clickGap;
    return across >= std::min(outer, inner) && across <= std::max(outer, inner);
}

TChartAxis::TChartAxis(TChartAxisHost& chart, TChartAxisRole role)
    : TCustomChartAxis(chart, role)
{
}

} // namespace tarvo
