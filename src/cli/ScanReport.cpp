#include "ScanReport.h"

#include "HistoryDatabase.h"
#include "HistoryFiles.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <ostream>
#include <stdexcept>
#include <system_error>

namespace tarvo
{

namespace
{

    constexpr const char* kProgram = "tarvo-scan";
    constexpr const char* kVersion = TARVO_VERSION;
    constexpr const char* kColumnGap = "  ";

    // Length of the valid UTF-8 sequence that starts at text[pos], or 0 when the byte there
    // starts none. Overlong forms, surrogates and code points past U+10FFFF are not valid:
    // that keeps the surrogate escape unambiguous.
    std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos)
    {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
        const unsigned char lead = byte(0);
        if (lead < 0x80) {
            return 1;
        }
        std::size_t length = 0;
        unsigned char low = 0x80; // range of the second byte
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return 0;
        }
        if (pos + length > text.size() || byte(1) < low || byte(1) > high) {
            return 0;
        }
        for (std::size_t i = 2; i < length; ++i) {
            if ((byte(i) & 0xC0) != 0x80) {
                return 0;
            }
        }
        return length;
    }

    bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

    std::string PadLeft(const std::string& text, std::size_t width)
    {
        return std::string(width - std::min(width, DisplayWidth(text)), ' ') + text;
    }

    std::string PadRight(const std::string& text, std::size_t width)
    {
        return text + std::string(width - std::min(width, DisplayWidth(text)), ' ');
    }

    void CheckParallelLists(const TDirSize& scan, const ScanComparison* comparison)
    {
        const std::size_t count = scan.PathList.size();
        if (scan.MBList.size() != count || scan.KBList.size() != count || scan.ByteList.size() != count) {
            throw std::invalid_argument("the lists of the scan differ in length");
        }
        if (comparison && comparison->changes.entries.size() != count) {
            throw std::invalid_argument("the comparison does not match the scan's entries");
        }
    }

    // MB and KB for machines: derived again from the bytes so that no locale leaks in.
    std::string InvariantSize(int unit, TByteCount bytes) { return SizeText(bytes, unit, FormatSettings::Invariant()); }

    const std::vector<HistoryEntry>& GoneEntries(const ScanComparison* comparison)
    {
        static const std::vector<HistoryEntry> kNone;
        return comparison ? comparison->changes.gone : kNone;
    }

    EntryChange GoneChange(const HistoryEntry& entry) { return { ChangeKind::ckGone, -entry.bytes }; }

    std::string TextReport(const TDirSize& scan, const PathStyle& style, const ScanComparison* comparison)
    {
        // Names, Size MB, Size KB, with a comparison Change, and last the full path.
        using Row = std::vector<std::string>;
        const auto row
            = [comparison](std::string name, std::string mb, std::string kb, std::string change, std::string path) {
                  Row columns { std::move(name), std::move(mb), std::move(kb) };
                  if (comparison) {
                      columns.push_back(std::move(change));
                  }
                  columns.push_back(std::move(path));
                  return columns;
              };
        std::vector<Row> rows { row("Names", "Size MB", "Size KB", "Change", "Full Path") };
        for (std::size_t i = 0; i < scan.PathList.size(); ++i) {
            rows.push_back(row(OneLine(EntryName(scan.PathList[i], scan.Folder, style)), OneLine(scan.MBList[i]),
                OneLine(scan.KBList[i]), comparison ? ChangeText(comparison->changes.entries[i], scan.Settings()) : "",
                OneLine(scan.PathList[i])));
        }
        const std::string zero = FloatToText(0.0, scan.Settings());
        for (const HistoryEntry& gone : GoneEntries(comparison)) {
            rows.push_back(row(OneLine(gone.name), zero, zero, ChangeText(GoneChange(gone), scan.Settings()),
                OneLine(style.Join(scan.Folder, gone.name))));
        }
        std::vector<std::size_t> widths(rows.front().size() - 1);
        for (const Row& columns : rows) {
            for (std::size_t column = 0; column < widths.size(); ++column) {
                widths[column] = std::max(widths[column], DisplayWidth(columns[column]));
            }
        }
        std::string text;
        for (const Row& columns : rows) {
            text += PadRight(columns[0], widths[0]);
            for (std::size_t column = 1; column < widths.size(); ++column) {
                text += kColumnGap + PadLeft(columns[column], widths[column]);
            }
            text += kColumnGap + columns.back() + '\n';
        }
        return text;
    }

    std::string CsvChange(const ScanComparison* comparison, const EntryChange& change)
    {
        if (!comparison) {
            return {};
        }
        const bool none = change.kind == ChangeKind::ckNone;
        return ',' + (none ? std::string() : std::to_string(change.bytes)) + ',' + InvariantChangeText(change);
    }

    std::string CsvReport(const TDirSize& scan, const PathStyle& style, const ScanComparison* comparison)
    {
        std::string text
            = std::string("name,bytes,size_mb,size_kb,path") + (comparison ? ",change_bytes,change" : "") + "\r\n";
        for (std::size_t i = 0; i < scan.PathList.size(); ++i) {
            const TByteCount bytes = scan.ByteList[i];
            text += CsvField(EntryName(scan.PathList[i], scan.Folder, style)) + ',' + bytes.ToString() + ','
                + InvariantSize(2, bytes) + ',' + InvariantSize(1, bytes) + ',' + CsvField(scan.PathList[i])
                + CsvChange(comparison, comparison ? comparison->changes.entries[i] : EntryChange {}) + "\r\n";
        }
        for (const HistoryEntry& gone : GoneEntries(comparison)) {
            text += CsvField(gone.name) + ",0,0,0," + CsvField(style.Join(scan.Folder, gone.name))
                + CsvChange(comparison, GoneChange(gone)) + "\r\n";
        }
        return text;
    }

    std::string JsonChange(const ScanComparison* comparison, const EntryChange& change)
    {
        if (!comparison || change.kind == ChangeKind::ckNone) {
            return {};
        }
        return ", \"change_bytes\": " + std::to_string(change.bytes) + ", \"change\": \"" + InvariantChangeText(change)
            + '"';
    }

    // Milliseconds since 1970 as an RFC 3339 time in UTC.
    std::string UtcTime(std::int64_t timeMs)
    {
        const std::time_t seconds = static_cast<std::time_t>(timeMs / 1000);
        std::tm utc {};
        gmtime_r(&seconds, &utc);
        char text[32] = {};
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
        return text;
    }

    std::string JsonReport(const TDirSize& scan, const PathStyle& style, const ScanComparison* comparison)
    {
        std::string text = "{\n  \"folder\": " + JsonQuoted(scan.Folder) + ",\n  \"entries\": [";
        std::string separator;
        const auto entry
            = [&](const std::string& name, const std::string& path, TByteCount bytes, const std::string& change) {
                  text += separator + "\n    {\"name\": " + JsonQuoted(name) + ", \"path\": " + JsonQuoted(path)
                      + ", \"bytes\": " + bytes.ToString() + ", \"mb\": " + InvariantSize(2, bytes)
                      + ", \"kb\": " + InvariantSize(1, bytes) + change + "}";
                  separator = ",";
              };
        for (std::size_t i = 0; i < scan.PathList.size(); ++i) {
            entry(EntryName(scan.PathList[i], scan.Folder, style), scan.PathList[i], scan.ByteList[i],
                JsonChange(comparison, comparison ? comparison->changes.entries[i] : EntryChange {}));
        }
        for (const HistoryEntry& gone : GoneEntries(comparison)) {
            entry(gone.name, style.Join(scan.Folder, gone.name), 0, JsonChange(comparison, GoneChange(gone)));
        }
        text += separator.empty() ? "]" : "\n  ]";
        if (comparison) {
            text += ",\n  \"compared_with\": \"" + UtcTime(comparison->timeMs) + '"';
        }
        return text + "\n}\n";
    }

    // The scanner wants an absolute path; a relative one is taken from the working folder
    // the way the shell would spell it ("." and ".." resolved by name, links kept).
    std::string AbsoluteFolder(const std::string& folder, const PathStyle& style)
    {
        if (style.IsAbsolute(folder)) {
            return folder;
        }
        std::error_code error;
        const std::filesystem::path current = std::filesystem::current_path(error);
        if (error) {
            return folder; // no working folder: FolderExists will say no
        }
        return (current / folder).lexically_normal().string();
    }

    // Milliseconds since 1970 as the local date and time.
    std::string LocalTime(std::int64_t timeMs)
    {
        const std::time_t seconds = static_cast<std::time_t>(timeMs / 1000);
        std::tm local {};
        localtime_r(&seconds, &local);
        char text[32] = {};
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
        return text;
    }

    // The value of an option given as "NAME=VALUE" or as "NAME VALUE" (which takes the next
    // argument, so i moves on); empty when NAME comes last without one; nothing when
    // arguments[i] is another option.
    std::optional<std::string> OptionValue(
        const std::vector<std::string>& arguments, std::size_t& i, std::string_view name)
    {
        const std::string& argument = arguments[i];
        if (argument == name) {
            return i + 1 < arguments.size() ? arguments[++i] : std::string();
        }
        if (argument.size() > name.size() && argument.starts_with(name) && argument[name.size()] == '=') {
            return argument.substr(name.size() + 1);
        }
        return std::nullopt;
    }

    bool Finish(std::ostream& out, std::ostream& err)
    {
        out.flush();
        if (!out) {
            err << kProgram << ": cannot write the output\n";
        }
        return static_cast<bool>(out);
    }

} // namespace

