#include "SystemInfo.h"

#include <charconv>
#include <limits>

namespace tarvo
{

namespace
{

    bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    // The decimal number at the front of text (moved past it); nullopt when there is none or it
    // does not fit.
    template <class T> std::optional<T> TakeNumber(std::string_view& text)
    {
        std::size_t length = 0;
        while (length < text.size() && IsDigit(text[length]))
            ++length;
        T value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + length, value);
        static_cast<void>(end);
        text.remove_prefix(length);
        return error == std::errc() ? std::optional<T>(value) : std::nullopt;
    }

    // Moves past the separator when it comes next; false otherwise.
    bool Skip(std::string_view& text, char separator)
    {
        if (text.empty() || text.front() != separator)
            return false;
        text.remove_prefix(1);
        return true;
    }

    std::string_view Trimmed(std::string_view text)
    {
        while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
            text.remove_prefix(1);
        while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
            text.remove_suffix(1);
        return text;
    }

    // An os-release value as the shell reads it: "double" quotes with \ escaping $ " \ and `,
    // 'single' quotes taken literally, or bare text with \ escaping the next character.
    std::string Unquoted(std::string_view value)
    {
        std::string result;
        char quote = '\0';
        for (std::size_t i = 0; i < value.size(); ++i) {
            const char c = value[i];
            if (quote == '\'') {
                if (c == '\'')
                    quote = '\0';
                else
                    result += c;
            } else if (c == '\\' && i + 1 < value.size()
                && (quote == '\0' || std::string_view("$\"\\`").find(value[i + 1]) != std::string_view::npos)) {
                result += value[++i];
            } else if (c == '"') {
                quote = quote == '"' ? '\0' : '"';
            } else if (c == '\'' && quote == '\0') {
                quote = '\'';
            } else {
                result += c;
            }
        }
        return result;
    }

    template <class Visit> void ForEachLine(std::string_view text, Visit visit)
    {
        while (!text.empty()) {
            const std::size_t end = text.find('\n');
            visit(text.substr(0, end));
            if (end == std::string_view::npos)
                break;
            text.remove_prefix(end + 1);
        }
    }

} // namespace

ProgramVersion BuildVersion() { return ParseProgramVersion(TARVO_VERSION); }

ProgramVersion ParseProgramVersion(std::string_view text)
{
    ProgramVersion version;
    int* const parts[] = { &version.major, &version.minor, &version.release, &version.build };
    for (int* part : parts) {
        *part = TakeNumber<int>(text).value_or(0);
        if (!Skip(text, '.'))
            break;
    }
    return version;
}

KernelVersion ParseKernelRelease(std::string_view release)
{
    KernelVersion version;
    version.major = TakeNumber<int>(release).value_or(0);
    if (Skip(release, '.')) {
        version.minor = TakeNumber<int>(release).value_or(0);
        if (Skip(release, '.'))
            version.build = TakeNumber<std::int64_t>(release).value_or(0);
    }
    return version;
}

std::string OsReleaseValue(std::string_view text, std::string_view key)
{
    std::string found;
    // A later assignment wins, as when the shell sources the file.
    ForEachLine(text, [&](std::string_view line) {
        line = Trimmed(line);
        if (line.empty() || line.front() == '#')
            return;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || line.substr(0, equals) != key)
            return;
        found = Unquoted(line.substr(equals + 1));
    });
    return found;
}

std::optional<std::uint64_t> MeminfoBytes(std::string_view text, std::string_view key)
{
    std::optional<std::uint64_t> bytes;
    ForEachLine(text, [&](std::string_view line) {
        const std::size_t colon = line.find(':');
        if (bytes || colon == std::string_view::npos || line.substr(0, colon) != key)
            return;
        std::string_view rest = Trimmed(line.substr(colon + 1));
        const auto amount = TakeNumber<std::uint64_t>(rest);
        rest = Trimmed(rest);
        // The kernel writes "kB" and means KiB; a line without a unit counts items, not bytes.
        if (!amount || rest != "kB" || *amount > std::numeric_limits<std::uint64_t>::max() / 1024)
            return;
        bytes = *amount * 1024;
    });
    return bytes;
}

} // namespace tarvo
