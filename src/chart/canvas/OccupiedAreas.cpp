#include "canvas/OccupiedAreas.h"

#include <cstdint>

namespace tarvo
{

namespace
{
    int Cell(int pixel, int size) { return pixel >= 0 ? pixel / size : -((-pixel - 1) / size) - 1; }

    quint64 CellKey(int column, int row)
    {
        return (static_cast<quint64>(static_cast<std::uint32_t>(column)) << 32) | static_cast<std::uint32_t>(row);
    }
} // namespace

template <typename F> void TOccupiedAreas::ForEachCell(const QRect& whole, F&& f)
{
    // Far beyond any picture nothing is seen; the bound keeps a stray rectangle from costing
    // millions of cells.
    const QRect rect = whole.intersected(QRect(-4096, -4096, 16384, 16384));
    if (rect.isEmpty())
        return;
    const int right = Cell(rect.right(), kCellPixels);
    const int bottom = Cell(rect.bottom(), kCellPixels);
    for (int row = Cell(rect.top(), kCellPixels); row <= bottom; ++row)
        for (int column = Cell(rect.left(), kCellPixels); column <= right; ++column)
            f(CellKey(column, row));
}

void TOccupiedAreas::Clear()
{
    m_rects.clear();
    m_cells.clear();
}

void TOccupiedAreas::Add(const QRect& rect)
{
    if (rect.isEmpty())
        return;
    const int index = static_cast<int>(m_rects.size());
    m_rects.push_back(rect);
    ForEachCell(rect, [&](quint64 key) { m_cells[key].append(index); });
}

bool TOccupiedAreas::Intersects(const QRect& rect) const
{
    if (rect.isEmpty())
        return false;
    bool found = false;
    ForEachCell(rect, [&](quint64 key) {
        if (found)
            return;
        const auto cell = m_cells.constFind(key);
        if (cell == m_cells.cend())
            return;
        for (const int index : *cell)
            if (m_rects[static_cast<std::size_t>(index)].intersects(rect)) {
                found = true;
                return;
            }
    });
    return found;
}

} // namespace tarvo
