#pragma once

#include "core/ChangeNotifier.h"

#include <functional>

namespace tarvo
{

// The chart's 3D view settings. Angles in whole degrees, offsets in pixels, zoom in percent.
// No range is enforced (the pie chart stores Rotation 360). The change handler (OnChange) is the
// owning chart's invalidation; copies take the nine values and none of the listeners.
class TView3DOptions : public TChangeNotifier
{
public:
    using TScrolledEvent = std::function<void(bool horizontal)>;
    using TZoomChangedEvent = std::function<void(int zoomPercent)>;

    TView3DOptions() = default;
    TView3DOptions(const TView3DOptions& other)
        : TChangeNotifier(other)
        , m_values(other.m_values)
    {
    }
    TView3DOptions& operator=(const TView3DOptions& other)
    {
        StoreAll(m_values, other.m_values);
        return *this;
    }
    ~TView3DOptions() = default;
    void Assign(const TView3DOptions& other) { *this = other; }

    bool operator==(const TView3DOptions& other) const { return m_values == other.m_values; }

    [[nodiscard]] int Elevation() const { return m_values.elevation; }
    void SetElevation(int value) { Store(m_values.elevation, value); }
    [[nodiscard]] int HorizOffset() const { return m_values.horizOffset; }
    void SetHorizOffset(int value);
    [[nodiscard]] bool Orthogonal() const { return m_values.orthogonal; }
    void SetOrthogonal(bool value) { Store(m_values.orthogonal, value); }
    [[nodiscard]] int Perspective() const { return m_values.perspective; }
    void SetPerspective(int value) { Store(m_values.perspective, value); }
    [[nodiscard]] int Rotation() const { return m_values.rotation; }
    void SetRotation(int value) { Store(m_values.rotation, value); }
    [[nodiscard]] int Tilt() const { return m_values.tilt; }
    void SetTilt(int value) { Store(m_values.tilt, value); }
    [[nodiscard]] int VertOffset() const { return m_values.vertOffset; }
    void SetVertOffset(int value);
    [[nodiscard]] int Zoom() const { return m_values.zoom; }
    // Listeners hear the new zoom before it is stored.
    void SetZoom(int value);
    [[nodiscard]] bool ZoomText() const { return m_values.zoomText; }
    void SetZoomText(bool value) { Store(m_values.zoomText, value); }

    void SetOnScrolled(TScrolledEvent handler) { m_onScrolled = std::move(handler); }
    void SetOnZoomChanged(TZoomChangedEvent handler) { m_onZoomChanged = std::move(handler); }

private:
    struct Values {
        int elevation = 345;
        int horizOffset = 0;
        bool orthogonal = true;
        int perspective = 15;
        int rotation = 345;
        int tilt = 0;
        int vertOffset = 0;
        int zoom = 100;
        bool zoomText = true;
        bool operator==(const Values&) const = default;
    };
    Values m_values;
    // Listeners belong to the object, not to its value: never copied.
    TScrolledEvent m_onScrolled;
    TZoomChangedEvent m_onZoomChanged;
};

} // namespace tarvo
