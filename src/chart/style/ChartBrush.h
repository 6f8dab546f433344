#pragma once

#include "core/ChangeNotifier.h"
#include "core/ChartColor.h"

#include <QImage>

namespace tarvo
{

// Fill styles: solid, none, and the six hatches (drawn in the brush colour over the background
// colour when the background mode is opaque).
enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
using enum TBrushStyle;

// A chart brush: fill colour and style and an optional bitmap that, when set, is used instead of
// both. Defaults: white, solid, no bitmap. Owners that mean "the chart's colour" set clDefaultColor.
class TChartBrush : public TChangeNotifier
{
public:
    TChartBrush() = default;
    TChartBrush(TColor color, TBrushStyle style)
    {
        m_values.color = color;
        m_values.style = style;
    }
    TChartBrush(const TChartBrush& other) = default;
    TChartBrush& operator=(const TChartBrush& other)
    {
        StoreAll(m_values, other.m_values);
        return *this;
    }
    ~TChartBrush() = default;
    void Assign(const TChartBrush& other) { *this = other; }

    bool operator==(const TChartBrush& other) const { return m_values == other.m_values; }

    [[nodiscard]] TColor Color() const { return m_values.color; }
    void SetColor(TColor value) { Store(m_values.color, value); }
    [[nodiscard]] TBrushStyle Style() const { return m_values.style; }
    void SetStyle(TBrushStyle value) { Store(m_values.style, value); }
    [[nodiscard]] const QImage& Image() const { return m_values.image; }
    void SetImage(const QImage& value) { Store(m_values.image, value); }
    [[nodiscard]] bool HasImage() const { return !m_values.image.isNull(); }

private:
    struct Values {
        TColor color = clWhite;
        TBrushStyle style = bsSolid;
        QImage image;
        bool operator==(const Values&) const = default;
    };
    Values m_values;
};

} // namespace tarvo