ScanCommand ParseScanArguments(const std::vector<std::string>& arguments)
{
    ScanCommand command;
    const auto fail = [&command](const std::string& message) {
        command.action = ScanCommand::caUsageError;
        command.error = OneLine(message);
        return command;
    };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool isOption = !optionsEnded && argument.size() > 1 && argument.front() == '-';
        if (!isOption) {
            if (!command.folder.empty()) {
                return fail("more than one folder given: '" + command.folder + "' and '" + argument + "'");
            }
            if (argument.empty()) {
                return fail("the folder name is empty");
            }
            command.folder = argument;
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            command.action = ScanCommand::caHelp;
            return command;
        } else if (argument == "--version") {
            command.action = ScanCommand::caVersion;
            return command;
        } else if (argument == "--free-space") {
            command.includeFreeSpace = true;
        } else if (const std::optional<std::string> value = OptionValue(arguments, i, "--compare-with")) {
            if (*value != "last") {
                return fail(value->empty() ? "option '--compare-with' needs a value: last"
                                           : "unknown comparison '" + *value + "': use last");
            }
            command.compareWithLast = true;
        } else if (const std::optional<std::string> value = OptionValue(arguments, i, "--format")) {
            const std::pair<const char*, ReportFormat> formats[] = { { "text", ReportFormat::rfText },
                { "csv", ReportFormat::rfCsv }, { "json", ReportFormat::rfJson } };
            const auto* format = std::find_if(
                std::begin(formats), std::end(formats), [&value](const auto& known) { return *value == known.first; });
            if (format == std::end(formats)) {
                return fail(value->empty() ? "option '--format' needs a value: text, csv or json"
                                           : "unknown format '" + *value + "': use text, csv or json");
            }
            command.format = format->second;
        } else {
            return fail("unknown option '" + argument + "'");
        }
    }
    if (command.folder.empty()) {
        return fail("no folder given");
    }
    return command;
}

