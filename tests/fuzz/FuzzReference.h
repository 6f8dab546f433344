#pragma once

// What the fuzz harnesses check the profile text rules against: written apart from them, so that
// a fault has to be made twice, in two different ways, to go unseen.

#include "ProfileFileText.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace tarvo::fuzz
{

// Stops the run with the input that broke the property (libFuzzer saves it).
inline void Check(bool holds)
{
    if (!holds)
        std::abort();
}

// Decodes code point after code point; anything that does not decode to a scalar value in its
// shortest form is not UTF-8.
inline bool IsUtf8(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        int length = lead < 0x80 ? 1 : lead >> 5 == 0x6 ? 2 : lead >> 4 == 0xE ? 3 : lead >> 3 == 0x1E ? 4 : 0;
        if (length == 0 || at + static_cast<std::size_t>(length) > text.size())
            return false;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (int i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[at + static_cast<std::size_t>(i)]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        const char32_t shortest[] = { 0, 0, 0x80, 0x800, 0x10000 };
        if (code < shortest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        at += static_cast<std::size_t>(length);
    }
    return true;
}

// What a read of this stored value returns: the 2,047-byte cut, moved back to the start of the
// character it splits only when the value is UTF-8.
inline std::string ExpectedRead(std::string_view value)
{
    if (value.size() <= kProfileValueMax)
        return std::string(value);
    std::size_t cut = kProfileValueMax;
    if (IsUtf8(value)) {
        while ((static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80)
            --cut;
    }
    return std::string(value.substr(0, cut));
}

inline std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return lower;
}

inline std::string_view Content(std::string_view text, const ProfileLine& line)
{
    return text.substr(line.begin, line.end - line.begin);
}

inline std::string_view Break(std::string_view text, const ProfileLine& line)
{
    return text.substr(line.end, line.next - line.end);
}

} // namespace tarvo::fuzz
