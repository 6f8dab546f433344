#pragma once

#include "FormatSettings.h"

#include <functional>
#include <string>
#include <vector>

namespace tarvo
{

// True when every character is a decimal digit, "." or ","; the empty text counts too.
[[nodiscard]] bool IsNumber(const std::string& text);

// -1, 0 or 1. Two texts that pass IsNumber compare by value (parsed with the user's decimal
// separator); otherwise by the locale's case-sensitive collation. A text that passes IsNumber
// but does not parse ("1.2.3") sorts after the numbers that do, and such texts compare as text
// among themselves.
[[nodiscard]] int CompareTexts(const std::string& a, const std::string& b, const FormatSettings& settings);

// -1, 0 or 1 for two cells of the "Change" column, which keep the byte difference as decimal
// text: by value, so a new entry sorts by all it has and a gone one by all it had; a cell
// without a value (nothing compared) goes after every value.
[[nodiscard]] int CompareChangeTexts(const std::string& a, const std::string& b);

// Sorts indices 0..count-1 with a comparison that may be inconsistent (the list's rules are not
// transitive for mixed names such as "10", "1a", "9"): a merge sort that only asks compare and
// never leaves the range, so it always ends with some order and never crashes. Stable.
[[nodiscard]] std::vector<int> SortedOrder(int count, const std::function<int(int, int)>& compare);

} // namespace tarvo
