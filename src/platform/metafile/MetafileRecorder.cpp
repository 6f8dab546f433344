#include "MetafileRecorder.h"

#include <optional>

namespace tarvo
{

namespace
{
    constexpr std::uint16_t kAnisotropic = 8;
} // namespace

MetafileRecorder::MetafileRecorder(int widthPixels, int heightPixels, int dotsPerInch)
    : m_writer(widthPixels, heightPixels, dotsPerInch)
{
    m_writer.SetMapMode(kAnisotropic);
    m_writer.SetWindowOrg(QPoint(0, 0));
    m_writer.SetWindowExt(widthPixels, heightPixels);
}

void MetafileRecorder::Replace(std::optional<std::uint16_t>& selected, std::uint16_t created)
{
    // Select the new object before deleting the old one: a selected object must not vanish.
    m_writer.SelectObject(created);
    if (m_users.size() <= created)
        m_users.resize(created + 1u, 0);
    ++m_users[created];
    const std::optional<std::uint16_t> old = selected;
    selected = created;
    Release(old);
}

void MetafileRecorder::UsePen(const MetafilePen& pen)
{
    if (m_state.pen && m_state.penValue == pen)
        return;
    m_state.penValue = pen;
    Replace(m_state.pen, m_writer.CreatePen(pen));
}

void MetafileRecorder::UseBrush(const MetafileBrush& brush)
{
    if (m_state.brush && m_state.brushValue == brush)
        return;
    m_state.brushValue = brush;
    Replace(m_state.brush, m_writer.CreateBrush(brush));
}

void MetafileRecorder::UseFont(const MetafileFont& font)
{
    if (m_state.font && m_state.fontValue == font)
        return;
    m_state.fontValue = font;
    Replace(m_state.font, m_writer.CreateFont(font));
}

namespace
{

    // A device-context setting is written only when it differs from what the DC holds (nothing
    // is known before the first write).
    template <typename Value, typename Write> void WriteIfChanged(std::optional<Value>& held, Value wanted, Write write)
    {
        if (held != wanted) {
            write(wanted);
            held = wanted;
        }
    }

} // namespace

void MetafileRecorder::UseTextColor(ColorRef color)
{
    WriteIfChanged(m_state.textColor, color, [this](ColorRef c) { m_writer.SetTextColor(c); });
}

void MetafileRecorder::UseBkColor(ColorRef color)
{
    WriteIfChanged(m_state.bkColor, color, [this](ColorRef c) { m_writer.SetBkColor(c); });
}

void MetafileRecorder::UseBkMode(MetafileBkMode mode)
{
    WriteIfChanged(m_state.bkMode, mode, [this](MetafileBkMode m) { m_writer.SetBkMode(m); });
}

void MetafileRecorder::UseTextAlign(std::uint16_t align)
{
    WriteIfChanged(m_state.textAlign, align, [this](std::uint16_t a) { m_writer.SetTextAlign(a); });
}

void MetafileRecorder::UsePolyFillMode(MetafilePolyFillMode mode)
{
    WriteIfChanged(m_state.polyFillMode, mode, [this](MetafilePolyFillMode m) { m_writer.SetPolyFillMode(m); });
}

void MetafileRecorder::UseClip(const std::optional<MetafileBox>& box)
{
    if (box == m_clip)
        return;
    // A clip can only be narrowed in the format, so each clip lives in a saved state of its own
    // and is removed by restoring that state (with whatever was saved above it).
    if (m_clip) {
        while (m_saved.size() > m_clipDepth)
            RestoreDC();
        m_clip.reset();
    }
    if (box) {
        m_clipDepth = m_saved.size();
        SaveDC();
        m_writer.IntersectClipRect(*box);
        m_clip = box;
    }
}

void MetafileRecorder::SaveDC()
{
    m_writer.SaveDC();
    m_saved.push_back(m_state);
    Acquire(m_state);
}

void MetafileRecorder::RestoreDC()
{
    m_writer.RestoreDC(); // throws before anything changes when nothing is saved
    Release(m_state);
    m_state = m_saved.back();
    m_saved.pop_back();
    if (m_clip && m_saved.size() < m_clipDepth + 1)
        m_clip.reset();
}

void MetafileRecorder::Finish()
{
    UseClip(std::nullopt);
    while (!m_saved.empty())
        RestoreDC();
    Release(m_state);
    m_state = State {};
}

void MetafileRecorder::Acquire(const State& state)
{
    for (const auto slot : { state.pen, state.brush, state.font })
        if (slot)
            ++m_users[*slot];
}

void MetafileRecorder::Release(const State& state)
{
    for (const auto slot : { state.pen, state.brush, state.font })
        Release(slot);
}

void MetafileRecorder::Release(std::optional<std::uint16_t> slot)
{
    if (!slot)
        return;
    Q_ASSERT_X(m_users[*slot] > 0, "MetafileRecorder::Release", "object released more often than held");
    if (--m_users[*slot] == 0)
        m_writer.DeleteObject(*slot);
}

} // namespace tarvo
