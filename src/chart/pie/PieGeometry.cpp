#include "pie/PieGeometry.h"

#include "core/ChartRounding.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <optional>
#include <utility>

namespace tarvo
{

void TPieCircle::AdjustRect()
{
    if ((Rect.Right - Rect.Left) % 2 != 0)
        --Rect.Right;
    if ((Rect.Bottom - Rect.Top) % 2 != 0)
        --Rect.Bottom;
    if (Rect.Right - Rect.Left < 4)
        Rect.Right = Rect.Left + 4;
    if (Rect.Bottom - Rect.Top < 4)
        Rect.Bottom = Rect.Top + 4;
    Width = Rect.Width();
    Height = Rect.Height();
    CenterX = (Rect.Left + Rect.Right) / 2;
    CenterY = (Rect.Top + Rect.Bottom) / 2;
}

void TPieCircle::CalcRadius(int customXRadius, int customYRadius)
{
    if (customXRadius != 0) {
        XRadius = customXRadius;
        Width = 2 * customXRadius;
    } else {
        XRadius = Width / 2;
    }
    if (customYRadius != 0) {
        YRadius = customYRadius;
        Height = 2 * customYRadius;
    } else {
        YRadius = Height / 2;
    }
    Rect = { CenterX - XRadius, CenterY - YRadius, CenterX + XRadius, CenterY + YRadius };
}

QPoint AngleToPos(const TPieCircle& circle, double rotationRadians, double angle, int xRadius, int yRadius)
{
    const double a = angle + rotationRadians;
    return { circle.CenterX + Round(std::cos(a) * xRadius), circle.CenterY - Round(std::sin(a) * yRadius) };
}

double PointToAngle(const TPieCircle& circle, double rotationRadians, int x, int y)
{
    double angle = 0;
    if (x == circle.CenterX)
        angle = y > circle.CenterY ? -kPi / 2 : kPi / 2;
    else if (circle.YRadius != 0 && circle.XRadius != 0)
        angle = std::atan2(static_cast<double>(circle.CenterY - y) / circle.YRadius,
            static_cast<double>(x - circle.CenterX) / circle.XRadius);
    if (angle < 0)
        angle += kTwoPi;
    angle -= rotationRadians;
    if (angle < 0)
        angle += kTwoPi;
    return angle;
}

double CircledAspectRatio(const TScreenAspect& screen)
{
    if (screen.WidthPixels <= 0 || screen.HeightPixels <= 0)
        return 1.0;
    double ratio = static_cast<double>(screen.WidthPixels) / screen.HeightPixels;
    if (screen.HeightMillimetres != 0) {
        const double physical = screen.WidthMillimetres / screen.HeightMillimetres;
        if (physical != 0)
            ratio /= physical;
    }
    // A screen that reports nonsense is taken to have square pixels.
    return std::isfinite(ratio) && ratio > 0 ? ratio : 1.0;
}

TScreenAspect PrimaryScreenAspect()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return {};
    const QSize pixels = screen->size();
    const QSizeF millimetres = screen->physicalSize();
    return { pixels.width(), pixels.height(), millimetres.width(), millimetres.height() };
}

std::vector<bool> FoldedBelowRank(std::span<const double> values, int kept, double minimumPercent)
{
    const std::size_t count = values.size();
    std::vector<bool> folded(count, false);
    if (kept < 0 || count <= static_cast<std::size_t>(kept) + 1)
        return folded;
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t { 0 });
    // The kept largest first, in a partial order: the cost stays linear for thousands of slices.
    const auto larger = [&values](std::size_t a, std::size_t b) {
        const double va = std::fabs(values[a]);
        const double vb = std::fabs(values[b]);
        return va != vb ? va > vb : a < b;
    };
    std::nth_element(order.begin(), order.begin() + kept, order.end(), larger);
    for (auto it = order.begin() + kept; it != order.end(); ++it)
        folded[*it] = true;
    double total = 0;
    for (const double value : values)
        total += std::fabs(value);
    const double smallest = total * minimumPercent / 100.0;
    for (std::size_t i = 0; i < count; ++i)
        if (std::fabs(values[i]) < smallest)
            folded[i] = true;
    return folded;
}

