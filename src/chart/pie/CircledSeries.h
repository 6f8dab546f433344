#pragma once

#include "core/ChartException.h"
#include "pie/PieGeometry.h"
#include "series/ChartSeries.h"

#include <functional>

namespace tarvo
{

// A pie's rotation outside its range; nothing was changed.
class PieException : public ChartException
{
public:
    using ChartException::ChartException;
};

// A series drawn inside an ellipse: the ellipse's box, centre and radii for the current drawing,
// the rotation, keeping the circle round on the physical screen, and the chart's axes, walls and
// zoom switched off while the series is on the chart. Angles in radians, 0 at 3 o'clock,
// counter-clockwise; RotationAngle in whole degrees.
class TCircledSeries : public TChartSeries
{
public:
    using TScreenAspectSource = std::function<TScreenAspect()>;

    TCircledSeries();
    // Gives the chart its axes, walls and zoom back.
    ~TCircledSeries() override;

    // Copies Circled, the rotation, the custom radii and CircleBackColor, then the series.
    void Assign(const TChartSeries& source) override;

    // --- Properties ---
    // Circled and the custom radii are shared: setting them on one series sets them on every
    // series of the chart of the same class.
    [[nodiscard]] bool Circled() const { return m_circledSettings.circled; }
    void SetCircled(bool value);
    [[nodiscard]] int CustomXRadius() const { return m_circledSettings.customXRadius; }
    void SetCustomXRadius(int value);
    [[nodiscard]] int CustomYRadius() const { return m_circledSettings.customYRadius; }
    void SetCustomYRadius(int value);
    [[nodiscard]] int RotationAngle() const { return m_circledSettings.rotationAngle; }
    // Stores value mod 360; a negative value raises PieException.
    void SetRotationAngle(int value);
    [[nodiscard]] double RotationRadians() const { return m_circledSettings.rotationAngle * kRadiansPerDegree; }
    // Back colour of hatched slices; clDefaultColor takes the chart's back colour, and then its
    // panel colour.
    [[nodiscard]] TColor CircleBackColor() const { return m_circledSettings.circleBackColor; }
    void SetCircleBackColor(TColor value) { Store(m_circledSettings.circleBackColor, value); }
    [[nodiscard]] TColor ResolvedCircleBackColor() const;

    // Turns the pie counter-clockwise by degrees (0 … 360, else PieException).
    void Rotate(int degrees);

    // --- Circle of the current (or last) drawing ---
    [[nodiscard]] const TPieCircle& Circle() const { return m_circle; }
    [[nodiscard]] const TRect& CircleRect() const { return m_circle.Rect; }
    [[nodiscard]] int CircleWidth() const { return m_circle.Width; }
    [[nodiscard]] int CircleHeight() const { return m_circle.Height; }
    [[nodiscard]] int CircleCenterX() const { return m_circle.CenterX; }
    [[nodiscard]] int CircleCenterY() const { return m_circle.CenterY; }
    [[nodiscard]] int XRadius() const { return m_circle.XRadius; }
    [[nodiscard]] int YRadius() const { return m_circle.YRadius; }
    // Takes rect as the circle's box (what BeginDrawValues does with the chart's rectangle).
    void SetCircleRect(const TRect& rect);
    void AdjustCircleRect() { m_circle.AdjustRect(); }
    void CalcRadius() { m_circle.CalcRadius(m_circledSettings.customXRadius, m_circledSettings.customYRadius); }

    [[nodiscard]] QPoint AngleToPos(double angle, int xRadius, int yRadius) const;
    [[nodiscard]] double PointToAngle(int x, int y) const;

    // Where Circled learns the screen's proportions; the primary screen unless a test says otherwise.
    void SetScreenAspectSource(TScreenAspectSource source) { m_screenAspect = std::move(source); }

    // --- Chart protocol ---
    void SetParentChart(TChartSeriesHost* chart) override;
    void SetActive(bool value) override;
    // Lays out the circle inside the chart's rectangle, leaving room for the marks.
    void BeginDrawValues() override;
    [[nodiscard]] bool UsesAxes() const override { return false; }
    [[nodiscard]] bool IsAxisRelated(const TChartSeriesAxis& axis) const override;
    void LegendSymbolBrush(int index, TColor& backColor, TBrushStyle& style) override;

    // Restore false switches the chart's axes, walls, clipping, frame, zoom and panning off; true
    // switches them on. Either way the 3D view becomes the pie's own.
    virtual void AdjustChart(bool restore);

protected:
    TPieCircle m_circle;

private:
    // What Assign copies, as one: a setting added here cannot be forgotten there.
    struct Settings {
        bool circled = false;
        int rotationAngle = 0;
        int customXRadius = 0;
        int customYRadius = 0;
        TColor circleBackColor = clDefaultColor;
    };

    // The shared settings as siblings receive them: stored, no further sharing.
    template <typename Field> void ShareWithSiblings(Field Settings::*field, Field value);

    Settings m_circledSettings;
    TScreenAspectSource m_screenAspect = PrimaryScreenAspect;
};

} // namespace tarvo
