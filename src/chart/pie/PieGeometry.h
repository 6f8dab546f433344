#pragma once

// The pie's geometry apart from painting: the circle's box and radii, slice angles, exploded
// offsets, the 3D drawing order and the hit test. Pixels with y growing downward; angles in
// radians, 0 at 3 o'clock, growing counter-clockwise on screen.

#include "core/Rect.h"

#include <QPoint>
#include <QPointF>

#include <span>
#include <vector>

namespace tarvo
{

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2.0 * kPi;
inline constexpr double kRadiansPerDegree = 0.017453292519943295;

// The box of the pie's ellipse, its centre and the radii in force.
struct TPieCircle {
    TRect Rect;
    int Width = 0;
    int Height = 0;
    int CenterX = 0;
    int CenterY = 0;
    int XRadius = 0;
    int YRadius = 0;

    // Makes width and height even (the centre then falls on a pixel) and at least 4, and takes
    // size and centre from Rect.
    void AdjustRect();
    // Radii from the size, or the custom radii when they are not 0; Rect becomes the box around
    // the centre with those radii.
    void CalcRadius(int customXRadius, int customYRadius);

    bool operator==(const TPieCircle&) const = default;
};

// The point at angle (before rotation) on the ellipse with radii xRadius, yRadius around the
// circle's centre.
[[nodiscard]] QPoint AngleToPos(
    const TPieCircle& circle, double rotationRadians, double angle, int xRadius, int yRadius);
// The angle of a pixel seen from the centre, relative to the rotation, in [0, 2π).
[[nodiscard]] double PointToAngle(const TPieCircle& circle, double rotationRadians, int x, int y);

// Screen size in pixels and in millimetres; a size of 0 mm is unknown.
struct TScreenAspect {
    int WidthPixels = 0;
    int HeightPixels = 0;
    double WidthMillimetres = 0;
    double HeightMillimetres = 0;
};
// How much taller than wide a pixel is drawn (1 for square pixels): the factor that keeps a
// circled pie round on that screen.
[[nodiscard]] double CircledAspectRatio(const TScreenAspect& screen);
// The primary screen of the running application (a square-pixel guess without one).
[[nodiscard]] TScreenAspect PrimaryScreenAspect();

struct TPieAngle {
    double StartAngle = 0;
    double MidAngle = 0;
    double EndAngle = 0;
};

// Which slices fold when only the kept largest may stay (by absolute value; of equal values the
// earlier slice stays): none while at most kept + 1 slices exist, since folding a single slice
// would only rename it; otherwise also every slice under minimumPercent of the total.
[[nodiscard]] std::vector<bool> FoldedBelowRank(std::span<const double> values, int kept, double minimumPercent = 0);

// Angles of slices with values (signed; |value| counts) in point order around a total of
// absTotal. Folded slices keep zero width. A total of 0 gives the first slice the whole circle
// and the others nothing.
[[nodiscard]] std::vector<TPieAngle> CalcSliceAngles(
    std::span<const double> values, std::span<const bool> folded, double absTotal);

// Where an exploded slice moves: (dx, dy) with dy counted upward (the slice is drawn around
// (CenterX + dx, CenterY − dy)); (0, 0) for percent ≤ 0.
[[nodiscard]] QPoint ExplodedOffset(const TPieCircle& circle, double rotationRadians, double midAngle, int percent);
// The radii grown by percent.
[[nodiscard]] QPoint ExplodedRadius(const TPieCircle& circle, int percent);

// The first index with the strictly greatest positive percentage, or -1 when none is positive.
[[nodiscard]] int MostExplodedIndex(std::span<const int> percents);

// How far a slice points away from 12 o'clock (the back of a tilted pie), in [0, π].
[[nodiscard]] double DistanceFromBack(double midAngle, double rotationRadians);
// Slice indices from the back of the pie to the front: near slices drawn last cover far ones.
[[nodiscard]] std::vector<int> BackToFrontOrder(std::span<const TPieAngle> angles, double rotationRadians);

// The first slice whose box (radii grown by its signed offset) holds the pixel and whose angle
// range holds its angle, or -1. A box and an angle range, not an ellipse.
[[nodiscard]] int SliceAtPoint(const TPieCircle& circle, double rotationRadians, std::span<const TPieAngle> angles,
    std::span<const QPoint> offsets, int x, int y);

// A pixel's line of sight through a pie drawn between two depths, in the pie's own plane: where
// it crosses the depth of the face drawn on top and the depth of the back. Flat, both are the
// pixel's centre.
struct TSightLine {
    QPointF Face;
    QPointF Back;
};

// The slice of a pie without pulled-out slices that is seen along the line: the one whose angle
// range holds the first point of the line, from the face on, that lies in the disc (the face or
// the rim below it); -1 when the line misses the disc.
[[nodiscard]] int SliceSeenOnDisc(
    const TPieCircle& circle, double rotationRadians, std::span<const TPieAngle> angles, const TSightLine& sight);

// With slices pulled out each slice is a wedge of its own, drawn in drawOrder so that later ones
// cover earlier ones: the last wedge in that order that the line passes through (its face, its
// rim or a radial side), or -1. Slices of no width are never seen.
[[nodiscard]] int SliceSeenAmongWedges(const TPieCircle& circle, double rotationRadians,
    std::span<const TPieAngle> angles, std::span<const QPoint> offsets, std::span<const int> drawOrder,
    const TSightLine& sight);

} // namespace tarvo
