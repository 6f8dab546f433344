#pragma once

// The 3D projection of the chart canvas as plain value code: x, y, z in pixels (y down, z into
// the screen) to screen pixels and back. Set up once per repaint from the chart's 3D options and
// plot rectangle; the canvas only applies it.

#include "core/Rect.h"

#include <QPoint>
#include <QPointF>

namespace tarvo
{

class TView3DOptions;

// Rotation by Elevation, Rotation and Tilt (degrees): a11 … a23 map (dx, dy, dz) to the screen,
// p1 … p3 weigh the point for perspective.
struct TRotationCoefficients {
    double a11 = 0;
    double a12 = 0;
    double a13 = 0;
    double a21 = 0;
    double a22 = 0;
    double a23 = 0;
    double p1 = 0;
    double p2 = 0;
    double p3 = 0;
};

[[nodiscard]] TRotationCoefficients RotationCoefficients(int elevationDegrees, int rotationDegrees, int tiltDegrees);

struct TProjection {
    bool Is3D = false;
    // Depth goes right and up at 45° instead of a full rotation.
    bool Oblique = false;
    double Scale = 1.0;
    bool ZoomText = true;
    int CenterX = 0;
    int CenterY = 0;
    int CenterZ = 0;
    int OriginX = 0;
    int OriginY = 0;
    double PerspectiveFactor = 0;
    TRotationCoefficients Rotation;

    // Start of a repaint: takes 3D on/off, the projection kind, the zoom and the rotation from the
    // options (none while the chart window is being created: then flat).
    void Begin(const TView3DOptions* options, bool view3D);

    // Centre and origin from the final plot rectangle; depth is the chart's total depth in pixels.
    void Prepare(const TView3DOptions* options, int depth, const TRect& plotRect);

    [[nodiscard]] QPoint Project(int x, int y, int z) const;

    // The inverse of Project for a point known to lie at depth z (perspective ignored). Leaves x
    // and y alone when there is nothing to invert (zero scale, degenerate rotation, flat view).
    void Unproject(int& x, int& y, int z) const;

    // The exact inverse of Project without its rounding and without perspective: the point at
    // depth z that Project would put at the screen position (a pixel's centre is (x + 0.5,
    // y + 0.5)). The screen position itself when the view is flat or cannot be inverted.
    [[nodiscard]] QPointF UnprojectExact(QPointF screen, double z) const;
};

} // namespace tarvo
