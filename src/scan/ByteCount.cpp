#include "ByteCount.h"

#include <algorithm>
#include <limits>
#include <ostream>

namespace tarvo
{

std::string TByteCount::ToString() const
{
    if (m_value == 0)
        return "0";
    std::string digits;
    for (Word rest = m_value; rest != 0; rest /= 10)
        digits.push_back(static_cast<char>('0' + static_cast<int>(rest % 10)));
    std::reverse(digits.begin(), digits.end());
    return digits;
}

std::int64_t TByteCount::ToInt64Saturated() const
{
    constexpr auto kMax = static_cast<Word>(std::numeric_limits<std::int64_t>::max());
    return static_cast<std::int64_t>(std::min(m_value, kMax));
}

std::ostream& operator<<(std::ostream& out, TByteCount bytes) { return out << bytes.ToString(); }

std::string SizeText(TByteCount bytes, int unit, const FormatSettings& settings)
{
    const int shift = unit == 2 ? 20 : 10;
    const std::uint64_t mask = (std::uint64_t { 1 } << shift) - 1;
    // Whole units and the rest below one unit: hundredths of the rest, rounded half to even.
    TByteCount whole
        = TByteCount::FromWords(bytes.High() >> shift, (bytes.Low() >> shift) | (bytes.High() << (64 - shift)));
    const std::uint64_t scaled = (bytes.Low() & mask) * 100;
    std::uint64_t hundredths = scaled >> shift;
    const std::uint64_t remainder = scaled & mask;
    const std::uint64_t half = std::uint64_t { 1 } << (shift - 1);
    if (remainder > half || (remainder == half && (hundredths & 1) != 0))
        ++hundredths;
    if (hundredths == 100) {
        whole += 1;
        hundredths = 0;
    }
    std::string text = whole.ToString();
    if (hundredths != 0) {
        text += settings.decimalSeparator;
        text += static_cast<char>('0' + hundredths / 10);
        if (hundredths % 10 != 0)
            text += static_cast<char>('0' + hundredths % 10);
    }
    return text;
}

std::vector<std::int64_t> SaturatedBytes(const std::vector<TByteCount>& counts)
{
    std::vector<std::int64_t> bytes;
    bytes.reserve(counts.size());
    for (const TByteCount count : counts)
        bytes.push_back(count.ToInt64Saturated());
    return bytes;
}

} // namespace tarvo
