#pragma once

#include "core/ChartColor.h"

namespace tarvo
{

class TBarSeries;
class TChart;
class TPieSeries;

// With up to kPieUnfoldedEntries entries the pie draws each in its palette slot, as the bars do.
// With more, the kPieNamedSlices largest keep their slices if each holds at least
// kPieNamedPercent of the total (of equal sizes the entry listed first), and every other entry
// folds into the pie's "Other" slice: each named slice is wide enough to see and to click, and
// no two share a colour, as the palette's 16 slots hold 14 colours (silver and gray twice).
inline constexpr int kPieUnfoldedEntries = 16;
inline constexpr int kPieNamedSlices = 14;
inline constexpr double kPieNamedPercent = 1.0;
// The "Other" slice's own colour, in none of the palette's 16 slots: an orange-brown.
inline constexpr TColor kOtherSliceColor = 0x3F8FDF;

// The main window's two charts as its design sets them up, before any analysis: the bar chart
// "Bars" with its series, the pie chart "Pies" with its series. The series join their charts.
// Marks that would overlap a text already drawn are left out, the largest entries' first placed.
void SetUpBarChart(TChart& chart, TBarSeries& series);
void SetUpPieChart(TChart& chart, TPieSeries& series);

} // namespace tarvo
