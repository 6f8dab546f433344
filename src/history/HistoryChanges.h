#pragma once

#include "FormatSettings.h"
#include "HistoryTypes.h"
#include "PathStyle.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo
{

// The folder's key in the history: its path bytes without trailing separators, so that
// "/home/x" and "/home/x/" are one folder (a root keeps its separator).
[[nodiscard]] std::string HistoryFolderKey(std::string_view folder, const PathStyle& style);

// A scan's entries as they are kept. paths are the scanner's full paths, the first
// subfolderCount of them subfolders; of the rest, the one named freeSpaceName is the free space
// and any other the folder's own files. Negative byte counts (unknown) are kept as 0.
[[nodiscard]] std::vector<HistoryEntry> HistoryEntriesOf(const std::vector<std::string>& paths,
    const std::vector<std::int64_t>& bytes, std::size_t subfolderCount, std::string_view freeSpaceName,
    const PathStyle& style);

enum class ChangeKind : std::uint8_t {
    ckNone, // nothing to compare with (free space that was not asked for then)
    ckChanged, // there then and now, maybe with the same size
    ckNew, // not there then
    ckGone, // there then, not now
};

struct EntryChange {
    ChangeKind kind = ChangeKind::ckNone;
    // Bytes now minus bytes then: a new entry gained all it has, a gone one lost all it had.
    // This is what the column sorts by.
    std::int64_t bytes = 0;

    bool operator==(const EntryChange&) const = default;
};

struct EntryChanges {
    std::vector<EntryChange> entries; // one for each entry of today's analysis, in its order
    std::vector<HistoryEntry> gone; // the earlier entries that are no longer there, in their order
};

// Entries are matched by kind and name bytes. "<Free Space>" is compared only when both
// analyses have it: the free-space button decides whether it is there, not the disk.
[[nodiscard]] EntryChanges CompareEntries(
    const std::vector<HistoryEntry>& today, const std::vector<HistoryEntry>& earlier);

// The change as the size list shows it: the difference in MB (2^20 bytes) to one decimal,
// halves to the even tenth, with the user's separators and a sign ("+1,234.5", "−12.0" with
// the minus sign U+2212, "0.0" for less than half a tenth either way); "new", "gone"; empty for
// ckNone.
[[nodiscard]] std::string ChangeText(const EntryChange& change, const FormatSettings& settings);
// The same for machines: "." as decimal separator, no grouping, ASCII "-" ("-12.0", "+1234.5").
[[nodiscard]] std::string InvariantChangeText(const EntryChange& change);

// How much older than the shown analysis the default comparison looks back first.
constexpr std::int64_t kDefaultComparisonAgeMs = std::int64_t { 60 } * 60 * 1000;

// The kept analysis the shown one is compared with until the user chooses: the newest that is
// at least kDefaultComparisonAgeMs older than shownTimeMs, else the oldest there is. analyses
// come newest first; the answer is an index into them, nothing when there are none.
[[nodiscard]] std::optional<std::size_t> DefaultComparison(
    const std::vector<HistorySummary>& analyses, std::int64_t shownTimeMs);

} // namespace tarvo
