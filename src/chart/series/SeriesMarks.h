#pragma once

#include "core/ChangeNotifier.h"
#include "core/ChartColor.h"
#include "series/ChartSeriesMarkPositions.h"
#include "style/ChartFont.h"
#include "style/ChartPen.h"

#include <QRect>
#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

namespace tarvo
{

class TChartCanvas;
class TChartCanvas3D;
class TChartSeriesHost;

// Which text a mark shows.
enum class TSeriesMarksStyle {
    smsValue,
    smsPercent,
    smsLabel,
    smsLabelPercent,
    smsLabelValue,
    smsLegend,
    smsPercentTotal,
    smsLabelPercentTotal,
    smsXValue,
};
using enum TSeriesMarksStyle;

// Mark texts break into lines at the carriage return (code 13).
inline constexpr char kMarkLineSeparator = '\r';
[[nodiscard]] QStringList MarkTextLines(std::string_view text);

// What the marks ask of the series they belong to.
class TSeriesMarksHost
{
public:
    virtual ~TSeriesMarksHost() = default;

    // The text of every mark the series has, one per point that is not null.
    [[nodiscard]] virtual std::vector<std::string> MarkTexts() const = 0;
    // The chart the marks are drawn on; null while the series is on none.
    [[nodiscard]] virtual TChartSeriesHost* MarksChart() const = 0;

protected:
    TSeriesMarksHost() = default;
    TSeriesMarksHost(const TSeriesMarksHost&) = default;
    TSeriesMarksHost& operator=(const TSeriesMarksHost&) = default;
};

// The text boxes a series draws next to its points, each joined to its point by an arrow. Owned by
// one series, which installs the change handler (its repaint); the pens and the font are copied
// in, never shared. Geometry is in pixels; MarkDepth is a depth in pixels into the screen.
class TSeriesMarks : public TChangeNotifier
{
public:
    static constexpr TColor kDefaultBackColor = 0x80FFFF; // pale yellow
    static constexpr int kDefaultArrowLength = 8;

    explicit TSeriesMarks(TSeriesMarksHost& series);
    TSeriesMarks(const TSeriesMarks&) = delete;
    TSeriesMarks& operator=(const TSeriesMarks&) = delete;
    ~TSeriesMarks() = default;

    // Copies every published property of source (not the series, depth or stored positions);
    // each setting that changes reports it.
    void Assign(const TSeriesMarks& source);

    // The series the marks belong to.
    [[nodiscard]] TSeriesMarksHost& Series() const { return m_series; }

    // --- Properties ---
    [[nodiscard]] const TChartArrowPen& Arrow() const { return m_arrow; }
    [[nodiscard]] TChartArrowPen& Arrow() { return m_arrow; }
    void SetArrow(const TChartPen& value);
    // Distance in pixels the series keeps between a point and its box; the bar series turns a
    // negative length round for bars that grow downward, so any value is taken.
    [[nodiscard]] int ArrowLength() const { return m_arrowLength; }
    void SetArrowLength(int value);
    [[nodiscard]] TColor BackColor() const { return m_backColor; }
    void SetBackColor(TColor value);
    // Clip the marks to the chart's plotting box.
    [[nodiscard]] bool Clip() const { return m_clip; }
    void SetClip(bool value);
    [[nodiscard]] const TChartFont& Font() const { return m_font; }
    [[nodiscard]] TChartFont& Font() { return m_font; }
    void SetFont(const TChartFont& value);
    [[nodiscard]] const TChartPen& Frame() const { return m_frame; }
    [[nodiscard]] TChartPen& Frame() { return m_frame; }
    void SetFrame(const TChartPen& value);
    [[nodiscard]] TSeriesMarksStyle Style() const { return m_style; }
    // Raises ChartException for a value outside the enumeration.
    void SetStyle(TSeriesMarksStyle value);
    // No box fill.
    [[nodiscard]] bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value);
    [[nodiscard]] bool Visible() const { return m_visible; }
    void SetVisible(bool value);
    // Leave out a mark whose box would overlap a text, mark or legend already on the picture;
    // the marks of the largest values are placed first (see TChartSeries::PaintMarks).
    [[nodiscard]] bool HideOverlapping() const { return m_hideOverlapping; }
    void SetHideOverlapping(bool value);

    // Depth of the marks in 3D, set by the chart (or the series) before each drawing; no repaint.
    [[nodiscard]] int MarkDepth() const { return m_markDepth; }
    void SetMarkDepth(int value) { m_markDepth = value; }

    // Where each mark was last drawn, by point; the series keeps it in step with its points.
    [[nodiscard]] TSeriesMarkPositions& Positions() { return m_positions; }
    [[nodiscard]] const TSeriesMarkPositions& Positions() const { return m_positions; }

    // --- Measuring and drawing ---
    // Makes the canvas font the marks font at the canvas' resolution, scaled by the 3D zoom when
    // the chart zooms text.
    void ApplyFont(TChartCanvas3D& canvas) const;
    // Widest line among the texts of the series' marks (null points have none), measured with the
    // canvas' current font.
    [[nodiscard]] int MaxMarkWidth(const TChartCanvas& canvas) const;
    // Box size for text with the canvas' current font and the frame pen: widest line plus one "W",
    // lines × line height, each grown by twice the pen width when the frame shows.
    void MeasureBox(TChartCanvas& canvas, std::string_view text, int& width, int& height) const;

    // The rectangle the box of position covers on the canvas as DrawMarkItem draws it: in 3D it
    // moves with the projected end of the arrow.
    [[nodiscard]] QRect ScreenBox(const TSeriesMarkPosition& position, const TChartCanvas3D& canvas) const;

    // Stores position as the mark of point index, or, when a custom position is stored there,
    // takes that instead; then draws arrow, box and text on the series' chart (nothing without a
    // chart). color is the point's colour: an arrow of that colour would vanish into it. A
    // negative index raises ChartListIndexError.
    void DrawMarkItem(int index, TColor color, TSeriesMarkPosition& position, const std::string& text);

private:
    // The arrow's colour on a chart whose panel has panelColor, for a point of pointColor.
    [[nodiscard]] TColor ArrowColor(TColor pointColor, TColor panelColor) const;

    TSeriesMarksHost& m_series;
    TChartArrowPen m_arrow;
    int m_arrowLength = kDefaultArrowLength;
    TColor m_backColor = kDefaultBackColor;
    bool m_clip = false;
    TChartFont m_font;
    TChartPen m_frame;
    TSeriesMarksStyle m_style = smsLabel;
    bool m_transparent = false;
    bool m_visible = false;
    bool m_hideOverlapping = false;
    int m_markDepth = 0;
    TSeriesMarkPositions m_positions;
};

} // namespace tarvo
