#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvo
{

// What an entry of an analysis stands for. Stored in the history file as its number: never
// renumber, only add.
enum class HistoryEntryKind : std::uint8_t {
    hekFolder = 0, // an immediate subfolder
    hekFiles = 1, // "<All files in this folder>"
    hekFreeSpace = 2, // "<Free Space>"
};

// One entry of an analysis as it is kept. A subfolder named "<Free Space>" and the pseudo-entry
// of that text stay apart through their kinds.
struct HistoryEntry {
    HistoryEntryKind kind = HistoryEntryKind::hekFolder;
    std::string name; // the subfolder's name bytes; the pseudo-entry's text for the others
    std::int64_t bytes = 0;

    bool operator==(const HistoryEntry&) const = default;
};

// One analysis to keep. Times are milliseconds since 1970-01-01 UTC.
struct HistoryRecord {
    std::string folder; // the analysed folder's path bytes as HistoryFolderKey gives them
    std::int64_t timeMs = 0;
    std::vector<HistoryEntry> entries;
};

// A kept analysis as the "Compare with" choices list it.
struct HistorySummary {
    std::int64_t id = 0; // the analysis's number in its file
    std::int64_t timeMs = 0;

    bool operator==(const HistorySummary&) const = default;
};

// What came of an operation on the history file.
enum class HistoryStatus : std::uint8_t {
    hsDone,
    hsMissing, // nothing is kept yet (a read that found no file)
    hsBusy, // another program held the file longer than the lock wait: this analysis is not kept
    hsFull, // the disk (or the size bound, for one analysis larger than all of it) had no room
    hsUnusable, // the file or its folder cannot be made, opened or written
    hsNewer, // a newer Tarvo's file: left as it is
};

// Something the user is told once: a damaged file moved aside, or a file that cannot be used.
struct HistoryProblem {
    enum Kind : std::uint8_t { hpMovedAside, hpUnusable, hpNewer };
    Kind kind = hpUnusable;
    std::string message; // one or two sentences for a message box
};

[[nodiscard]] inline std::int64_t HistoryTimeMs(std::chrono::system_clock::time_point time)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

} // namespace tarvo
