#include "pie/PieOtherSlice.h"

#include "pie/PieSeries.h"

namespace tarvo
{

TPieOtherSlice::TPieOtherSlice(TPieSeries& owner)
    : m_owner(owner)
{
}

void TPieOtherSlice::Assign(const TPieOtherSlice& source)
{
    if (&source == this)
        return;
    const bool changed = m_style != source.m_style || m_text != source.m_text || m_value != source.m_value;
    m_style = source.m_style;
    m_text = source.m_text;
    m_value = source.m_value;
    if (changed)
        Changed();
}

void TPieOtherSlice::SetStyle(TPieOtherStyle value)
{
    if (m_style == value)
        return;
    m_style = value;
    Changed();
}

void TPieOtherSlice::SetText(const std::string& value)
{
    if (m_text == value)
        return;
    m_text = value;
    Changed();
}

void TPieOtherSlice::SetValue(double value)
{
    if (m_value == value)
        return;
    m_value = value;
    Changed();
}

void TPieOtherSlice::Changed() { m_owner.RequestRepaint(); }

} // namespace tarvo
