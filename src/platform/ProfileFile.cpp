#include "ProfileFile.h"

#include "ProfileFileIo.h"

#include <string_view>
#include <vector>

namespace tarvo
{

namespace
{

    // The file is handled as bytes: names are compared with ASCII case folding only, so UTF-8
    // names match exactly as written apart from the case of their ASCII letters.

    constexpr std::string_view kBlanks = " \t\v\f";
    constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
    constexpr std::string_view kLineEnd = "\r\n";

    [[nodiscard]] std::string_view Trim(std::string_view text)
    {
        const auto first = text.find_first_not_of(kBlanks);
        if (first == std::string_view::npos)
            return {};
        return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
    }

    [[nodiscard]] char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

    [[nodiscard]] bool SameName(std::string_view a, std::string_view b)
    {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (FoldCase(a[i]) != FoldCase(b[i]))
                return false;
        }
        return true;
    }

    [[nodiscard]] bool IsQuote(char c) { return c == '"' || c == '\''; }

    [[nodiscard]] bool HasEnclosingQuotes(std::string_view text)
    {
        return text.size() >= 2 && IsQuote(text.front()) && text.back() == text.front();
    }

    enum class LineKind { lkOther, lkSection, lkKey };

    // One physical line of the file. Offsets point into the file's text, so a write can splice
    // its change in and leave every other byte where it was.
    struct ProfileLine {
        std::size_t begin = 0; // first byte of the line
        std::size_t end = 0; // first byte of the line break (or the end of the file)
        std::size_t next = 0; // first byte of the following line
        LineKind kind = LineKind::lkOther;
        std::string_view name; // section or key name, trimmed
        std::string_view value; // key value, trimmed, quotes still on
    };

    [[nodiscard]] ProfileLine ClassifyLine(std::string_view text, ProfileLine line)
    {
        const std::string_view trimmed = Trim(text);
        if (trimmed.empty() || trimmed.front() == ';')
            return line;
        if (trimmed.front() == '[') {
            // A header without its closing bracket is read like any other line, as the classic
            // functions do.
            const auto close = trimmed.rfind(']');
            if (close != std::string_view::npos) {
                line.kind = LineKind::lkSection;
                line.name = Trim(trimmed.substr(1, close - 1));
                return line;
            }
        }
        const auto equals = trimmed.find('=');
        if (equals == std::string_view::npos)
            return line;
        line.kind = LineKind::lkKey;
        line.name = Trim(trimmed.substr(0, equals));
        line.value = Trim(trimmed.substr(equals + 1));
        return line;
    }

    // CRLF, LF and a lone CR all end a line; a UTF-8 byte order mark is kept but not read.
    [[nodiscard]] std::vector<ProfileLine> SplitLines(std::string_view text)
    {
        std::vector<ProfileLine> lines;
        std::size_t pos = text.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
        while (pos < text.size()) {
            ProfileLine line;
            line.begin = pos;
            line.end = text.find_first_of("\r\n", pos);
            if (line.end == std::string_view::npos)
                line.end = text.size();
            line.next = line.end;
            if (line.next < text.size())
                line.next += text.compare(line.next, 2, kLineEnd) == 0 ? 2 : 1;
            lines.push_back(ClassifyLine(text.substr(line.begin, line.end - line.begin), line));
            pos = line.next;
        }
        return lines;
    }

    constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    // Where a key is, or would go. Of duplicated sections and keys only the first counts.
    struct KeyPlace {
        std::size_t section = kNone; // index of the section's header line
        std::size_t lastInSection = kNone; // last key line of the section, else its header
        std::size_t key = kNone; // index of the key's line
    };

