#pragma once

#include <chrono>
#include <cstdint>

namespace tarvo
{

// The bounds of the history file, all in one place. When either is reached the oldest analyses
// go first: a folder's own oldest for the per-folder count, the oldest of any folder for the size.
struct HistoryLimits {
    int analysesPerFolder = 30;
    // The database file never grows past this (SQLite's page limit); the write-ahead log beside
    // it is folded back and cut to kWalKeptBytes at each checkpoint.
    std::int64_t maxFileBytes = std::int64_t { 64 } * 1024 * 1024;
    // How long a write waits for a second running Tarvo to finish its own before this analysis
    // goes unrecorded.
    std::chrono::milliseconds lockWait { 200 };

    static constexpr std::int64_t kWalKeptBytes = std::int64_t { 4 } * 1024 * 1024;
    // The "Compare with" choices list at most this many analyses of a folder.
    static constexpr int kChoices = 30;
};

} // namespace tarvo
