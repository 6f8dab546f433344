#pragma once

#include "core/ChartColor.h"

namespace tarvo
{

class TBarSeries;
class TChart;
class TPieSeries;

// The pie names at most this many slices: with more entries than kPieNamedSlices + 1 (16), the
// kPieNamedSlices largest keep their slices if each holds at least kPieNamedPercent of the
// total (of equal sizes the entry listed first), and every other entry folds into the pie's
// "Other" slice: no two slices then share a palette slot, and each named one is wide enough to
// see and to click. With up to 16 entries nothing is folded.
inline constexpr int kPieNamedSlices = 15;
inline constexpr double kPieNamedPercent = 1.0;
// The "Other" slice's own colour, in none of the palette's 16 slots: an orange-brown.
inline constexpr TColor kOtherSliceColor = 0x3F8FDF;

// The main window's two charts as its design sets them up, before any analysis: the bar chart
// "Bars" with its series, the pie chart "Pies" with its series. The series join their charts.
// Marks that would overlap a text already drawn are left out, the largest entries' first placed.
void SetUpBarChart(TChart& chart, TBarSeries& series);
void SetUpPieChart(TChart& chart, TPieSeries& series);

} // namespace tarvo
