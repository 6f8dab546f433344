// Label texts, the step between value labels, and the labels an axis draws: value labels from the
// top down, logarithmic labels, labels asked from OnGetNextAxisLabel, and text labels (point
// labels or mark texts) thinned out so they do not overlap.

#include "axes/ChartAxis.h"
#include "canvas/ChartCanvas3D.h"
#include "core/ChartRounding.h"
#include "series/ChartSeries.h"
#include "series/ChartSeriesFormat.h"

#include <QDateTime>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvo
{

namespace
{

    constexpr int kTickTableSize = 2000;
    // Values within this of an end still count as on the axis for supplied labels.
    constexpr double kSuppliedLabelTolerance = 1e-7;

    bool HasPointLabels(const TChartSeries& series)
    {
        const int count = series.PointCount();
        for (int i = 0; i < count; ++i)
            if (!series.PointLabel(i).empty())
                return true;
        return false;
    }

    // Date-time values count days from 30 December 1899, the fraction being the time of day.
    std::string DateTimeText(double value, const std::string& format, double range)
    {
        static const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
        const QDateTime at = epoch.addMSecs(Round64(value * 86400000.0));
        QString pattern = QString::fromStdString(format);
        if (pattern.isEmpty())
            pattern = std::fabs(range) >= 1.0 ? QStringLiteral("dd/MM/yyyy") : QStringLiteral("hh:mm:ss");
        return at.toString(pattern).toStdString();
    }

} // namespace

std::string TCustomChartAxis::ValueText(double value) const
{
    if (IsDateTimeAxis())
        return value < 0.0 ? std::string() : DateTimeText(value, m_settings.dateTimeFormat, WorkRange());
    return FormatFloat(m_settings.axisValuesFormat, value, ChartFormatSettings());
}

std::string TCustomChartAxis::AxisLabelText(double value) const
{
    std::string text = ValueText(value);
    if (OnGetAxisLabel && !m_measuring)
        OnGetAxisLabel(*this, nullptr, -1, text);
    if (m_settings.labelsMultiLine)
        std::replace(text.begin(), text.end(), ' ', '\r');
    return text;
}

TAxisLabelStyle TCustomChartAxis::ResolvedLabelStyle() const
{
    if (m_settings.labelStyle != talAuto)
        return m_settings.labelStyle;
    const std::vector<TChartSeries*> related = RelatedSeries(true);
    if (related.empty())
        return talNone;
    // Labels name the points along the axis the points are spread over.
    for (const TChartSeries* s : related)
        if (s->IsVertical() == m_horizontal && HasPointLabels(*s))
            return talText;
    return talValue;
}

int TCustomChartAxis::LabelSizeAlongAxis(const QString& text) const
{
    const int angle = m_settings.labelsAngle % 360;
    const bool alongAxis = m_horizontal ? (angle == 0 || angle == 180) : (angle == 90 || angle == 270);
    int lines = 1;
    const int width = m_chart.Canvas().TextBlockWidth(text, lines);
    return alongAxis ? width : m_chart.Canvas().LineHeight() * lines;
}

double TCustomChartAxis::LabelStep() const
{
    m_chart.UseFont(m_settings.labelsFont);
    const int size = std::max(LabelSizeAlongAxis(QString::fromStdString(AxisLabelText(m_workMaximum))),
        LabelSizeAlongAxis(QString::fromStdString(AxisLabelText(m_workMinimum))));
    const int room = LabelRoom(AxisSize(), size, m_settings.labelsSeparation);
    return ValueLabelStep(WorkRange(), room, m_settings.increment, m_settings.labelsSeparation);
}

void TCustomChartAxis::RecordTick(int pixel)
{
    // The table has a fixed size per drawing; positions past it are not kept.
    if (m_tickPixels.size() < kTickTableSize)
        m_tickPixels.push_back(pixel);
}

void TCustomChartAxis::DrawLabels()
{
    m_tickPixels.clear();
    switch (ResolvedLabelStyle()) {
    case talAuto:
    case talNone:
        break;
    case talValue:
        if (m_settings.logarithmic) {
            DrawLogLabels();
        } else if (OnGetNextAxisLabel) {
            double value = m_workMinimum;
            bool stop = true;
            for (int index = 0; index <= kTickTableSize; ++index) {
                OnGetNextAxisLabel(*this, index, value, stop);
                if (stop) {
                    if (index == 0)
                        DrawValueLabels(LabelStep());
                    break;
                }
                if (value < m_workMinimum - kSuppliedLabelTolerance || value > m_workMaximum + kSuppliedLabelTolerance)
                    break;
                DrawValueLabel(value);
            }
        } else {
            DrawValueLabels(LabelStep());
        }
        break;
    case talMark:
        DrawTextLabels(true);
        break;
    case talText:
        DrawTextLabels(false);
        break;
    }
}

void TCustomChartAxis::DrawValueLabels(double step)
{
    for (const double value : ValueLabelValues(m_workMinimum, m_workMaximum, step, m_settings.roundFirstLabel))
        DrawValueLabel(value);
}

void TCustomChartAxis::DrawLogLabels()
{
    for (const double value : LogLabelValues(m_workMinimum, m_workMaximum, m_settings.logarithmicBase))
        if (value >= m_workMinimum)
            DrawValueLabel(value);
}

void TCustomChartAxis::DrawValueLabel(double value)
{
    const int pixel = ValueToPixel(value);
    const bool inside = pixel > std::min(StartPos(), EndPos()) && pixel < std::max(StartPos(), EndPos());
    if (!m_settings.labelsOnAxis && !inside)
        return;
    if (!m_settings.tickOnLabelsOnly)
        RecordTick(pixel);
    if (m_settings.labels)
        DrawLabelText(pixel, QString::fromStdString(AxisLabelText(value)));
}

void TCustomChartAxis::DrawTextLabels(bool marks)
{
    std::vector<TChartSeries*> collected;
    for (TChartSeries* s : RelatedSeries(true))
        if (HasPointLabels(*s) || (marks && s->PointCount() > 0)) {
            s->CalcFirstLastVisible();
            collected.push_back(s);
        }
    if (collected.empty())
        return;
    const int first = std::max(0, collected.front()->FirstVisible());
    int last = -1;
    for (const TChartSeries* s : collected)
        last = std::max(last, s->LastVisible());

    TTextLabelSpacing spacing(m_settings.labelsSeparation);
    for (int i = first; i <= last; ++i) {
        TChartSeries* owner = nullptr;
        std::string text;
        for (TChartSeries* s : collected) {
            if (i >= s->PointCount())
                continue;
            text = marks ? s->MarkText(i) : s->PointLabel(i);
            if (!text.empty()) {
                owner = s;
                break;
            }
        }
        if (!owner)
            continue;
        if (OnGetAxisLabel)
            OnGetAxisLabel(*this, owner, i, text);
        const double value = m_horizontal ? owner->XValue(i) : owner->YValue(i);
        if (value < m_workMinimum || value > m_workMaximum)
            continue;
        const int pixel = ValueToPixel(value);
        if (!m_settings.tickOnLabelsOnly)
            RecordTick(pixel);
        if (!m_settings.labels)
            continue;
        if (m_settings.labelsMultiLine)
            std::replace(text.begin(), text.end(), ' ', '\r');
        const QString label = QString::fromStdString(text);
        if (spacing.Accept(pixel, LabelSizeAlongAxis(label)))
            DrawLabelText(pixel, label);
    }
}

void TCustomChartAxis::DrawLabelText(int pixel, const QString& text)
{
    if (m_settings.tickOnLabelsOnly)
        RecordTick(pixel);
    TChartCanvas3D& canvas = m_chart.Canvas();
    canvas.Brush().SetStyle(bsClear);
    canvas.SetBackgroundMode(TRANSPARENT);
    if (canvas.Monochrome() && canvas.Font().Color() == clWhite)
        canvas.Font().SetColor(clBlack);
    const QStringList lines = text.split(QChar(kTextLineSeparator));
    const int lineHeight = canvas.LineHeight();
    const int block = lineHeight * static_cast<int>(lines.size());
    const int z = DrawDepth();
    const int angle = m_settings.labelsAngle % 360;

    if (angle == 0) {
        int x = pixel;
        int y = pixel - block / 2;
        if (m_horizontal) {
            canvas.SetTextAlignment(TA_CENTER | TA_TOP);
            y = m_otherSide ? m_posLabels - block : m_posLabels;
        } else {
            canvas.SetTextAlignment((m_otherSide ? TA_LEFT : TA_RIGHT) | TA_TOP);
            x = m_posLabels;
        }
        for (const QString& line : lines) {
            canvas.Text3D(x, y, line, z);
            y += lineHeight;
        }
        return;
    }

    // Turned text: the block's centre sits half its extent across the axis away from the labels'
    // edge, so the whole block stays on the labels' side whatever the angle.
    int lineCount = 1;
    const int width = m_chart.Canvas().TextBlockWidth(text, lineCount);
    const double radians = angle * std::numbers::pi / 180.0;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double across
        = m_horizontal ? std::fabs(width * s) + std::fabs(block * c) : std::fabs(width * c) + std::fabs(block * s);
    const double centreAcross = m_posLabels + Outward() * across / 2.0;
    const double cx = m_horizontal ? pixel : centreAcross;
    const double cy = m_horizontal ? centreAcross : pixel;
    canvas.SetTextAlignment(TA_CENTER | TA_TOP);
    for (int i = 0; i < lines.size(); ++i) {
        // Offset of this line's top centre from the block's centre, turned with the text.
        const double dy = -block / 2.0 + i * lineHeight;
        canvas.RotatedText3D(Round(cx + dy * s), Round(cy + dy * c), z, angle, lines[i]);
    }
}

} // namespace tarvo
