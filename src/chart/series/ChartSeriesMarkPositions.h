#pragma once

// Where each mark of a series was last placed, indexed by point. The series keeps the list in step
// with its points (a deleted point takes its entry along, clearing empties it); the marks read and
// write the entries while drawing.

#include "core/Rect.h"

#include <QPoint>

#include <optional>
#include <vector>

namespace tarvo
{

// One mark's geometry in pixels: the arrow from the point to the box, and the box.
struct TSeriesMarkPosition {
    QPoint ArrowStart;
    QPoint ArrowEnd;
    // Set from outside; overrides the computed geometry.
    bool IsCustom = false;
    int BoxHeight = 0;
    QPoint BoxCorner; // top-left
    int BoxWidth = 0;

    // Copies the geometry, never IsCustom.
    void Assign(const TSeriesMarkPosition& source)
    {
        ArrowStart = source.ArrowStart;
        ArrowEnd = source.ArrowEnd;
        BoxHeight = source.BoxHeight;
        BoxCorner = source.BoxCorner;
        BoxWidth = source.BoxWidth;
    }
    [[nodiscard]] TRect Bounds() const
    {
        return { BoxCorner.x(), BoxCorner.y(), BoxCorner.x() + BoxWidth, BoxCorner.y() + BoxHeight };
    }
};

// Optional position per point index.
class TSeriesMarkPositions
{
public:
    [[nodiscard]] int Count() const { return static_cast<int>(m_items.size()); }
    [[nodiscard]] bool Has(int index) const
    {
        return index >= 0 && index < Count() && m_items[static_cast<std::size_t>(index)].has_value();
    }
    // The entry of index, or null when there is none.
    [[nodiscard]] const TSeriesMarkPosition* At(int index) const
    {
        return Has(index) ? &*m_items[static_cast<std::size_t>(index)] : nullptr;
    }
    // The entry of index, created (not custom) together with empty entries before it if needed.
    TSeriesMarkPosition& Ensure(int index)
    {
        if (index >= Count())
            m_items.resize(static_cast<std::size_t>(index) + 1);
        auto& item = m_items[static_cast<std::size_t>(index)];
        if (!item)
            item.emplace();
        return *item;
    }
    // Whether entry index was set from outside (and so overrides the computed geometry).
    [[nodiscard]] bool IsCustom(int index) const
    {
        return Has(index) && m_items[static_cast<std::size_t>(index)]->IsCustom;
    }
    // Empties entry index unless it is custom: the mark was not drawn this time.
    void Forget(int index)
    {
        if (Has(index) && !IsCustom(index))
            m_items[static_cast<std::size_t>(index)].reset();
    }
    // Removes entry index when it exists; later entries move down with their points.
    void Delete(int index)
    {
        if (index >= 0 && index < Count())
            m_items.erase(m_items.begin() + index);
    }
    void Clear()
    {
        m_items.clear();
        m_items.shrink_to_fit();
    }

private:
    std::vector<std::optional<TSeriesMarkPosition>> m_items;
};

} // namespace tarvo
