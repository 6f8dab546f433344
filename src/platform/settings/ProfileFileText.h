#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The rules of the initialisation-file format on a file's whole text. Nothing here touches a file,
// so every rule can be tested and fuzzed on its own.
namespace tarvo
{

// Longest value text a read returns (the classic 2048-character buffer less its terminator).
inline constexpr std::size_t kProfileValueMax = 2047;

enum class ProfileLineKind : std::uint8_t { plOther, plSection, plKey };

// One physical line. Offsets point into the text it was split from, so an edit can splice its
// change in and leave every other byte where it was.
struct ProfileLine {
    std::size_t begin = 0; // first byte of the line
    std::size_t end = 0; // first byte of the line break (or the end of the text)
    std::size_t next = 0; // first byte of the following line
    ProfileLineKind kind = ProfileLineKind::plOther;
    std::string_view name; // section or key name, trimmed
    std::string_view value; // key value, trimmed, quotes still on
};

// CRLF, LF and a lone CR all end a line; a UTF-8 byte order mark is kept but not read.
[[nodiscard]] std::vector<ProfileLine> SplitProfileLines(std::string_view text);

// The line break the text already uses (that of its first line); CRLF when it has none.
[[nodiscard]] std::string_view ProfileLineBreak(std::string_view text);

// The key's value in the first section of that name, or nullopt. Names match without regard to
// case after trimming blanks; one pair of enclosing quotes is removed; a value longer than
// kProfileValueMax bytes is cut there, or before the character the cut would split when the
// value is UTF-8.
[[nodiscard]] std::optional<std::string> ProfileValueIn(
    std::string_view text, std::string_view section, std::string_view key);

enum class ProfileEditKind : std::uint8_t {
    peWrite, // the key's line gets the value in place, or a new line at the section's end
    peWriteAtEnd, // every line of the key goes; one new line at the section's end
    peDelete, // every line of the key in the section goes
};

struct ProfileEdit {
    ProfileEditKind kind = ProfileEditKind::peWrite;
    std::string section;
    std::string key;
    std::string value;
};

// Applies the edit to the text. A write whose names or value would read back as something else
// (or split a line) is refused: false, and the text stays as it was. Lines of ours take the given
// line break (empty: the text's own, ProfileLineBreak); no other line's bytes or line break
// change, except that a lone CR that a removal would join with the LF of a following empty line
// becomes CRLF, which keeps that empty line.
[[nodiscard]] bool ApplyProfileEdit(std::string& text, const ProfileEdit& edit, std::string_view lineBreak = {});

} // namespace tarvo
