#pragma once

#include "FormatSettings.h"

#include <compare>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace tarvo
{

// A non-negative byte count that no sum of file sizes can wrap: 128 bits, while one file is at
// most 2^63 - 1 bytes, so 2^64 such files still fit. Every total of the scanner is one of
// these, and every text of one is exact.
class TByteCount
{
public:
    constexpr TByteCount() = default;
    // Implicit: every 64-bit count is a byte count.
    constexpr TByteCount(std::uint64_t bytes) // NOLINT(google-explicit-constructor)
        : m_value(bytes)
    {
    }
    // The two 64-bit halves, for compact storage.
    [[nodiscard]] static constexpr TByteCount FromWords(std::uint64_t high, std::uint64_t low)
    {
        TByteCount count;
        count.m_value = (static_cast<Word>(high) << 64) | low;
        return count;
    }
    [[nodiscard]] constexpr std::uint64_t High() const { return static_cast<std::uint64_t>(m_value >> 64); }
    [[nodiscard]] constexpr std::uint64_t Low() const { return static_cast<std::uint64_t>(m_value); }

    constexpr TByteCount& operator+=(TByteCount other)
    {
        m_value += other.m_value;
        return *this;
    }
    // The caller knows other is part of this count (a total losing one of its parts).
    constexpr TByteCount& operator-=(TByteCount other)
    {
        m_value -= other.m_value;
        return *this;
    }
    [[nodiscard]] friend constexpr TByteCount operator+(TByteCount a, TByteCount b) { return a += b; }
    [[nodiscard]] friend constexpr TByteCount operator-(TByteCount a, TByteCount b) { return a -= b; }
    [[nodiscard]] friend constexpr bool operator==(TByteCount a, TByteCount b) { return a.m_value == b.m_value; }
    [[nodiscard]] friend constexpr std::strong_ordering operator<=>(TByteCount a, TByteCount b)
    {
        return a.m_value <=> b.m_value;
    }

    // Plain decimal digits, exact.
    [[nodiscard]] std::string ToString() const;
    // The count, or the largest int64 when it is larger.
    [[nodiscard]] std::int64_t ToInt64Saturated() const;

private:
    __extension__ typedef unsigned __int128 Word;
    Word m_value = 0;
};

std::ostream& operator<<(std::ostream& out, TByteCount bytes);

// The size text of the size list: bytes in KB (unit 1, / 1024) or MB (unit 2, / 1048576), the
// fraction rounded to hundredths with ties to the even hundredth, written in plain decimal
// digits with the settings' decimal separator, no thousands separator, no trailing zeros and no
// separator for a whole value: 128 bytes are "0.12" KB, 5,000,000 bytes "4882.81" KB and
// "4.77" MB, 2^62 bytes "4503599627370496" KB. Exact for every count, as the texts are the
// only sizes the window's list and charts get.
[[nodiscard]] std::string SizeText(TByteCount bytes, int unit, const FormatSettings& settings);

// Each count as a 64-bit one, the largest int64 where it is larger: for stores and peers
// (the history of analyses) that keep 64 bits.
[[nodiscard]] std::vector<std::int64_t> SaturatedBytes(const std::vector<TByteCount>& counts);

} // namespace tarvo
