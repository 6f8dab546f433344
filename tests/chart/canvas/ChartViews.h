#pragma once

#include "canvas/View3DOptions.h"

namespace tarvo::test
{

// The 3D view of the program's pie chart: seen from 45 degrees above, no perspective, 95 %.
inline TView3DOptions PieChartView()
{
    TView3DOptions options;
    options.SetElevation(315);
    options.SetOrthogonal(false);
    options.SetPerspective(0);
    options.SetRotation(360);
    options.SetZoom(95);
    return options;
}

} // namespace tarvo::test