std::string ScanUsageText()
{
    return R"(Usage: tarvo-scan [--free-space] [--format=text|csv|json] [--compare-with=last] FOLDER

Measures FOLDER: one entry per immediate subfolder with the total size of everything below
it, one entry "<All files in this folder>" for the folder's own files and, on request, one
entry "<Free Space>" for the space left on the volume.

Options:
  --free-space         add the "<Free Space>" entry when FOLDER is the root of a volume
                       (the bytes available to you; 0 when the system cannot say)
  --format=FORMAT      how to write the result (also "--format FORMAT"):
                       text  aligned columns Names, Size MB, Size KB, Full Path; sizes use
                             the decimal separator of your locale (LC_ALL, LC_NUMERIC, LANG)
                             and control characters in names are shown as "?" (the default)
                       csv   columns name,bytes,size_mb,size_kb,path; RFC 4180 quoting,
                             CRLF line ends, "." as decimal separator whatever the locale
                       json  {"folder": ..., "entries": [{"name", "path", "bytes", "mb",
                             "kb"}, ...]} with mb and kb as numbers
  --compare-with=last  add each entry's change since the last analysis of FOLDER that the
                       Tarvo window recorded: the difference in MB ("+1,234.5", "−12.0"),
                       "new", or "gone" for an entry no longer there (a row of its own with
                       0 bytes). text adds a column Change; csv adds change_bytes,change
                       ("." decimals, "-" sign); json adds "change_bytes" and "change" to each
                       compared entry and "compared_with" (UTC) to the report. The history,
                       $XDG_STATE_HOME/tarvo/history.sqlite (~/.local/state/tarvo/ without
                       it), is only read, never written. Without a recorded analysis the
                       report has nothing extra and standard error says so.
  -h, --help           show this help and exit
  --version            show the version and exit
  --                   end of options: a FOLDER after it may start with "-"

Sizes: apparent sizes (the length of each file, a 64-bit count, not the disk blocks it
takes), added up exactly: totals never wrap, however large, and every number is written in
plain decimal digits. A file with several names (hard links) is counted once: each of its n names
counts size / n, rounded down, so a folder holding all the names counts the file (short by
less than n bytes) and a folder holding only some of them counts only their shares. Folders
count 0; symbolic links count their own size and are never followed; FIFOs, sockets and
devices count 0. Names starting with "." are counted like any other. Pseudo file systems (proc,
sysfs, ...) are not entered, and a folder that cannot be read, or an entry that cannot be
examined, counts 0: it is named on standard error ("tarvo-scan: cannot read PATH: reason",
at most 20 lines and then how many more) and the exit status is 1. FOLDER may be any folder
that can be opened, however long its path. size_mb and size_kb are bytes / 1048576 and bytes / 1024
rounded to hundredths, ties to even.

Names in JSON: file names are bytes, not necessarily UTF-8. Valid UTF-8 is written as it
is, control characters are escaped, and every byte 0xXX that is not part of valid UTF-8 is
written as the lone surrogate \udcXX (the surrogate-escape convention): "\udcff" stands for
the byte 0xFF. CSV and JSON keep every byte of every name.

Exit status: 0 when the report was written and every folder was read, 1 when a folder
could not be read (the totals leave it out) or the report could not be written, 2 for bad
usage or when FOLDER cannot be opened as a folder ("tarvo-scan: cannot open FOLDER: reason",
with the system's reason: "No such file or directory", "Not a directory", ...).
)";
}

