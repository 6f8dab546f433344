// Editing any text: a write reads back as written, a delete leaves no line of its key, and every
// line the edit does not own keeps its bytes and its line break (but for the one CR that must
// become CRLF to keep the empty line after it); our lines take the text's line break.

#include "FuzzReference.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

using namespace tarvo;
using fuzz::Check;

namespace
{

struct Kept {
    std::string content;
    std::string lineBreak;
};

// The lines an edit of this key does not own: all but the key's lines in the first section of
// that name. hadSection: whether that section is there.
std::vector<Kept> KeptLines(std::string_view text, std::string_view section, std::string_view key, bool& hadSection)
{
    const std::vector<ProfileLine> lines = SplitProfileLines(text);
    std::vector<Kept> kept;
    int state = 0; // 0 before the section, 1 in it, 2 after it
    for (const ProfileLine& line : lines) {
        if (line.kind == ProfileLineKind::plSection)
            state = state == 0 && fuzz::Lower(line.name) == fuzz::Lower(section) ? 1 : state == 1 ? 2 : state;
        else if (state == 1 && line.kind == ProfileLineKind::plKey && fuzz::Lower(line.name) == fuzz::Lower(key))
            continue;
        kept.push_back({ std::string(fuzz::Content(text, line)), std::string(fuzz::Break(text, line)) });
    }
    hadSection = state != 0;
    return kept;
}

// Kept lines match one for one in content; a line break may change only from a lone CR to CRLF
// or, on the text's last line, from none to the text's own.
void CheckKept(const std::vector<Kept>& before, const std::vector<Kept>& after, std::string_view lineBreak)
{
    Check(after.size() >= before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        Check(after[i].content == before[i].content);
        const bool same = after[i].lineBreak == before[i].lineBreak;
        const bool keptApart = before[i].lineBreak == "\r" && after[i].lineBreak == "\r\n";
        const bool terminated
            = i + 1 == before.size() && before[i].lineBreak.empty() && after[i].lineBreak == lineBreak;
        Check(same || keptApart || terminated);
    }
}

// How many lines of the key the first section of that name holds, when its last key line is
// one of them; 0 otherwise.
int KeyLinesAtEnd(std::string_view text, std::string_view section, std::string_view key)
{
    const std::vector<ProfileLine> lines = SplitProfileLines(text);
    int count = 0;
    bool lastIsKey = false;
    int state = 0;
    for (const ProfileLine& line : lines) {
        if (line.kind == ProfileLineKind::plSection)
            state = state == 0 && fuzz::Lower(line.name) == fuzz::Lower(section) ? 1 : state == 1 ? 2 : state;
        else if (state == 1 && line.kind == ProfileLineKind::plKey) {
            lastIsKey = fuzz::Lower(line.name) == fuzz::Lower(key);
            count += lastIsKey ? 1 : 0;
        }
    }
    return lastIsKey ? count : 0;
}

// The name as a person might have typed it: letters in either case, blanks around.
std::string Variant(FuzzedDataProvider& input, std::string_view name)
{
    std::string typed = std::string(input.ConsumeIntegralInRange(0, 2), ' ') + std::string(name);
    const auto flips = input.ConsumeIntegral<std::uint16_t>();
    for (std::size_t i = 0; i < typed.size() && i < 16; ++i) {
        char& c = typed[i];
        if ((flips >> i & 1) != 0 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            c = static_cast<char>(c ^ 0x20);
    }
    return typed + std::string(input.ConsumeIntegralInRange(0, 2), '\t');
}

// A text of lines that often name the edit's own section and key, so that duplicates, sections
// written twice and every mix of line breaks come up at once; any bytes may still come in.
std::string MakeText(FuzzedDataProvider& input, std::string_view section, std::string_view key)
{
    std::string text = input.ConsumeBool() ? "\xEF\xBB\xBF" : "";
    while (input.remaining_bytes() > 0 && text.size() < 4096) {
        switch (input.ConsumeIntegralInRange(0, 6)) {
        case 0:
            text += "[" + Variant(input, section) + "]";
            break;
        case 1:
            text += Variant(input, key) + "=" + input.ConsumeRandomLengthString(8);
            break;
        case 2:
            text += "[" + input.ConsumeRandomLengthString(4) + "]";
            break;
        case 3:
            text += input.ConsumeRandomLengthString(4) + "=" + input.ConsumeRandomLengthString(4);
            break;
        case 4:
            text += ";" + input.ConsumeRandomLengthString(4);
            break;
        case 5:
            break; // an empty line
        default:
            text += input.ConsumeRandomLengthString(16);
            break;
        }
        text += input.PickValueInArray({ "\r\n", "\n", "\r", "" });
    }
    return text;
}

std::string Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\v\f");
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t\v\f") - first + 1));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    ProfileEdit edit;
    edit.kind = input.PickValueInArray(
        { ProfileEditKind::peWrite, ProfileEditKind::peWriteAtEnd, ProfileEditKind::peDelete });
    edit.section = input.ConsumeRandomLengthString(8);
    edit.key = input.ConsumeRandomLengthString(8);
    edit.value = input.ConsumeBool()
        ? input.ConsumeRandomLengthString(40)
        : std::string(2000 + input.ConsumeIntegral<std::uint8_t>(), 'a') + input.ConsumeRandomLengthString(80);
    const std::string before = MakeText(input, edit.section, edit.key);

    std::string text = before;
    const bool written = ApplyProfileEdit(text, edit);
    if (!written) {
        Check(text == before && edit.kind != ProfileEditKind::peDelete);
        return 0;
    }
    const std::string section = Trimmed(edit.section);
    const std::string key = Trimmed(edit.key);
    bool hadSection = false;
    bool hasSection = false;
    const std::vector<Kept> keptBefore = KeptLines(before, section, key, hadSection);
    const std::vector<Kept> keptAfter = KeptLines(text, section, key, hasSection);
    const std::string_view lineBreak = ProfileLineBreak(before);
    CheckKept(keptBefore, keptAfter, lineBreak);

    const std::optional<std::string> read = ProfileValueIn(text, section, key);
    if (edit.kind == ProfileEditKind::peDelete) {
        Check(!read && keptAfter.size() == keptBefore.size() && hasSection == hadSection);
        return 0;
    }
    Check(read == fuzz::ExpectedRead(edit.value));
    if (edit.kind == ProfileEditKind::peWriteAtEnd)
        Check(KeyLinesAtEnd(text, section, key) == 1);
    // Nothing but the key's line, and a header when the section was new, was added.
    Check(keptAfter.size() == keptBefore.size() + (hadSection ? 0 : 1));
    if (!hadSection)
        Check(keptAfter.back().content == "[" + section + "]" && keptAfter.back().lineBreak == lineBreak);
    std::string again = text;
    Check(ApplyProfileEdit(again, edit, lineBreak) && again == text);
    return 0;
}
