#include "axes/ChartAxisMath.h"

#include "core/ChartRounding.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tarvo
{

namespace
{

    // Pixels farther out than this do not fit the layout's 32-bit coordinates.
    constexpr double kPixelLimit = 2147483647.0;

    // Pixel offset counted from the start or from the end of the extent.
    int PlaceOffset(const TAxisExtent& extent, double offset, bool fromStart)
    {
        return fromStart ? extent.StartPos + Round(offset) : extent.EndPos - Round(offset);
    }

    // Horizontal axes count from the start (left), vertical ones from the end (bottom).
    bool CountsFromStart(const TAxisMapping& m) { return m.Horizontal != m.Inverted; }

    double LogOfEnd(double end) { return end > 0.0 ? std::log(end) : 0.0; }

} // namespace

TAxisExtent AxisExtentOf(const TRect& rect, bool horizontal, double startPercent, double endPercent)
{
    const int origin = horizontal ? rect.Left : rect.Top;
    const int size = horizontal ? rect.Width() : rect.Height();
    return { origin + Round(size * 0.01 * startPercent), origin + Round(size * 0.01 * endPercent) };
}

int LinearValueToPixel(const TAxisMapping& m, double value)
{
    const double range = m.WorkRange();
    if (range != 0.0) {
        const double p = (value - m.WorkMinimum) * m.Extent.AxisSize() / range;
        if (std::isfinite(p) && std::fabs(p) < kPixelLimit)
            return PlaceOffset(m.Extent, p, CountsFromStart(m));
    }
    return m.Extent.CenterPos();
}

double LinearPixelToValue(const TAxisMapping& m, int pixel)
{
    const int size = m.Extent.AxisSize();
    if (size < 1)
        return 0.0;
    const double along = m.Inverted ? m.Extent.EndPos - pixel : pixel - m.Extent.StartPos;
    const double a = along * m.WorkRange() / size;
    return m.Horizontal ? m.WorkMinimum + a : m.WorkMaximum - a;
}

int LogValueToPixel(const TAxisMapping& m, double value)
{
    const double logMin = LogOfEnd(m.WorkMinimum);
    const double logMax = LogOfEnd(m.WorkMaximum);
    const double d = logMax - logMin;
    if (d == 0.0)
        return m.Extent.CenterPos();
    const bool fromStart = CountsFromStart(m);
    if (value <= 0.0) // the low end of the axis
        return fromStart ? m.Extent.StartPos : m.Extent.EndPos;
    const double q = (std::log(value) - logMin) * m.Extent.AxisSize() / d;
    if (!std::isfinite(q) || std::fabs(q) >= kPixelLimit)
        return m.Extent.CenterPos();
    return PlaceOffset(m.Extent, q, fromStart);
}

double LogPixelToValue(const TAxisMapping& m, int pixel)
{
    const int size = m.Extent.AxisSize();
    if (size < 1)
        return 0.0;
    const double logMin = LogOfEnd(m.WorkMinimum);
    const double d = LogOfEnd(m.WorkMaximum) - logMin;
    const double fromLow
        = CountsFromStart(m) ? pixel - m.Extent.StartPos : m.Extent.EndPos - static_cast<double>(pixel);
    return std::exp(logMin + fromLow * d / size);
}

int AxisValueToPixel(const TAxisMapping& m, double value)
{
    return m.Logarithmic ? LogValueToPixel(m, value) : LinearValueToPixel(m, value);
}

double AxisPixelToValue(const TAxisMapping& m, int pixel)
{
    return m.Logarithmic ? LogPixelToValue(m, pixel) : LinearPixelToValue(m, pixel);
}

double NextNiceStep(double x)
{
    if (!(x > 0.0) || !std::isfinite(x))
        return 1.0;
    // Decimal exponent and mantissa in [1, 10); values a hair below 1, 2 or 5 (left by a division
    // in binary) count as those values, so the sequence never stalls.
    int exponent = static_cast<int>(std::floor(std::log10(x)));
    const auto scale = [](double nice, int e) { return e >= 0 ? nice * std::pow(10.0, e) : nice / std::pow(10.0, -e); };
    double mantissa = x / scale(1.0, exponent);
    constexpr double tolerance = 1e-9;
    if (mantissa >= 10.0 - tolerance) {
        ++exponent;
        mantissa /= 10.0;
    } else if (mantissa < 1.0 - tolerance) {
        --exponent;
        mantissa *= 10.0;
    }
    if (mantissa < 2.0 - tolerance)
        return scale(2.0, exponent);
    if (mantissa < 5.0 - tolerance)
        return scale(5.0, exponent);
    return scale(10.0, exponent);
}

int LabelRoom(int axisSize, int labelSize, int separationPercent)
{
    if (labelSize <= 0)
        return 1;
    const int gap = separationPercent == 0 ? 0 : Round(separationPercent * 0.01 * labelSize);
    return Round(static_cast<double>(axisSize) / (labelSize + gap));
}

double ValueLabelStep(double workRange, int room, double increment, int separationPercent)
{
    if (room < 1)
        return kAxisMinStep;
    double step = increment > 0.0 ? increment : (std::fabs(workRange) >= 1.0 ? 1.0 : kAxisMinStep);
    if (separationPercent > 0 && std::isfinite(workRange)) {
        // Each NextNiceStep at least doubles the step, so this ends within a few thousand turns.
        while (std::isfinite(step)) {
            const double r = workRange / step;
            if (std::fabs(r) < kPixelLimit && Round(r) <= room)
                break;
            step = NextNiceStep(step);
        }
    }
    return std::isfinite(step) ? std::max(step, kAxisMinStep) : kAxisMinStep;
}

std::vector<double> ValueLabelValues(double workMinimum, double workMaximum, double step, bool roundFirst)
{
    std::vector<double> values;
    if (!(step > 0.0) || !std::isfinite(workMinimum) || !std::isfinite(workMaximum))
        return values;
    if (std::fabs((workMaximum - workMinimum) / step) >= kAxisMaxLabels)
        return values;
    if (workMinimum == workMaximum) {
        values.push_back(workMaximum);
        return values;
    }
    double first = roundFirst ? std::trunc(workMaximum / step) * step : workMaximum;
    while (first > workMaximum)
        first -= step;
    // The guard keeps a label that lands a rounding error below the minimum.
    const double last = (workMinimum - kAxisMinStep) / 1.000000000001;
    // Counting down from first rather than subtracting again and again keeps the error of one step.
    for (int k = 0; k <= static_cast<int>(kAxisMaxLabels); ++k) {
        const double v = first - k * step;
        if (v < last)
            break;
        values.push_back(v);
    }
    return values;
}

std::vector<double> LogLabelValues(double workMinimum, double workMaximum, int base)
{
    std::vector<double> values;
    const double b = base < 2 ? 10.0 : static_cast<double>(base);
    double v;
    if (workMinimum > 0.0)
        v = std::pow(b, Round(std::log(workMinimum) / std::log(b)));
    else
        v = workMinimum == 0.0 ? 0.1 : 1e-10;
    // A screen never holds more labels than the tick table.
    while (v <= workMaximum && values.size() < 2000 && std::isfinite(v)) {
        values.push_back(v);
        v *= b;
    }
    return values;
}

bool TTextLabelSpacing::Accept(int pixel, int size)
{
    if (!m_any) {
        m_any = true;
        m_lastPixel = pixel;
        m_lastHalf = size / 2;
        return true;
    }
    const int half = (size + Trunc(size * 0.02 * m_separation)) / 2;
    if (m_separation != 0 && std::abs(pixel - m_lastPixel) < half + m_lastHalf)
        return false;
    m_lastPixel = pixel;
    m_lastHalf = half;
    return true;
}

std::vector<int> MinorTickPixels(const std::vector<int>& ticks, int count, const TAxisExtent& extent, bool extendBeyond)
{
    std::vector<int> pixels;
    if (count < 1 || ticks.empty())
        return pixels;
    const auto keep = [&](int p) {
        if (p > std::min(extent.StartPos, extent.EndPos) && p < std::max(extent.StartPos, extent.EndPos))
            pixels.push_back(p);
    };
    const auto between = [&](double from, double delta) {
        for (int k = 1; k <= count; ++k)
            keep(Round(from + delta * k / (count + 1)));
    };
    if (extendBeyond && ticks.size() >= 2) {
        const double spacing = ticks[1] - ticks[0];
        between(ticks.front(), -spacing);
        between(ticks.back(), spacing);
    }
    for (std::size_t i = 1; i < ticks.size(); ++i)
        between(ticks[i - 1], static_cast<double>(ticks[i] - ticks[i - 1]));
    return pixels;
}

} // namespace tarvo
