#include "canvas/View3DOptions.h"

namespace tarvo
{

void TView3DOptions::SetHorizOffset(int value)
{
    if (m_values.horizOffset == value)
        return;
    m_values.horizOffset = value;
    if (m_onScrolled)
        m_onScrolled(true);
    Changed();
}

void TView3DOptions::SetVertOffset(int value)
{
    if (m_values.vertOffset == value)
        return;
    m_values.vertOffset = value;
    if (m_onScrolled)
        m_onScrolled(false);
    Changed();
}

void TView3DOptions::SetZoom(int value)
{
    if (m_values.zoom == value)
        return;
    if (m_onZoomChanged)
        m_onZoomChanged(value);
    m_values.zoom = value;
    Changed();
}

} // namespace tarvo
