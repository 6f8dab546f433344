#pragma once

// The device-context state of a metafile being recorded: which pen, brush and font are
// selected, the text and background settings, the clip, and the saved states. Callers say
// what they want before each primitive; only what differs from the current state is written.
// Every object is created, selected explicitly, and deleted once neither the current state nor
// a saved one uses it, so the object table stays as small as the drawing allows.

#include "MetafileWriter.h"

#include <optional>
#include <vector>

namespace tarvo
{

class MetafileRecorder
{
public:
    // Writes the mapping: logical units are the picture's pixels, origin top-left.
    MetafileRecorder(int widthPixels, int heightPixels, int dotsPerInch);

    void UsePen(const MetafilePen& pen);
    void UseBrush(const MetafileBrush& brush);
    void UseFont(const MetafileFont& font);
    void UseTextColor(ColorRef color);
    void UseBkColor(ColorRef color);
    void UseBkMode(MetafileBkMode mode);
    void UseTextAlign(std::uint16_t align);
    void UsePolyFillMode(MetafilePolyFillMode mode);
    // The drawing is clipped to box until the next call; nullopt removes the clip.
    void UseClip(const std::optional<MetafileBox>& box);

    void SaveDC();
    void RestoreDC(); // throws MetafileError when nothing is saved

    // Removes the clip, restores every saved state and deletes every object, so the record
    // stream is complete. Drawing may go on afterwards; objects are then made again.
    void Finish();

    // For the drawing records; the state calls above must come first.
    [[nodiscard]] MetafileWriter& Writer() { return m_writer; }
    [[nodiscard]] const MetafileWriter& Writer() const { return m_writer; }

private:
    // One device-context state, as SaveDC saves it.
    struct State {
        std::optional<std::uint16_t> pen, brush, font; // selected slots
        MetafilePen penValue;
        MetafileBrush brushValue;
        MetafileFont fontValue;
        std::optional<ColorRef> textColor, bkColor;
        std::optional<MetafileBkMode> bkMode;
        std::optional<std::uint16_t> textAlign;
        std::optional<MetafilePolyFillMode> polyFillMode;
    };

    void Replace(std::optional<std::uint16_t>& selected, std::uint16_t created);
    void Acquire(const State& state);
    void Release(const State& state);
    void Release(std::optional<std::uint16_t> slot);

    MetafileWriter m_writer;
    State m_state;
    std::vector<State> m_saved;
    std::vector<int> m_users; // per slot: how many states (current and saved) hold the object
    std::optional<MetafileBox> m_clip;
    std::size_t m_clipDepth = 0; // saved states below the one the clip lives in
};

} // namespace tarvo
