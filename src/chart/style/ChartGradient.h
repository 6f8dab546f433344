#pragma once

#include "core/ChangeNotifier.h"
#include "core/ChartColor.h"
#include "style/GradientBands.h"

namespace tarvo
{

// The panel's background gradient. Defaults: top to bottom, white to yellow, hidden.
class TChartGradient : public TChangeNotifier
{
public:
    TChartGradient() = default;
    TChartGradient(const TChartGradient& other) = default;
    TChartGradient& operator=(const TChartGradient& other)
    {
        StoreAll(m_values, other.m_values);
        return *this;
    }
    ~TChartGradient() = default;
    void Assign(const TChartGradient& other) { *this = other; }

    bool operator==(const TChartGradient& other) const { return m_values == other.m_values; }

    [[nodiscard]] TGradientDirection Direction() const { return m_values.direction; }
    void SetDirection(TGradientDirection value) { Store(m_values.direction, value); }
    [[nodiscard]] TColor StartColor() const { return m_values.startColor; }
    void SetStartColor(TColor value) { Store(m_values.startColor, value); }
    [[nodiscard]] TColor EndColor() const { return m_values.endColor; }
    void SetEndColor(TColor value) { Store(m_values.endColor, value); }
    [[nodiscard]] bool Visible() const { return m_values.visible; }
    void SetVisible(bool value) { Store(m_values.visible, value); }

    // The two colours handed to the canvas' gradient fill, whose first colour lies at the bottom
    // (right) of a linear fill: top-to-bottom and left-to-right gradients start there, the others
    // end there.
    [[nodiscard]] TColor FillColor1() const { return StartsAtFillOrigin() ? m_values.startColor : m_values.endColor; }
    [[nodiscard]] TColor FillColor2() const { return StartsAtFillOrigin() ? m_values.endColor : m_values.startColor; }

private:
    [[nodiscard]] bool StartsAtFillOrigin() const
    {
        return m_values.direction == gdTopBottom || m_values.direction == gdLeftRight;
    }

    struct Values {
        TGradientDirection direction = gdTopBottom;
        TColor startColor = clWhite;
        TColor endColor = clYellow;
        bool visible = false;
        bool operator==(const Values&) const = default;
    };
    Values m_values;
};

} // namespace tarvo
