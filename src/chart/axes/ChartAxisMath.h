#pragma once

// The arithmetic of an axis, apart from painting: where values fall along the axis and back, how
// far apart value labels go, which values get a label, which text labels fit, where minor ticks
// sit. Pixels are the chart's layout pixels; every mapping comes with its inverse.

#include "core/Rect.h"

#include <vector>

namespace tarvo
{

// The smallest step and the guard band of value-label arithmetic.
inline constexpr double kAxisMinStep = 1e-12;
// More value labels than this on one axis means the step is wrong: none are drawn.
inline constexpr double kAxisMaxLabels = 10000.0;

// The stretch of the plotting rectangle an axis covers, along its direction.
struct TAxisExtent {
    int StartPos = 0;
    int EndPos = 0;
    [[nodiscard]] constexpr int AxisSize() const { return EndPos - StartPos; }
    // Truncated toward zero, as the layout does.
    [[nodiscard]] constexpr int CenterPos() const { return (StartPos + EndPos) / 2; }
    constexpr bool operator==(const TAxisExtent&) const = default;
};

// StartPos and EndPos of an axis over startPercent … endPercent of rect's width (horizontal) or
// height (vertical).
[[nodiscard]] TAxisExtent AxisExtentOf(const TRect& rect, bool horizontal, double startPercent, double endPercent);

// Everything a value↔pixel mapping needs. Horizontal axes grow to the right, vertical ones
// upward; Inverted turns either round.
struct TAxisMapping {
    TAxisExtent Extent;
    double WorkMinimum = 0.0;
    double WorkMaximum = 0.0;
    bool Horizontal = true;
    bool Inverted = false;
    bool Logarithmic = false;
    [[nodiscard]] constexpr double WorkRange() const { return WorkMaximum - WorkMinimum; }
};

// Linear: a zero range, or a pixel that would not fit 32 bits, gives CenterPos.
[[nodiscard]] int LinearValueToPixel(const TAxisMapping& m, double value);
// 0 for an axis shorter than one pixel.
[[nodiscard]] double LinearPixelToValue(const TAxisMapping& m, int pixel);
// Logarithmic: equal logarithms of the ends give CenterPos; a value ≤ 0 goes to the low end.
// Ends ≤ 0 count as if their logarithm were 0.
[[nodiscard]] int LogValueToPixel(const TAxisMapping& m, double value);
[[nodiscard]] double LogPixelToValue(const TAxisMapping& m, int pixel);
// The two above chosen by m.Logarithmic.
[[nodiscard]] int AxisValueToPixel(const TAxisMapping& m, double value);
[[nodiscard]] double AxisPixelToValue(const TAxisMapping& m, int pixel);

// Rounds x up to the next of 1, 2, 5 times a power of ten (strictly greater than x for those
// values themselves), for the steps between value labels.
[[nodiscard]] double NextNiceStep(double x);

// How many labels of labelSize pixels (plus separationPercent of that) fit on axisSize pixels;
// 1 for a label without size.
[[nodiscard]] int LabelRoom(int axisSize, int labelSize, int separationPercent);

// The step between value labels for workRange when room labels fit: Increment (or 1, or the
// smallest step) grown through NextNiceStep until the labels fit; without separation the start
// value itself. Never below kAxisMinStep.
[[nodiscard]] double ValueLabelStep(double workRange, int room, double increment, int separationPercent);

// The values that get a label, from the top down; none when there would be kAxisMaxLabels or more.
// roundFirst puts them on multiples of step.
[[nodiscard]] std::vector<double> ValueLabelValues(
    double workMinimum, double workMaximum, double step, bool roundFirst);

// Labels of a logarithmic axis: powers of base from the rounded logarithm of workMinimum up to the
// first one past workMaximum, each at most once. A base below 2 is taken as 10.
[[nodiscard]] std::vector<double> LogLabelValues(double workMinimum, double workMaximum, int base);

// The overlap rule of text labels, fed one label at a time in axis order: the first label is
// always drawn; a later one only when its gap to the last drawn one leaves room for both halves
// and the separation. A separation of 0 draws every label.
class TTextLabelSpacing
{
public:
    explicit TTextLabelSpacing(int separationPercent)
        : m_separation(separationPercent)
    {
    }
    // Whether the label of size pixels (along the axis) at pixel is drawn; a drawn label becomes
    // the one the next is measured against.
    bool Accept(int pixel, int size);

private:
    int m_separation;
    bool m_any = false;
    int m_lastPixel = 0;
    int m_lastHalf = 0;
};

// Minor tick pixels for the recorded (major) tick pixels: count evenly spaced positions between
// consecutive ticks and, when extendBeyond and there are two ticks or more, count positions
// before the first and after the last one spaced as between the first two. Only positions
// strictly inside extent are kept.
[[nodiscard]] std::vector<int> MinorTickPixels(
    const std::vector<int>& ticks, int count, const TAxisExtent& extent, bool extendBeyond);

} // namespace tarvo
