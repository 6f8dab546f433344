#pragma once

#include "MetafileWriter.h"
#include "canvas/OccupiedAreas.h"
#include "canvas/TextRunCache.h"
#include "core/ChartColor.h"
#include "core/Rect.h"
#include "style/ChartBrush.h"
#include "style/ChartFont.h"
#include "style/ChartPen.h"
#include "style/GradientBands.h"

#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <span>
#include <string_view>
#include <vector>

class QPainter;
class QFont;

namespace tarvo
{

class MetafilePaintDevice;

// Text alignment flags of the canvas (horizontal | vertical): the metafile's own values, which
// a metafile target receives unchanged.
inline constexpr unsigned TA_LEFT = mtaLeft;
inline constexpr unsigned TA_RIGHT = mtaRight;
inline constexpr unsigned TA_CENTER = mtaCenter;
inline constexpr unsigned TA_TOP = mtaTop;
inline constexpr unsigned TA_BOTTOM = mtaBottom;
inline constexpr unsigned TA_BASELINE = mtaBaseline;

// Texts of several lines (titles, marks, labels) break at the carriage return.
inline constexpr char kTextLineSeparator = '\r';

// Background mode: whether text cells and the gaps of hatched brushes are filled with the
// background colour.
inline constexpr int TRANSPARENT = mbmTransparent;
inline constexpr int OPAQUE = mbmOpaque;

// The flat half of the chart canvas: pixel-coordinate drawing on whatever surface is attached (a
// QPainter that is active on a widget, an image, a printer page or a metafile; never owned). The
// canvas keeps its own pen, brush, font, background and text alignment and hands them to the
// painter when a drawing operation needs them, so attaching another surface keeps them.
// Rectangles exclude their right and bottom edges; shapes are drawn without anti-aliasing.
// Drawing without a surface does nothing; measuring text without one uses the font alone.
class TChartCanvas
{
public:
    TChartCanvas();
    virtual ~TChartCanvas();
    TChartCanvas(const TChartCanvas&) = delete;
    TChartCanvas& operator=(const TChartCanvas&) = delete;

    void Attach(QPainter* painter);
    [[nodiscard]] QPainter* DeviceContext() const { return m_painter; }

    [[nodiscard]] TChartPen& Pen() { return m_pen; }
    [[nodiscard]] TChartBrush& Brush() { return m_brush; }
    [[nodiscard]] TChartFont& Font() { return m_font; }
    [[nodiscard]] const TChartPen& Pen() const { return m_pen; }
    [[nodiscard]] const TChartBrush& Brush() const { return m_brush; }
    [[nodiscard]] const TChartFont& Font() const { return m_font; }

    // Invisible: the canvas pen gets style clear; otherwise the canvas pen copies pen (a one-pixel
    // SmallDots pen then draws every other pixel).
    void ApplyPen(const TChartPen& pen);

    [[nodiscard]] virtual TColor BackgroundColor() const { return m_backgroundColor; }
    virtual void SetBackgroundColor(TColor color);
    [[nodiscard]] virtual int BackgroundMode() const { return m_backgroundMode; }
    virtual void SetBackgroundMode(int mode);
    [[nodiscard]] virtual unsigned TextAlignment() const { return m_textAlignment; }
    virtual void SetTextAlignment(unsigned flags) { m_textAlignment = flags; }
    [[nodiscard]] virtual bool Monochrome() const = 0;
    virtual void SetMonochrome(bool value) = 0;
    [[nodiscard]] virtual bool UseBuffer() const = 0;
    virtual void SetUseBuffer(bool value) = 0;