std::string FormatScanReport(
    const TDirSize& scan, ReportFormat format, const PathStyle& style, const ScanComparison* comparison)
{
    CheckParallelLists(scan, comparison);
    switch (format) {
    case ReportFormat::rfText:
        return TextReport(scan, style, comparison);
    case ReportFormat::rfCsv:
        return CsvReport(scan, style, comparison);
    case ReportFormat::rfJson:
        return JsonReport(scan, style, comparison);
    }
    throw std::invalid_argument("unknown report format");
}

std::string EntryName(std::string_view path, std::string_view folder, const PathStyle& style)
{
    const std::string prefix = style.IncludeTrailingSeparator(folder);
    if (path.starts_with(prefix)) {
        path.remove_prefix(prefix.size());
    }
    return std::string(path);
}

std::size_t DisplayWidth(std::string_view text)
{
    std::size_t width = 0;
    for (std::size_t pos = 0; pos < text.size(); ++width) {
        pos += std::max<std::size_t>(1, Utf8SequenceLength(text, pos));
    }
    return width;
}

std::string OneLine(std::string_view text)
{
    std::string line(text);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return IsControl(static_cast<unsigned char>(c)); }, '?');
    return line;
}

std::string JsonQuoted(std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    const auto hexEscape = [](std::string_view prefix, unsigned char byte) {
        return std::string(prefix) + kHex[byte >> 4] + kHex[byte & 0xF];
    };
    std::string quoted = "\"";
    for (std::size_t pos = 0; pos < text.size();) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        const std::size_t length = Utf8SequenceLength(text, pos);
        if (length == 0) {
            quoted += hexEscape("\\udc", byte);
            ++pos;
            continue;
        }
        switch (byte) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\b':
            quoted += "\\b";
            break;
        case '\f':
            quoted += "\\f";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            quoted += IsControl(byte) ? hexEscape("\\u00", byte) : std::string(text.substr(pos, length));
        }
        pos += length;
    }
    return quoted + '"';
}