std::vector<TPieAngle> CalcSliceAngles(std::span<const double> values, std::span<const bool> folded, double absTotal)
{
    std::vector<TPieAngle> angles(values.size());
    const double factor = absTotal != 0 ? kTwoPi / absTotal : 0.0;
    double running = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        TPieAngle& slice = angles[i];
        slice.StartAngle = i == 0 ? 0.0 : angles[i - 1].EndAngle;
        if (absTotal == 0) {
            slice.EndAngle = kTwoPi;
        } else {
            if (i >= folded.size() || !folded[i])
                running += std::fabs(values[i]);
            // Exactly a full turn at the end, whatever the rounding of the running sum.
            slice.EndAngle = running == absTotal ? kTwoPi : running * factor;
            if (slice.EndAngle - slice.StartAngle > kTwoPi)
                slice.EndAngle = slice.StartAngle + kTwoPi;
        }
        slice.MidAngle = (slice.StartAngle + slice.EndAngle) / 2;
    }
    return angles;
}

QPoint ExplodedOffset(const TPieCircle& circle, double rotationRadians, double midAngle, int percent)
{
    if (percent <= 0)
        return { 0, 0 };
    const double a = midAngle + rotationRadians;
    return { Round(circle.XRadius * percent * 0.01 * std::cos(a)),
        Round(circle.YRadius * percent * 0.01 * std::sin(a)) };
}

QPoint ExplodedRadius(const TPieCircle& circle, int percent)
{
    const double factor = 1 + percent * 0.01;
    return { Round(circle.XRadius * factor), Round(circle.YRadius * factor) };
}

int MostExplodedIndex(std::span<const int> percents)
{
    int best = -1;
    int bestPercent = 0;
    for (std::size_t i = 0; i < percents.size(); ++i) {
        if (percents[i] > bestPercent) {
            best = static_cast<int>(i);
            bestPercent = percents[i];
        }
    }
    return best;
}

double DistanceFromBack(double midAngle, double rotationRadians)
{
    double a = midAngle + rotationRadians;
    if (a > kTwoPi)
        a -= kTwoPi;
    if (a > kPi / 2) {
        const double d = a - kPi / 2;
        return d > kPi ? kTwoPi - d : d;
    }
    return kPi / 2 - a;
}

std::vector<int> BackToFrontOrder(std::span<const TPieAngle> angles, double rotationRadians)
{
    std::vector<double> distance(angles.size());
    for (std::size_t i = 0; i < angles.size(); ++i)
        distance[i] = DistanceFromBack(angles[i].MidAngle, rotationRadians);
    std::vector<int> order(angles.size());
    std::iota(order.begin(), order.end(), 0);
    // Stable: equal distances keep point order, so a repaint looks the same every time.
    std::stable_sort(order.begin(), order.end(), [&distance](int a, int b) {
        return distance[static_cast<std::size_t>(a)] < distance[static_cast<std::size_t>(b)];
    });
    return order;
}

int SliceAtPoint(const TPieCircle& circle, double rotationRadians, std::span<const TPieAngle> angles,
    std::span<const QPoint> offsets, int x, int y)
{
    const double angle = PointToAngle(circle, rotationRadians, x, y);
    for (std::size_t i = 0; i < angles.size(); ++i) {
        const QPoint offset = i < offsets.size() ? offsets[i] : QPoint(0, 0);
        if (std::abs(x - circle.CenterX) < circle.XRadius + offset.x()
            && std::abs(y - circle.CenterY) < circle.YRadius + offset.y() && angles[i].StartAngle <= angle
            && angle <= angles[i].EndAngle)
            return static_cast<int>(i);
    }
    return -1;
}

namespace
{

    // A point of the sight line in units of the radii around a centre, y upward: the disc is
    // the unit circle there, and the angle of a point is the angle slices are measured in.
    struct TUnitLine {
        QPointF Face;
        QPointF Direction; // from the face to the back
        [[nodiscard]] QPointF At(double t) const { return Face + t * Direction; }
    };

    TUnitLine ToUnit(const TSightLine& sight, QPointF centre, const TPieCircle& circle)
    {
        const auto unit = [&](QPointF p) {
            return QPointF((p.x() - centre.x()) / circle.XRadius, (centre.y() - p.y()) / circle.YRadius);
        };
        const QPointF face = unit(sight.Face);
        return { face, unit(sight.Back) - face };
    }

    double Dot(QPointF a, QPointF b) { return a.x() * b.x() + a.y() * b.y(); }
    double Cross(QPointF a, QPointF b) { return a.x() * b.y() - a.y() * b.x(); }