    virtual void Pixel2D(int x, int y, TColor color);
    virtual void Arc2D(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    virtual void DrawGraphic(int x, int y, const QImage& graphic);
    virtual void Ellipse2D(int x1, int y1, int x2, int y2);
    virtual void FillRect2D(const TRect& rect);
    virtual void BevelFrame(TRect rect, TColor topColor, int width, TColor bottomColor);
    virtual void LineTo2D(int x, int y);
    virtual void MoveTo2D(int x, int y);
    virtual void Pie2D(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    virtual void Rectangle2D(int x0, int y0, int x1, int y1);
    virtual void RoundRect2D(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight);
    virtual void StretchGraphic(const TRect& rect, const QImage& graphic);
    virtual void TextOut2D(int x, int y, const QString& text);
    // Width of the text as drawn: control characters count as what VisibleText shows for them.
    [[nodiscard]] virtual int TextWidth(const QString& text) const;
    // The width of the widest of lines.
    [[nodiscard]] int WidestLine(const QStringList& lines) const;
    // Width of the widest line of text (lines end at kTextLineSeparator) and the number of
    // lines; an empty text is one line of width 0.
    [[nodiscard]] int TextBlockWidth(const QString& text, int& lines) const;
    [[nodiscard]] int TextBlockWidth(std::string_view text, int& lines) const;
    [[nodiscard]] virtual int TextHeight(const QString& text) const;
    [[nodiscard]] int LineHeight() const { return TextHeight(QStringLiteral("W")); }
    virtual void ClipToRect(const TRect& rect);
    virtual void HorizLine2D(int x0, int x1, int y);
    virtual void VertLine2D(int x, int y0, int y1);
    virtual void Rect2D(const TRect& rect);
    virtual void FillBackground(const TRect& rect);
    virtual void FillGradient(const TRect& rect, TColor color1, TColor color2, TGradientDirection direction);
    virtual void MarkDirty() = 0;
    virtual void Line2D(int x0, int y0, int x1, int y1);
    virtual void Polygon2D(std::span<const QPoint> points);
    // angleDegrees counter-clockwise; values above 360 lose a turn.
    virtual void RotatedText2D(int x, int y, int angleDegrees, const QString& text);
    virtual void RemoveClip();

    [[nodiscard]] QPoint PenPosition() const { return m_penPosition; }

    // --- What the picture holds so far ---
    // A text as drawn: the characters shown (see VisibleText) and the rectangle they cover on
    // the surface (the bounding box when turned).
    struct TDrawnText {
        QRect Rect;
        QString Text;
    };
    // Every text drawn since ForgetDrawnTexts; a chart forgets them as it starts a repaint.
    [[nodiscard]] const std::vector<TDrawnText>& DrawnTexts() const { return m_drawnTexts; }
    // Rectangles a new text or mark must keep clear of: every drawn text and whatever was
    // added with Occupy (mark boxes, the legend).
    [[nodiscard]] const TOccupiedAreas& Occupied() const { return m_occupied; }
    void Occupy(const QRect& rect) { m_occupied.Add(rect); }
    void ForgetDrawnTexts();

protected:
    // The metafile being drawn into, if that is the surface.
    [[nodiscard]] MetafilePaintDevice* MetafileTarget() const;

    // The seam for surfaces that keep ellipses, pies, arcs and text as shapes of their own (a
    // metafile writes them as records). The painter already carries the canvas pen, brush and
    // font when these run; the defaults write a metafile's own records into a metafile target and
    // draw with the painter everywhere else. bounds exclude right and bottom; start and
    // end are the radial points, the arc running counter-clockwise from start to end.
    virtual void DeviceEllipse(const TRect& bounds);
    virtual void DevicePie(const TRect& bounds, QPoint start, QPoint end);
    virtual void DeviceArc(const TRect& bounds, QPoint start, QPoint end);
    // Text with its reference point at anchor (TextAlignment decides which point of the text
    // that is), turned by angleDegrees counter-clockwise about it, in font. Every text the canvas
    // draws comes here, so this is where control characters become visible and where the
    // text's rectangle is recorded.
    virtual void DeviceText(QPoint anchor, const QString& text, double angleDegrees, const QFont& font);

    // Scale of text under the 3D zoom (1 when text does not follow the zoom).
    [[nodiscard]] virtual double TextZoom() const { return 1.0; }

    // Hands the canvas state the next operation needs to the painter; null without a surface.
    QPainter* PreparePainter(bool usesPen, bool usesBrush);
    // Called by PreparePainter before anything is drawn: a canvas that narrowed the painter's
    // clip for one kind of shape widens it again here.
    virtual void BeforePainting() { }
    // Point size → font for this canvas' text, scaled by zoom when it is not 1.
    [[nodiscard]] QFont ZoomedFont(double zoom) const;
    void InvalidatePainterState();

private:
    // The metafile's own text record for DeviceText.
    void WriteMetafileText(QPoint anchor, const QString& shown, double angleDegrees, const QFont& font);
    void RecordText(QPoint anchor, const QRect& cell, double angleDegrees, const QString& shown);
    void RealizePen();
    void RealizeBrush();
    void RealizeBackground();
    // Replaces (or narrows) the painter's clip with the whole surface.
    void ClipToDevice(Qt::ClipOperation operation);

    QPainter* m_painter = nullptr;
    TChartPen m_pen;
    TChartBrush m_brush;
    TChartFont m_font;
    TColor m_backgroundColor = clWhite;
    int m_backgroundMode = OPAQUE;
    unsigned m_textAlignment = TA_LEFT | TA_TOP;
    QPoint m_penPosition;
    bool m_penRealized = false;
    bool m_brushRealized = false;
    // Measuring is part of a const question, but what it learns serves the next one.
    mutable TTextRunCache m_textRuns;
    std::vector<TDrawnText> m_drawnTexts;
    TOccupiedAreas m_occupied;
};

} // namespace tarvo
