#include "HistoryChanges.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <utility>

namespace tarvo
{

namespace
{

    constexpr const char* kMinusSign = "\xE2\x88\x92"; // U+2212

    // |bytes| in tenths of a MB, halves to the even tenth, without overflow for any count:
    // tenths = |bytes| * 10 / 2^20 = |bytes| * 5 / 2^19.
    std::uint64_t TenthsOfMegabyte(std::int64_t bytes)
    {
        const std::uint64_t magnitude
            = bytes < 0 ? std::uint64_t { 0 } - static_cast<std::uint64_t>(bytes) : static_cast<std::uint64_t>(bytes);
        constexpr unsigned kShift = 19;
        constexpr std::uint64_t kMask = (std::uint64_t { 1 } << kShift) - 1;
        const std::uint64_t scaledRest = (magnitude & kMask) * 5;
        std::uint64_t tenths = (magnitude >> kShift) * 5 + (scaledRest >> kShift);
        const std::uint64_t remainder = scaledRest & kMask;
        const std::uint64_t half = std::uint64_t { 1 } << (kShift - 1);
        if (remainder > half || (remainder == half && tenths % 2 == 1))
            ++tenths;
        return tenths;
    }

    std::string SignedTenths(std::int64_t bytes, const std::string& minus, const std::string& decimalSeparator,
        const std::string& thousandSeparator)
    {
        const std::uint64_t tenths = TenthsOfMegabyte(bytes);
        const std::string sign = tenths == 0 ? std::string() : (bytes < 0 ? minus : std::string("+"));
        return sign + GroupThousands(std::to_string(tenths / 10), thousandSeparator) + decimalSeparator
            + std::to_string(tenths % 10);
    }

    std::string Text(const EntryChange& change, const std::string& minus, const std::string& decimalSeparator,
        const std::string& thousandSeparator)
    {
        switch (change.kind) {
        case ChangeKind::ckNone:
            return {};
        case ChangeKind::ckNew:
            return "new";
        case ChangeKind::ckGone:
            return "gone";
        case ChangeKind::ckChanged:
            return SignedTenths(change.bytes, minus, decimalSeparator, thousandSeparator);
        }
        return {};
    }

} // namespace

std::string HistoryFolderKey(std::string_view folder, const PathStyle& style)
{
    return style.ExcludeTrailingSeparator(folder);
}

std::vector<HistoryEntry> HistoryEntriesOf(const std::vector<std::string>& paths,
    const std::vector<std::int64_t>& bytes, std::size_t subfolderCount, std::string_view freeSpaceName,
    const PathStyle& style)
{
    if (bytes.size() != paths.size())
        throw std::invalid_argument("HistoryEntriesOf: " + std::to_string(paths.size()) + " paths but "
            + std::to_string(bytes.size()) + " byte counts");
    std::vector<HistoryEntry> entries;
    entries.reserve(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        HistoryEntry entry { HistoryEntryKind::hekFolder, style.FileName(paths[i]), bytes[i] < 0 ? 0 : bytes[i] };
        if (i >= subfolderCount)
            entry.kind = entry.name == freeSpaceName ? HistoryEntryKind::hekFreeSpace : HistoryEntryKind::hekFiles;
        entries.push_back(std::move(entry));
    }
    return entries;
}

EntryChanges CompareEntries(const std::vector<HistoryEntry>& today, const std::vector<HistoryEntry>& earlier)
{
    // Each earlier entry answers at most one of today's, so that a name listed twice cannot
    // hide a gone one.
    std::map<std::pair<HistoryEntryKind, std::string_view>, std::size_t> unmatched;
    for (std::size_t i = earlier.size(); i-- > 0;)
        unmatched[{ earlier[i].kind, earlier[i].name }] = i;
    std::vector<bool> matched(earlier.size(), false);
    EntryChanges changes;
    changes.entries.reserve(today.size());
    for (const HistoryEntry& entry : today) {
        const auto found = unmatched.find({ entry.kind, entry.name });
        if (found != unmatched.end()) {
            matched[found->second] = true;
            // Counts are never negative as they are written; a file changed by hand must still
            // not overflow the difference.
            const std::int64_t then = std::max<std::int64_t>(0, earlier[found->second].bytes);
            changes.entries.push_back({ ChangeKind::ckChanged, std::max<std::int64_t>(0, entry.bytes) - then });
            unmatched.erase(found);
        } else if (entry.kind == HistoryEntryKind::hekFreeSpace) {
            changes.entries.push_back({ ChangeKind::ckNone, 0 });
        } else {
            changes.entries.push_back({ ChangeKind::ckNew, entry.bytes });
        }
    }
    for (std::size_t i = 0; i < earlier.size(); ++i) {
        if (!matched[i] && earlier[i].kind != HistoryEntryKind::hekFreeSpace)
            changes.gone.push_back(earlier[i]);
    }
    return changes;
}

std::string ChangeText(const EntryChange& change, const FormatSettings& settings)
{
    return Text(change, kMinusSign, settings.decimalSeparator, settings.thousandSeparator);
}

std::string InvariantChangeText(const EntryChange& change) { return Text(change, "-", ".", ""); }

std::optional<std::size_t> DefaultComparison(const std::vector<HistorySummary>& analyses, std::int64_t shownTimeMs)
{
    if (analyses.empty())
        return std::nullopt;
    for (std::size_t i = 0; i < analyses.size(); ++i) {
        if (analyses[i].timeMs <= shownTimeMs - kDefaultComparisonAgeMs)
            return i;
    }
    return analyses.size() - 1;
}

} // namespace tarvo
