#include "canvas/Projection.h"

#include "canvas/View3DOptions.h"
#include "core/ChartRounding.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvo
{

namespace
{

    // Neither axis may collapse completely: keeps the inverse defined for edge-on views.
    constexpr double kMinimumAxisFactor = 0.00001;

    double Radians(int degrees) { return degrees * std::numbers::pi / 180.0; }

} // namespace

TRotationCoefficients RotationCoefficients(int elevationDegrees, int rotationDegrees, int tiltDegrees)
{
    const double sE = std::sin(Radians(elevationDegrees));
    const double cE = std::cos(Radians(elevationDegrees));
    const double sR = std::sin(Radians(rotationDegrees));
    const double cR = std::cos(Radians(rotationDegrees));
    const double sT = std::sin(Radians(tiltDegrees));
    const double cT = std::cos(Radians(tiltDegrees));

    TRotationCoefficients c;
    c.a11 = std::max(kMinimumAxisFactor, sR * sE * sT + cR * cT);
    c.a12 = cE * sT;
    c.a13 = cR * sE * sT - cT * sR;
    c.a21 = cT * sR * sE - cR * sT;
    c.a22 = std::max(kMinimumAxisFactor, cE * cT);
    c.a23 = cR * cT * sE + sR * sT;
    c.p1 = cE * sR;
    c.p2 = sE;
    c.p3 = cR * cE;
    return c;
}

void TProjection::Begin(const TView3DOptions* options, bool view3D)
{
    Is3D = view3D;
    Oblique = false;
    Scale = 1.0;
    PerspectiveFactor = 0;
    Rotation = {};
    if (Is3D && options != nullptr) {
        Oblique = options->Orthogonal();
        Scale = options->Zoom() * 0.01;
        ZoomText = options->ZoomText();
        if (!Oblique)
            Rotation = RotationCoefficients(options->Elevation(), options->Rotation(), options->Tilt());
    }
}

void TProjection::Prepare(const TView3DOptions* options, int depth, const TRect& plotRect)
{
    CenterX = (plotRect.Left + plotRect.Right) / 2;
    CenterY = (plotRect.Top + plotRect.Bottom) / 2;
    CenterZ = depth / 2;
    OriginX = CenterX;
    OriginY = CenterY;
    if (options == nullptr)
        return;
    OriginX += options->HorizOffset();
    OriginY += options->VertOffset();
    if (options->Perspective() > 0)
        PerspectiveFactor = options->Perspective() / 35000.0;
}

QPoint TProjection::Project(int x, int y, int z) const
{
    if (!Is3D)
        return { x, y };
    if (Oblique) {
        return { Round((x - CenterX + z) * Scale) + OriginX, Round((y - CenterY - z) * Scale) + OriginY };
    }
    const double dx = x - CenterX;
    const double dy = y - CenterY;
    const double dz = z - CenterZ;
    const TRotationCoefficients& r = Rotation;
    double factor = Scale;
    if (PerspectiveFactor > 0)
        factor = Scale * (1.0 - PerspectiveFactor * (dx * r.p1 - dy * r.p2 + dz * r.p3));
    return { Round((dx * r.a11 + dy * r.a12 + dz * r.a13) * factor) + OriginX,
        Round((dx * r.a21 + dy * r.a22 + dz * r.a23) * factor) + OriginY };
}

void TProjection::Unproject(int& x, int& y, int z) const
{
    if (!Is3D || Scale == 0)
        return;
    const int screenX = x;
    const int screenY = y;
    if (Oblique) {
        x = Round((screenX - OriginX) / Scale) + CenterX - z;
        y = z + Round((screenY - OriginY) / Scale) + CenterY;
        return;
    }
    const TRotationCoefficients& r = Rotation;
    if (r.a11 == 0 || r.a22 == 0)
        return;
    const double dz = z - CenterZ;
    x = Round(((screenX - OriginX) / Scale - dz * r.a13 - (screenY - CenterY) * r.a12) / r.a11) + CenterX;
    y = Round(((screenY - OriginY) / Scale - dz * r.a23 - (screenX - CenterX) * r.a21) / r.a22) + CenterY;
}

QPointF TProjection::UnprojectExact(QPointF screen, double z) const
{
    if (!Is3D || Scale == 0)
        return screen;
    const double sx = (screen.x() - OriginX) / Scale;
    const double sy = (screen.y() - OriginY) / Scale;
    if (Oblique)
        return { sx + CenterX - z, sy + CenterY + z };
    const TRotationCoefficients& r = Rotation;
    const double determinant = r.a11 * r.a22 - r.a12 * r.a21;
    if (std::fabs(determinant) < 1e-12)
        return screen;
    const double dz = z - CenterZ;
    const double r1 = sx - dz * r.a13;
    const double r2 = sy - dz * r.a23;
    return { (r1 * r.a22 - r.a12 * r2) / determinant + CenterX, (r.a11 * r2 - r.a21 * r1) / determinant + CenterY };
}

} // namespace tarvo
