#pragma once

namespace tarvo
{

class TBarSeries;
class TChart;
class TPieSeries;

// The main window's two charts as its design sets them up, before any analysis: the bar chart
// "Bars" with its series, the pie chart "Pies" with its series. The series join their charts.
void SetUpBarChart(TChart& chart, TBarSeries& series);
void SetUpPieChart(TChart& chart, TPieSeries& series);

} // namespace tarvo
