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
    m_grid.SetColor(clGray);
    m_grid.SetStyle(psDot);
    m_minorTicks.SetColor(clGray);
    m_ticks.SetColor(clGray);
    m_ticksInner.SetColor(clGray);
    m_visible = role != carDepth;
    // The axis' parts report to the axis, which reports to its chart.
    for (TChangeNotifier* part : std::initializer_list<TChangeNotifier*> {
             &m_axisPen, &m_grid, &m_labelsFont, &m_minorGrid, &m_minorTicks, &m_ticks, &m_ticksInner, &m_title })
        part->SetOnChange([this] { Changed(); });
}

TCustomChartAxis::~TCustomChartAxis() = default;

void TCustomChartAxis::Assign(const TCustomChartAxis& other)
{
    if (this == &other)
        return;
    m_automatic = other.m_automatic;
    m_automaticMaximum = other.m_automaticMaximum;
    m_automaticMinimum = other.m_automaticMinimum;
    m_increment = other.m_increment;
    m_maximum = other.m_maximum;
    m_minimum = other.m_minimum;
    m_logarithmic = other.m_logarithmic;
    m_logarithmicBase = other.m_logarithmicBase;
    m_axisPen = other.m_axisPen;
    m_title.Assign(other.m_title);
    m_titleSize = other.m_titleSize;
    m_grid = other.m_grid;
    m_gridCentered = other.m_gridCentered;
    m_labels = other.m_labels;
    m_labelsAngle = other.m_labelsAngle;
    m_labelsFont = other.m_labelsFont;
    m_labelsOnAxis = other.m_labelsOnAxis;
    m_labelsSeparation = other.m_labelsSeparation;
    m_labelsSize = other.m_labelsSize;
    m_labelStyle = other.m_labelStyle;
    m_axisValuesFormat = other.m_axisValuesFormat;
    m_dateTimeFormat = other.m_dateTimeFormat;
    m_exactDateTime = other.m_exactDateTime;
    m_roundFirstLabel = other.m_roundFirstLabel;
    m_labelsMultiLine = other.m_labelsMultiLine;
    m_minorGrid = other.m_minorGrid;
    m_minorTickCount = other.m_minorTickCount;
    m_minorTickLength = other.m_minorTickLength;
    m_minorTicks = other.m_minorTicks;
    m_ticks = other.m_ticks;
    m_ticksInner = other.m_ticksInner;
    m_tickInnerLength = other.m_tickInnerLength;
    m_tickLength = other.m_tickLength;
    m_tickOnLabelsOnly = other.m_tickOnLabelsOnly;
    m_inverted = other.m_inverted;
    m_visible = other.m_visible;
    m_startPosition = other.m_startPosition;
    m_endPosition = other.m_endPosition;
    m_positionPercent = other.m_positionPercent;
    OnGetAxisLabel = other.OnGetAxisLabel;
    OnGetNextAxisLabel = other.OnGetNextAxisLabel;
    Changed();
}

// --- Range ---

void TCustomChartAxis::SetAutomatic(bool value)
{
    if (m_automatic == value && m_automaticMinimum == value && m_automaticMaximum == value)
        return;
    m_automatic = value;
    m_automaticMinimum = value;
    m_automaticMaximum = value;
    Changed();
}

void TCustomChartAxis::SetAutomaticMaximum(bool value)
{
    if (m_automaticMaximum == value)
        return;
    m_automaticMaximum = value;
    if (!value || m_automaticMinimum)
        m_automatic = value;
    Changed();
}

void TCustomChartAxis::SetAutomaticMinimum(bool value)
{
    if (m_automaticMinimum == value)
        return;
    m_automaticMinimum = value;
    if (!value || m_automaticMaximum)
        m_automatic = value;
    Changed();
}

void TCustomChartAxis::SetMaximum(double value)
{
    if (value < m_minimum)
        throw AxisException("Axis Maximum Value must be >= Minimum");
    Store(m_maximum, value);
}

void TCustomChartAxis::SetMinimum(double value)
{
    if (value > m_maximum)
        throw AxisException("Axis Minimum Value must be <= Maximum");
    Store(m_minimum, value);
}

void TCustomChartAxis::SetIncrement(double value)
{
    if (value < 0.0)
        throw AxisException("Axis increment must be >= 0");
    Store(m_increment, value);
}