    [[nodiscard]] KeyPlace FindKey(
        const std::vector<ProfileLine>& lines, std::string_view section, std::string_view key)
    {
        KeyPlace place;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const ProfileLine& line = lines[i];
            if (line.kind == LineKind::lkSection) {
                if (place.section != kNone)
                    break;
                if (SameName(line.name, section)) {
                    place.section = i;
                    place.lastInSection = i;
                }
            } else if (line.kind == LineKind::lkKey && place.section != kNone) {
                place.lastInSection = i;
                if (place.key == kNone && SameName(line.name, key))
                    place.key = i;
            }
        }
        return place;
    }

    // A value with outer blanks or enclosing quotes would read back changed; one more pair of
    // quotes makes it read back exactly as written.
    [[nodiscard]] std::string EncodeValue(const std::string& value)
    {
        if (Trim(value).size() != value.size() || HasEnclosingQuotes(value))
            return '"' + value + '"';
        return value;
    }

    [[nodiscard]] std::string KeyLine(std::string_view name, const std::string& value)
    {
        return std::string(name) + "=" + EncodeValue(value) + std::string(kLineEnd);
    }

    // Names that would read back as something else (or split the line) are refused.
    [[nodiscard]] bool WritableNames(std::string_view section, std::string_view key, std::string_view value)
    {
        return !section.empty() && !key.empty() && section.find_first_of("]\r\n") == std::string_view::npos
            && key.find_first_of("=\r\n") == std::string_view::npos && key.front() != ';' && key.front() != '['
            && value.find_first_of("\r\n") == std::string_view::npos;
    }

    // Shared by writing and deleting: loads and parses the file, lets the edit change the text,
    // and replaces the file when the text changed.
    template <typename Edit>
    [[nodiscard]] bool EditFile(const std::string& fileName, std::string_view section, std::string_view key, Edit edit)
    {
        bool exists = false;
        std::optional<std::string> text = profile_io::LoadFile(fileName, exists);
        if (!text)
            return false;
        if (exists && !profile_io::IsWritableFile(fileName))
            return false; // a file marked read-only is left alone, as the classic functions do
        // The parsed lines point into this copy while the edit changes the text.
        const std::string before = *text;
        const std::vector<ProfileLine> lines = SplitLines(before);
        edit(*text, lines, FindKey(lines, Trim(section), Trim(key)));
        return *text == before || profile_io::ReplaceFile(fileName, *text);
    }

} // namespace

std::optional<std::string> ProfileReadString(
    const std::string& fileName, const std::string& section, const std::string& key)
{
    bool exists = false;
    const std::optional<std::string> text = profile_io::LoadFile(fileName, exists);
    if (!text || !exists)
        return std::nullopt;
    const std::vector<ProfileLine> lines = SplitLines(*text);
    const KeyPlace place = FindKey(lines, Trim(section), Trim(key));
    if (place.key == kNone)
        return std::nullopt;
    std::string_view value = lines[place.key].value;
    if (HasEnclosingQuotes(value))
        value = value.substr(1, value.size() - 2);
    if (value.size() > kProfileValueMax) {
        // Cut at a character boundary, so the cut never leaves half a UTF-8 sequence.
        std::size_t cut = kProfileValueMax;
        while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80)
            --cut;
        value = value.substr(0, cut);
    }
    return std::string(value);
}

bool ProfileWriteString(
    const std::string& fileName, const std::string& section, const std::string& key, const std::string& value)
{
    const std::string_view sectionName = Trim(section);
    const std::string_view keyName = Trim(key);
    if (!WritableNames(sectionName, keyName, value))
        return false;
    return EditFile(fileName, sectionName, keyName,
        [&](std::string& text, const std::vector<ProfileLine>& lines, const KeyPlace& place) {
            if (place.key != kNone) {
                // The name keeps the spelling it already has in the file.
                const ProfileLine& line = lines[place.key];
                text.replace(line.begin, line.next - line.begin, KeyLine(line.name, value));
            } else if (place.section != kNone) {
                const ProfileLine& last = lines[place.lastInSection];
                const bool unterminated = last.next == last.end;
                text.insert(
                    last.next, (unterminated ? std::string(kLineEnd) : std::string()) + KeyLine(keyName, value));
            } else {
                if (!text.empty() && text.back() != '\n' && text.back() != '\r')
                    text += kLineEnd;
                text += "[" + std::string(sectionName) + "]" + std::string(kLineEnd) + KeyLine(keyName, value);
            }
        });
}

bool ProfileDeleteKey(const std::string& fileName, const std::string& section, const std::string& key)
{
    return EditFile(
        fileName, section, key, [](std::string& text, const std::vector<ProfileLine>& lines, const KeyPlace& place) {
            if (place.key != kNone)
                text.erase(lines[place.key].begin, lines[place.key].next - lines[place.key].begin);
        });
}

} // namespace tarvo