std::string CsvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + '"';
}

std::optional<ScanComparison> LastComparison(
    const TDirSize& scan, const std::string& historyFile, const PathStyle& style, std::ostream& err)
{
    HistoryDatabase history(historyFile, {}, HistoryDatabase::haReadOnly);
    const std::vector<HistorySummary> analyses = history.Analyses(HistoryFolderKey(scan.Folder, style), 1);
    std::optional<std::vector<HistoryEntry>> earlier;
    if (!analyses.empty()) {
        earlier = history.Entries(analyses.front().id);
    }
    if (!earlier) {
        const std::string why = history.LastError().empty()
            ? std::string()
            : " (" + OneLine(historyFile) + ": " + history.LastError() + ")";
        err << kProgram << ": no earlier analysis of " << OneLine(scan.Folder) << " is recorded" << why
            << "; nothing to compare with\n";
        return std::nullopt;
    }
    err << kProgram << ": change since the analysis of " << LocalTime(analyses.front().timeMs) << '\n';
    const std::vector<HistoryEntry> today = HistoryEntriesOf(
        scan.PathList, SaturatedBytes(scan.ByteList), scan.SubfolderCount, TDirSize::kFreeSpaceEntry, style);
    return ScanComparison { CompareEntries(today, *earlier), analyses.front().timeMs };
}

int RunTarvoScan(const std::vector<std::string>& arguments, FileSystem& fileSystem, std::ostream& out,
    std::ostream& err, const std::string& historyFile)
{
    const ScanCommand command = ParseScanArguments(arguments);
    switch (command.action) {
    case ScanCommand::caHelp:
        out << ScanUsageText();
        return Finish(out, err) ? 0 : 1;
    case ScanCommand::caVersion:
        out << kProgram << ' ' << kVersion << '\n';
        return Finish(out, err) ? 0 : 1;
    case ScanCommand::caUsageError:
        err << kProgram << ": " << command.error << "\nTry '" << kProgram << " --help' for more information.\n";
        return 2;
    case ScanCommand::caScan:
        break;
    }

    const std::string folder = AbsoluteFolder(command.folder, fileSystem.Style());
    // A folder that exists is measured, even when it cannot be read (as holding nothing, exit 1)
    // or is a pseudo file system, which opens to nothing without an error. Anything else is
    // opened once to tell the user what the system says of it: an open costs a look at every
    // mount, which the scan takes again.
    int error = 0;
    if (!fileSystem.FolderExists(folder) && !fileSystem.OpenFolder(folder, &error) && error != 0) {
        err << kProgram << ": cannot open " << OneLine(command.folder) << ": " << std::strerror(error) << '\n';
        return 2;
    }
    TDirSize scan(fileSystem, FormatSettings::FromUserLocale());
    scan.Folder = folder;
    scan.IncludeFreeSpace = command.includeFreeSpace;
    scan.Calculate(); // false only after Cancel(), which nothing here calls
    std::optional<ScanComparison> comparison;
    if (command.compareWithLast) {
        comparison = LastComparison(
            scan, historyFile.empty() ? DefaultHistoryFileName() : historyFile, fileSystem.Style(), err);
    }
    out << FormatScanReport(scan, command.format, fileSystem.Style(), comparison ? &*comparison : nullptr);
    const bool written = Finish(out, err);
    // As du does: the report stands, but a script can tell "empty" from "not read".
    for (const UnreadFolder& unread : scan.UnreadFolders)
        err << kProgram << ": cannot read " << OneLine(unread.path) << ": " << std::strerror(unread.error) << '\n';
    if (scan.UnreadCount > scan.UnreadFolders.size())
        err << kProgram << ": " << scan.UnreadCount - scan.UnreadFolders.size() << " more folders could not be read\n";
    return written && scan.UnreadCount == 0 ? 0 : 1;
}

} // namespace tarvo
