#pragma once

#include "HistoryRecorder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarvo
{

// The main window's part in the history of analyses: what is on screen, which earlier
// analyses it may be compared with, and which one the user chose.
struct TFormHistory {
    enum Choice : std::uint8_t {
        hcDefault, // the newest analysis at least an hour older, else the oldest
        hcNothing, // no change column
        hcAnalysis, // chosenId, as long as it is kept
    };

    std::unique_ptr<HistoryRecorder> recorder; // none: nothing is recorded or compared
    bool shown = false; // an analysis is on screen
    std::string folder; // its folder's history key; the choice lasts while this stays
    std::string analysedPath; // its folder as analysed, for the paths of gone entries
    std::int64_t shownTimeMs = 0;
    std::vector<HistoryEntry> shownEntries;
    std::vector<HistorySummary> choices; // the earlier analyses of the folder, newest first
    Choice choice = hcDefault;
    std::int64_t chosenId = 0;
};

} // namespace tarvo
