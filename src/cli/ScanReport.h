#pragma once

#include "DirSize.h"
#include "FileSystem.h"
#include "HistoryChanges.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo
{

enum class ReportFormat : std::uint8_t {
    rfText, // aligned columns for people, sizes as the scanner wrote them (user's locale)
    rfCsv, // RFC 4180, CRLF line ends, "." decimals
    rfJson, // names as JSON strings with the surrogate escape for bytes that are not UTF-8
};

// What the command line of tarvo-scan asks for.
struct ScanCommand {
    enum Action : std::uint8_t { caScan, caHelp, caVersion, caUsageError };
    Action action = caScan;
    ReportFormat format = ReportFormat::rfText;
    bool includeFreeSpace = false;
    bool compareWithLast = false; // --compare-with=last
    std::string folder;
    std::string error; // one line, set with caUsageError
};

// Reads the arguments after the program name. Options are handled in order: --help and
// --version win over anything after them, the first bad argument ends the reading.
[[nodiscard]] ScanCommand ParseScanArguments(const std::vector<std::string>& arguments);
[[nodiscard]] std::string ScanUsageText();

// The scan against an earlier analysis of its folder: one change for each entry of the scan, and
// the earlier entries that are gone.
struct ScanComparison {
    EntryChanges changes;
    std::int64_t timeMs = 0; // when the earlier analysis was made
};

// The finished scan as one text in the given format; with a comparison, each entry's change
// and a row for each gone entry (0 bytes). The lists of the scan (and the comparison's
// changes) must be parallel (std::invalid_argument otherwise).
[[nodiscard]] std::string FormatScanReport(
    const TDirSize& scan, ReportFormat format, const PathStyle& style, const ScanComparison* comparison = nullptr);

// The scan against the newest analysis of its folder in the history file, read only; nothing
// when none is kept. Says on err which analysis it compares with, or that there is none.
[[nodiscard]] std::optional<ScanComparison> LastComparison(
    const TDirSize& scan, const std::string& historyFile, const PathStyle& style, std::ostream& err);

// The list view's name of an entry: its path with the scanned folder (and the separator after
// it) taken off the front; a path outside the folder is returned whole.
[[nodiscard]] std::string EntryName(std::string_view path, std::string_view folder, const PathStyle& style);

// Columns a text takes on a terminal, counted in UTF-8 code points; a byte that is not part of
// valid UTF-8 counts as one column.
[[nodiscard]] std::size_t DisplayWidth(std::string_view text);
// The text on one line: control characters become "?", everything else is kept as it is.
[[nodiscard]] std::string OneLine(std::string_view text);
// A JSON string literal, quotes included. Valid UTF-8 passes through; each byte 0xXX that is
// not part of valid UTF-8 becomes \udcXX, so that no name is lost and the output stays JSON.
[[nodiscard]] std::string JsonQuoted(std::string_view text);
// A CSV field, quoted only when it holds a comma, a quote, CR or LF.
[[nodiscard]] std::string CsvField(std::string_view text);

// The whole tarvo-scan command; returns its exit status (0 done, 1 a folder could not be read
// or the output failed, 2 bad usage or not a folder). historyFile: where --compare-with reads;
// empty: DefaultHistoryFileName().
int RunTarvoScan(const std::vector<std::string>& arguments, FileSystem& fileSystem, std::ostream& out,
    std::ostream& err, const std::string& historyFile = {});

} // namespace tarvo
