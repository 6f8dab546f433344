#pragma once

#include "CustomChart.h"

namespace tarvo
{

// The chart control the main window places ("Bars", "Pies"): a TCustomChart whose properties,
// events and mouse handling are all open to its owner.
class TChart : public TCustomChart
{
public:
    explicit TChart(QWidget* parent = nullptr)
        : TCustomChart(parent)
    {
    }
    ~TChart() override = default;
};

} // namespace tarvo
