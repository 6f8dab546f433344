#pragma once

#include "core/ChangeNotifier.h"
#include "core/ChartColor.h"

namespace tarvo
{

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
using enum TPenStyle;

// How the pen combines with what is already drawn (the zoom rubber band uses pmNotXor).
enum class TPenMode { pmCopy, pmNot, pmXor, pmNotXor };
using enum TPenMode;

// A chart pen: a line's colour, width in pixels and style, plus SmallDots (a one-pixel line with
// every other pixel set) and Visible. Defaults: black, width 1, solid, copy mode, visible.
class TChartPen : public TChangeNotifier
{
public:
    TChartPen() = default;
    TChartPen(const TChartPen& other) = default;
    TChartPen& operator=(const TChartPen& other)
    {
        StoreAll(m_values, other.m_values);
        return *this;
    }
    ~TChartPen() = default;
    void Assign(const TChartPen& other) { *this = other; }

    bool operator==(const TChartPen& other) const { return m_values == other.m_values; }

    [[nodiscard]] TColor Color() const { return m_values.color; }
    void SetColor(TColor value) { Store(m_values.color, value); }
    [[nodiscard]] int Width() const { return m_values.width; }
    void SetWidth(int value) { Store(m_values.width, value); }
    [[nodiscard]] TPenStyle Style() const { return m_values.style; }
    void SetStyle(TPenStyle value) { Store(m_values.style, value); }
    [[nodiscard]] TPenMode Mode() const { return m_values.mode; }
    void SetMode(TPenMode value) { Store(m_values.mode, value); }
    [[nodiscard]] bool SmallDots() const { return m_values.smallDots; }
    void SetSmallDots(bool value) { Store(m_values.smallDots, value); }
    [[nodiscard]] bool Visible() const { return m_values.visible; }
    void SetVisible(bool value) { Store(m_values.visible, value); }

private:
    struct Values {
        TColor color = clBlack;
        int width = 1;
        TPenStyle style = psSolid;
        TPenMode mode = pmCopy;
        bool smallDots = false;
        bool visible = true;
        bool operator==(const Values&) const = default;
    };
    Values m_values;
};

// Frames that are off unless the user asks for them.
class TChartHiddenPen : public TChartPen
{
public:
    TChartHiddenPen() { SetVisible(false); }
    using TChartPen::operator=;
};

// Mark arrows: white by default.
class TChartArrowPen : public TChartPen
{
public:
    TChartArrowPen() { SetColor(clWhite); }
    using TChartPen::operator=;
};

// Axis lines: two pixels wide by default.
class TChartAxisPen : public TChartPen
{
public:
    TChartAxisPen() { SetWidth(2); }
    using TChartPen::operator=;
};

} // namespace tarvo