    // The stretch [t0, t1] of the line (t from 0 at the face to 1 at the back) inside the unit
    // circle, or nothing.
    std::optional<std::pair<double, double>> InsideUnitCircle(const TUnitLine& line)
    {
        const double a = Dot(line.Direction, line.Direction);
        const double b = 2 * Dot(line.Face, line.Direction);
        const double c = Dot(line.Face, line.Face) - 1;
        if (a == 0)
            return c <= 0 ? std::optional(std::pair(0.0, 0.0)) : std::nullopt;
        const double discriminant = b * b - 4 * a * c;
        if (discriminant < 0)
            return std::nullopt;
        const double root = std::sqrt(discriminant);
        const double t0 = std::max(0.0, (-b - root) / (2 * a));
        const double t1 = std::min(1.0, (-b + root) / (2 * a));
        if (t0 > t1)
            return std::nullopt;
        return std::pair(t0, t1);
    }

    double Wrapped(double angle)
    {
        angle = std::fmod(angle, kTwoPi);
        return angle < 0 ? angle + kTwoPi : angle;
    }

    // The angle of a unit-plane point relative to the rotation, in [0, 2π).
    double UnitAngle(QPointF p, double rotationRadians) { return Wrapped(std::atan2(p.y(), p.x()) - rotationRadians); }

    int SliceAtAngle(std::span<const TPieAngle> angles, double angle)
    {
        // The ranges follow each other without gaps, so the first one ending at or after the
        // angle holds it; on a shared boundary that is the lower index.
        const auto found = std::lower_bound(
            angles.begin(), angles.end(), angle, [](const TPieAngle& a, double value) { return a.EndAngle < value; });
        if (found == angles.end() || found->StartAngle > angle)
            return -1;
        return static_cast<int>(found - angles.begin());
    }

    bool WedgeOnLine(const TUnitLine& line, const TPieAngle& slice, double rotationRadians)
    {
        const double width = slice.EndAngle - slice.StartAngle;
        if (!(width > 0))
            return false;
        const auto inside = InsideUnitCircle(line);
        if (!inside)
            return false;
        const auto [t0, t1] = *inside;
        const QPointF from = line.At(t0);
        const QPointF to = line.At(t1);
        const double lengthSquared = Dot(line.Direction, line.Direction);
        if (lengthSquared > 0) {
            // Through the apex, where every wedge of this centre meets.
            const double closest = std::clamp(-Dot(line.Face, line.Direction) / lengthSquared, t0, t1);
            if (Dot(line.At(closest), line.At(closest)) < 1e-18)
                return true;
        }
        // Along a line that misses the apex the angle turns one way by less than half a turn:
        // the wedge is seen when that arc and the wedge's angle range overlap.
        const double a = UnitAngle(from, rotationRadians);
        const double b = UnitAngle(to, rotationRadians);
        const bool counterClockwise = Cross(from, to) >= 0;
        const double arcStart = counterClockwise ? a : b;
        const double arcWidth = Wrapped(counterClockwise ? b - a : a - b);
        return Wrapped(slice.StartAngle - arcStart) <= arcWidth || Wrapped(arcStart - slice.StartAngle) <= width;
    }

} // namespace

int SliceSeenOnDisc(
    const TPieCircle& circle, double rotationRadians, std::span<const TPieAngle> angles, const TSightLine& sight)
{
    if (circle.XRadius <= 0 || circle.YRadius <= 0)
        return -1;
    const TUnitLine line = ToUnit(sight, QPointF(circle.CenterX, circle.CenterY), circle);
    const auto inside = InsideUnitCircle(line);
    if (!inside)
        return -1;
    return SliceAtAngle(angles, UnitAngle(line.At(inside->first), rotationRadians));
}

int SliceSeenAmongWedges(const TPieCircle& circle, double rotationRadians, std::span<const TPieAngle> angles,
    std::span<const QPoint> offsets, std::span<const int> drawOrder, const TSightLine& sight)
{
    if (circle.XRadius <= 0 || circle.YRadius <= 0)
        return -1;
    for (auto it = drawOrder.rbegin(); it != drawOrder.rend(); ++it) {
        const auto index = static_cast<std::size_t>(*it);
        if (index >= angles.size())
            continue;
        const QPoint offset = index < offsets.size() ? offsets[index] : QPoint(0, 0);
        const QPointF centre(circle.CenterX + offset.x(), circle.CenterY - offset.y());
        if (WedgeOnLine(ToUnit(sight, centre, circle), angles[index], rotationRadians))
            return *it;
    }
    return -1;
}

} // namespace tarvo
