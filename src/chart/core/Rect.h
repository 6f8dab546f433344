#pragma once

#include <QPoint>
#include <QRect>

namespace tarvo
{

// A rectangle as the chart lays it out: Right and Bottom are the first column and row outside
// it, so Width = Right − Left (QRect's right() is one less; convert with ToQRect/FromQRect).
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    [[nodiscard]] constexpr int Width() const { return Right - Left; }
    [[nodiscard]] constexpr int Height() const { return Bottom - Top; }
    [[nodiscard]] constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    [[nodiscard]] constexpr TRect Normalized() const
    {
        return { Left < Right ? Left : Right, Top < Bottom ? Top : Bottom, Left < Right ? Right : Left,
            Top < Bottom ? Bottom : Top };
    }
    [[nodiscard]] constexpr TRect Inflated(int dx, int dy) const
    {
        return { Left - dx, Top - dy, Right + dx, Bottom + dy };
    }
    [[nodiscard]] QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    [[nodiscard]] static TRect FromQRect(const QRect& rect)
    {
        return { rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height() };
    }
    constexpr bool operator==(const TRect&) const = default;
};

// A point with depth, in pixels.
struct T3DPoint {
    int X = 0;
    int Y = 0;
    int Z = 0;
    constexpr bool operator==(const T3DPoint&) const = default;
};

} // namespace tarvo
