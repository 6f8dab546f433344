#include "SizeListSort.h"

#include <QString>

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>

namespace tarvo
{

namespace
{

    int Sign(int value) { return (value > 0) - (value < 0); }

    // The user's locale collation, case-sensitive, on the decoded texts. Bytes that are not
    // UTF-8 decode to replacement characters; two such names may then collate equal, and the
    // stable sort keeps them in scan order.
    int CollateTexts(const std::string& a, const std::string& b)
    {
        const QString left = QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()));
        const QString right = QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()));
        return Sign(QString::localeAwareCompare(left, right));
    }

    std::optional<std::int64_t> ParseInteger(const std::string& text)
    {
        std::int64_t value = 0;
        const char* end = text.data() + text.size();
        const auto [at, error] = std::from_chars(text.data(), end, value);
        return error == std::errc() && at == end && !text.empty() ? std::optional<std::int64_t>(value) : std::nullopt;
    }

} // namespace

bool IsNumber(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.' || c == ','; });
}

int CompareTexts(const std::string& a, const std::string& b, const FormatSettings& settings)
{
    if (IsNumber(a) && IsNumber(b)) {
        const std::optional<double> x = TextToFloat(a, settings);
        const std::optional<double> y = TextToFloat(b, settings);
        if (x && y) {
            return (*x > *y) - (*x < *y);
        }
        // "1.2.3", a lone comma or "1,000" under a full-stop locale: no value to compare, so
        // such texts go after every real number and order among themselves as text.
        if (x) {
            return -1;
        }
        if (y) {
            return 1;
        }
    }
    return CollateTexts(a, b);
}

int CompareChangeTexts(const std::string& a, const std::string& b)
{
    const std::optional<std::int64_t> x = ParseInteger(a);
    const std::optional<std::int64_t> y = ParseInteger(b);
    if (x && y) {
        return (*x > *y) - (*x < *y);
    }
    return (y.has_value() ? 1 : 0) - (x.has_value() ? 1 : 0);
}

std::vector<int> SortedOrder(int count, const std::function<int(int, int)>& compare)
{
    if (count < 0) {
        throw std::invalid_argument("SortedOrder: negative item count " + std::to_string(count));
    }
    const auto size = static_cast<std::size_t>(count);
    std::vector<int> order(size);
    for (std::size_t i = 0; i < size; ++i) {
        order[i] = static_cast<int>(i);
    }
    std::vector<int> merged(size);
    // Bottom-up merging of runs: every step consumes exactly one index from one of two runs,
    // whatever the comparison answers, so an inconsistent comparison cannot loop, skip or
    // duplicate an index. Ties take the left run first, which keeps equal rows in order.
    for (std::size_t width = 1; width < size; width *= 2) {
        for (std::size_t low = 0; low < size; low += 2 * width) {
            const std::size_t middle = std::min(low + width, size);
            const std::size_t high = std::min(low + 2 * width, size);
            std::size_t left = low;
            std::size_t right = middle;
            std::size_t out = low;
            while (left < middle && right < high) {
                merged[out++] = compare(order[left], order[right]) <= 0 ? order[left++] : order[right++];
            }
            while (left < middle) {
                merged[out++] = order[left++];
            }
            while (right < high) {
                merged[out++] = order[right++];
            }
        }
        order.swap(merged);
    }
    return order;
}

} // namespace tarvo
