#include "ProfileFileText.h"

namespace tarvo
{

namespace
{

    // The text is handled as bytes: names are compared with ASCII case folding only, so UTF-8
    // names match exactly as written apart from the case of their ASCII letters.

    constexpr std::string_view kBlanks = " \t\v\f";
    constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
    constexpr std::string_view kCrLf = "\r\n";
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);

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
                line.kind = ProfileLineKind::plSection;
                line.name = Trim(trimmed.substr(1, close - 1));
                return line;
            }
        }
        const auto equals = trimmed.find('=');
        if (equals == std::string_view::npos)
            return line;
        line.kind = ProfileLineKind::plKey;
        line.name = Trim(trimmed.substr(0, equals));
        line.value = Trim(trimmed.substr(equals + 1));
        return line;
    }

    // Where a key is, or would go. Of duplicated sections only the first counts; a key written
    // more than once in it is read from its first line.
    struct KeyPlace {
        std::size_t section = kNone; // index of the section's header line
        std::size_t lastInSection = kNone; // last key line of the section, else its header
        std::vector<std::size_t> keys; // every line of the key in the section, in order
    };

    [[nodiscard]] KeyPlace FindKey(
        const std::vector<ProfileLine>& lines, std::string_view section, std::string_view key)
    {
        KeyPlace place;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const ProfileLine& line = lines[i];
            if (line.kind == ProfileLineKind::plSection) {
                if (place.section != kNone)
                    break;
                if (SameName(line.name, section)) {
                    place.section = i;
                    place.lastInSection = i;
                }
            } else if (line.kind == ProfileLineKind::plKey && place.section != kNone) {
                place.lastInSection = i;
                if (SameName(line.name, key))
                    place.keys.push_back(i);
            }
        }
        return place;
    }

    // The length of the UTF-8 sequence at `at`, or 0 when it is none (overlong forms, surrogates
    // and code points past U+10FFFF included).
    [[nodiscard]] std::size_t Utf8SequenceLength(std::string_view text, std::size_t at)
    {
        const auto lead = static_cast<unsigned char>(text[at]);
        if (lead < 0x80)
            return 1;
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : low;
            high = lead == 0xED ? 0x9F : high;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : low;
            high = lead == 0xF4 ? 0x8F : high;
        }
        if (length == 0 || text.size() - at < length)
            return 0;
        const auto second = static_cast<unsigned char>(text[at + 1]);
        if (second < low || second > high)
            return 0;
        for (std::size_t i = 2; i < length; ++i) {
            if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80)
                return 0;
        }
        return length;
    }

    [[nodiscard]] bool IsUtf8(std::string_view text)
    {
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t length = Utf8SequenceLength(text, at);
            if (length == 0)
                return false;
            at += length;
        }
        return true;
    }

    // Bytes that are not UTF-8 are cut at exactly the limit: only in UTF-8 is there a character
    // that a cut could split.
    [[nodiscard]] std::string_view CutValue(std::string_view value)
    {
        if (value.size() <= kProfileValueMax)
            return value;
        std::size_t cut = kProfileValueMax;
        if (IsUtf8(value)) {
            while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80)
                --cut;
        }
        return value.substr(0, cut);
    }

    // A value with outer blanks or enclosing quotes would read back changed; one more pair of
    // quotes makes it read back exactly as written.
    [[nodiscard]] std::string EncodeValue(std::string_view value)
    {
        if (Trim(value).size() != value.size() || HasEnclosingQuotes(value))
            return '"' + std::string(value) + '"';
        return std::string(value);
    }

    [[nodiscard]] std::string KeyLine(std::string_view name, std::string_view value)
    {
        return std::string(name) + "=" + EncodeValue(value);
    }

    // Names that would read back as something else (or split the line) are refused.
    [[nodiscard]] bool WritableNames(std::string_view section, std::string_view key, std::string_view value)
    {
        return !section.empty() && !key.empty() && section.find_first_of("]\r\n") == std::string_view::npos
            && key.find_first_of("=\r\n") == std::string_view::npos && key.front() != ';' && key.front() != '['
            && value.find_first_of("\r\n") == std::string_view::npos;
    }

    // Text spliced together at `at` reads a lone CR before it and an LF after it as one CRLF,
    // which would swallow the empty line that the LF ends; an LF after the CR keeps it.
    void KeepLinesApart(std::string& text, std::size_t at)
    {
        if (at > 0 && at < text.size() && text[at - 1] == '\r' && text[at] == '\n')
            text.insert(at, 1, '\n');
    }

    void DeleteKeyLines(std::string& text, std::string_view section, std::string_view key)
    {
        const std::vector<ProfileLine> lines = SplitProfileLines(text);
        const KeyPlace place = FindKey(lines, section, key);
        if (place.keys.empty())
            return;
        std::string kept;
        std::vector<std::size_t> cuts;
        std::size_t from = 0;
        for (const std::size_t index : place.keys) {
            kept.append(text, from, lines[index].begin - from);
            if (cuts.empty() || cuts.back() != kept.size())
                cuts.push_back(kept.size());
            from = lines[index].next;
        }
        kept.append(text, from);
        // From the back, so that a line break added at one cut leaves the others where they are.
        for (auto cut = cuts.rbegin(); cut != cuts.rend(); ++cut)
            KeepLinesApart(kept, *cut);
        text = std::move(kept);
    }

    void WriteKeyLine(std::string& text, std::string_view section, std::string_view key, std::string_view value,
        const std::string& lineBreak)
    {
        const std::vector<ProfileLine> lines = SplitProfileLines(text);
        const KeyPlace place = FindKey(lines, section, key);
        if (!place.keys.empty()) {
            // The name keeps the spelling it already has, the line its own line break.
            const ProfileLine& line = lines[place.keys.front()];
            text.replace(line.begin, line.end - line.begin, KeyLine(line.name, value));
        } else if (place.section != kNone) {
            const ProfileLine& last = lines[place.lastInSection];
            const bool unterminated = last.next == last.end;
            const std::string added = (unterminated ? lineBreak : std::string()) + KeyLine(key, value) + lineBreak;
            text.insert(last.next, added);
            KeepLinesApart(text, last.next + added.size());
        } else {
            const bool onlyMark = text == kUtf8Bom;
            if (!text.empty() && !onlyMark && text.back() != '\n' && text.back() != '\r')
                text += lineBreak;
            text += "[" + std::string(section) + "]" + lineBreak + KeyLine(key, value) + lineBreak;
        }
    }

} // namespace

