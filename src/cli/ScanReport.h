#pragma once

#include "DirSize.h"
#include "FileSystem.h"

#include <cstdint>
#include <iosfwd>
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
    std::string folder;
    std::string error; // one line, set with caUsageError
};

// Reads the arguments after the program name. Options are handled in order: --help and
// --version win over anything after them, the first bad argument ends the reading.
[[nodiscard]] ScanCommand ParseScanArguments(const std::vector<std::string>& arguments);
[[nodiscard]] std::string ScanUsageText();

// The finished scan as one text in the given format. The lists of the scan must be parallel
// (std::invalid_argument otherwise).
[[nodiscard]] std::string FormatScanReport(const TDirSize& scan, ReportFormat format, const PathStyle& style);

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
// or the output failed, 2 bad usage or not a folder).
int RunTarvoScan(
    const std::vector<std::string>& arguments, FileSystem& fileSystem, std::ostream& out, std::ostream& err);

} // namespace tarvo
