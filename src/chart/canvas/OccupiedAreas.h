#pragma once

#include <QHash>
#include <QRect>
#include <QVarLengthArray>

#include <vector>

namespace tarvo
{

// Rectangles already taken on a picture (texts, mark boxes, the legend), and whether a new one
// would overlap any of them. Rectangles that only touch do not overlap. A grid of cells keeps
// the question cheap however many rectangles are taken.
class TOccupiedAreas
{
public:
    void Clear();
    void Add(const QRect& rect);
    [[nodiscard]] bool Intersects(const QRect& rect) const;

private:
    static constexpr int kCellPixels = 64;
    template <typename F> static void ForEachCell(const QRect& whole, F&& f);

    std::vector<QRect> m_rects;
    QHash<quint64, QVarLengthArray<int, 4>> m_cells;
};

} // namespace tarvo
