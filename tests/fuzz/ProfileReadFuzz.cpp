// Reading any text: the lines cover it exactly, each ends in one line break, and a value reads
// back as stored, cut at 2,047 bytes (before a split character only in UTF-8).

#include "FuzzReference.h"

#include <cstddef>
#include <cstdint>

using namespace tarvo;
using fuzz::Check;

namespace
{

void CheckLines(std::string_view text, const std::vector<ProfileLine>& lines)
{
    std::size_t expectedBegin = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    for (const ProfileLine& line : lines) {
        Check(line.begin == expectedBegin && line.begin <= line.end && line.end <= line.next);
        Check(fuzz::Content(text, line).find_first_of("\r\n") == std::string_view::npos);
        const std::string_view lineBreak = fuzz::Break(text, line);
        Check(lineBreak == "\r\n" || lineBreak == "\n" || lineBreak == "\r"
            || (lineBreak.empty() && line.next == text.size()));
        // A lone CR is never followed by an LF: the two would be one CRLF.
        Check(lineBreak != "\r" || line.next == text.size() || text[line.next] != '\n');
        expectedBegin = line.next;
    }
    Check(expectedBegin == text.size());
}

// The first section's first key reads as its stored value.
void CheckFirstKey(std::string_view text, const std::vector<ProfileLine>& lines)
{
    std::size_t header = 0;
    while (header < lines.size() && lines[header].kind != ProfileLineKind::plSection)
        ++header;
    for (std::size_t i = header + 1; i < lines.size() && lines[i].kind != ProfileLineKind::plSection; ++i) {
        if (lines[i].kind != ProfileLineKind::plKey)
            continue;
        std::string_view stored = lines[i].value;
        if (stored.size() >= 2 && (stored.front() == '"' || stored.front() == '\'') && stored.back() == stored.front())
            stored = stored.substr(1, stored.size() - 2);
        const std::optional<std::string> read = ProfileValueIn(text, lines[header].name, lines[i].name);
        Check(read.has_value() && *read == fuzz::ExpectedRead(stored) && read->size() <= kProfileValueMax);
        return;
    }
}

// Any bytes (but line breaks) stored as a value of more than 2,047 bytes read back cut by the rule.
void CheckLongValue(std::string_view data)
{
    if (data.empty())
        return;
    std::string stored;
    while (stored.size() <= kProfileValueMax + data.size() % 8)
        stored += data;
    for (char& c : stored)
        c = (c == '\r' || c == '\n') ? 'x' : c;
    const std::string text = "[s]\r\nk=" + stored + "\r\n";
    const std::vector<ProfileLine> lines = SplitProfileLines(text);
    Check(lines.size() == 2);
    CheckFirstKey(text, lines);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<ProfileLine> lines = SplitProfileLines(text);
    CheckLines(text, lines);
    CheckFirstKey(text, lines);
    CheckLongValue(text);
    const std::string_view lineBreak = ProfileLineBreak(text);
    Check(lineBreak == "\r\n" || lineBreak == "\n" || lineBreak == "\r");
    return 0;
}