std::vector<ProfileLine> SplitProfileLines(std::string_view text)
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
            line.next += text.compare(line.next, 2, kCrLf) == 0 ? 2 : 1;
        lines.push_back(ClassifyLine(text.substr(line.begin, line.end - line.begin), line));
        pos = line.next;
    }
    return lines;
}

std::string_view ProfileLineBreak(std::string_view text)
{
    const auto at = text.find_first_of("\r\n");
    if (at == std::string_view::npos)
        return kCrLf;
    if (text[at] == '\n')
        return "\n";
    return text.compare(at, 2, kCrLf) == 0 ? kCrLf : "\r";
}

std::optional<std::string> ProfileValueIn(std::string_view text, std::string_view section, std::string_view key)
{
    const std::vector<ProfileLine> lines = SplitProfileLines(text);
    const KeyPlace place = FindKey(lines, Trim(section), Trim(key));
    if (place.keys.empty())
        return std::nullopt;
    std::string_view value = lines[place.keys.front()].value;
    if (HasEnclosingQuotes(value))
        value = value.substr(1, value.size() - 2);
    return std::string(CutValue(value));
}

bool ApplyProfileEdit(std::string& text, const ProfileEdit& edit, std::string_view lineBreak)
{
    const std::string_view section = Trim(edit.section);
    const std::string_view key = Trim(edit.key);
    if (edit.kind != ProfileEditKind::peDelete && !WritableNames(section, key, edit.value))
        return false;
    // Taken before the delete: keeping an empty line apart may turn the first line break into CRLF.
    const std::string ours(lineBreak.empty() ? ProfileLineBreak(text) : lineBreak);
    if (edit.kind != ProfileEditKind::peWrite)
        DeleteKeyLines(text, section, key);
    if (edit.kind != ProfileEditKind::peDelete)
        WriteKeyLine(text, section, key, edit.value, ours);
    return true;
}

} // namespace tarvo