void TCustomChartAxis::SetLogarithmic(bool value)
{
    if (value && !m_logarithmic) {
        if (IsDateTimeAxis())
            throw AxisException("DateTime Axis cannot be Logarithmic");
        // The ends the next drawing would use.
        double low = m_minimum;
        double high = m_maximum;
        double seriesLow = 0.0;
        double seriesHigh = 0.0;
        if (!SeriesMinMax(seriesLow, seriesHigh))
            seriesLow = seriesHigh = 0.0;
        if (m_automatic || m_automaticMinimum)
            low = seriesLow;
        if (m_automatic || m_automaticMaximum)
            high = seriesHigh;
        CheckLogarithmic(low, high);
    }
    Store(m_logarithmic, value);
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
    Store(m_logarithmicBase, value);
}

void TCustomChartAxis::SetMinMax(double minimum, double maximum)
{
    if (minimum > maximum)
        std::swap(minimum, maximum);
    if (maximum - minimum < 1e-10)
        maximum = minimum + 1e-10;
    m_automatic = false;
    m_automaticMinimum = false;
    m_automaticMaximum = false;
    m_minimum = minimum;
    m_maximum = maximum;
    Changed();
}

TAxisRangeSettings TCustomChartAxis::RangeSettings() const
{
    return { m_automatic, m_automaticMinimum, m_automaticMaximum, m_minimum, m_maximum };
}

void TCustomChartAxis::SetRangeSettings(const TAxisRangeSettings& value)
{
    if (value == RangeSettings())
        return;
    m_automatic = value.Automatic;
    m_automaticMinimum = value.AutomaticMinimum;
    m_automaticMaximum = value.AutomaticMaximum;
    m_minimum = value.Minimum;
    m_maximum = value.Maximum;
    Changed();
}

// --- Look ---

void TCustomChartAxis::SetTitleSize(int value) { Store(m_titleSize, value); }
void TCustomChartAxis::SetGridCentered(bool value) { Store(m_gridCentered, value); }
void TCustomChartAxis::SetLabels(bool value) { Store(m_labels, value); }

void TCustomChartAxis::SetLabelsAngle(int value)
{
    CheckAxisAngle(value, "Axis Labels");
    Store(m_labelsAngle, value);
}

void TCustomChartAxis::SetLabelsOnAxis(bool value) { Store(m_labelsOnAxis, value); }

void TCustomChartAxis::SetLabelsSeparation(int value)
{
    if (value < 0)
        throw AxisException("Labels Separation % must be greater than 0");
    Store(m_labelsSeparation, value);
}

void TCustomChartAxis::SetLabelsSize(int value) { Store(m_labelsSize, value); }
void TCustomChartAxis::SetLabelStyle(TAxisLabelStyle value) { Store(m_labelStyle, value); }
void TCustomChartAxis::SetAxisValuesFormat(std::string value) { Store(m_axisValuesFormat, std::move(value)); }
void TCustomChartAxis::SetDateTimeFormat(std::string value) { Store(m_dateTimeFormat, std::move(value)); }
void TCustomChartAxis::SetExactDateTime(bool value) { Store(m_exactDateTime, value); }
void TCustomChartAxis::SetRoundFirstLabel(bool value) { Store(m_roundFirstLabel, value); }
void TCustomChartAxis::SetLabelsMultiLine(bool value) { Store(m_labelsMultiLine, value); }
void TCustomChartAxis::SetMinorTickCount(int value) { Store(m_minorTickCount, value); }
void TCustomChartAxis::SetMinorTickLength(int value) { Store(m_minorTickLength, value); }
void TCustomChartAxis::SetTickInnerLength(int value) { Store(m_tickInnerLength, value); }
void TCustomChartAxis::SetTickLength(int value) { Store(m_tickLength, value); }
void TCustomChartAxis::SetTickOnLabelsOnly(bool value) { Store(m_tickOnLabelsOnly, value); }
void TCustomChartAxis::SetInverted(bool value) { Store(m_inverted, value); }
void TCustomChartAxis::SetVisible(bool value) { Store(m_visible, value); }
void TCustomChartAxis::SetStartPosition(double value) { Store(m_startPosition, value); }
void TCustomChartAxis::SetEndPosition(double value) { Store(m_endPosition, value); }
void TCustomChartAxis::SetPositionPercent(double value) { Store(m_positionPercent, value); }

// --- Mapping ---

TAxisMapping TCustomChartAxis::Mapping() const
{
    TAxisMapping m;
    m.Extent = m_extent;
    m.WorkMinimum = m_workMinimum;
    m.WorkMaximum = m_workMaximum;
    // The depth axis grows into the screen like a horizontal axis grows to the right.
    m.Horizontal = m_horizontal || IsDepthAxis();
    m.Inverted = m_inverted;
    m.Logarithmic = m_logarithmic;
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
