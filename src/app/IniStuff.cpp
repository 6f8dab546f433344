#include "IniStuff.h"

#include "ProfileFile.h"
#include "SystemPaths.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>

namespace tarvo
{

namespace
{

    namespace fs = std::filesystem;

    constexpr const char* kSettingsName = "Kwendi.ini";
    constexpr const char* kUserSettingsFolder = "tarvo/";

    void WriteToStandardError(const std::string& message) { std::cerr << message << '\n'; }

    IniMessageSink& MessageSink()
    {
        static IniMessageSink sink = WriteToStandardError;
        return sink;
    }

    // A directory or other non-file under the name does not count: the file still has to be made.
    [[nodiscard]] bool SettingsFileExists(const std::string& fileName)
    {
        std::error_code error;
        return fs::is_regular_file(fileName, error);
    }

    void EnsureIniFileExists(const std::string& fileName)
    {
        if (!SettingsFileExists(fileName))
            EnsureIniFile(fileName);
    }

    [[nodiscard]] std::string WithTrailingSlash(std::string folder)
    {
        if (!folder.empty() && folder.back() != '/')
            folder += '/';
        return folder;
    }

    [[nodiscard]] int HexDigit(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    // Digits in the given base, at least one; nullopt when anything else appears or the value
    // passes the limit.
    [[nodiscard]] std::optional<std::uint64_t> ParseDigits(std::string_view digits, int base, std::uint64_t limit)
    {
        if (digits.empty())
            return std::nullopt;
        std::uint64_t value = 0;
        for (const char c : digits) {
            const int digit = HexDigit(c);
            if (digit < 0 || digit >= base)
                return std::nullopt;
            value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
            if (value > limit)
                return std::nullopt;
        }
        return value;
    }

    // "0x" alone is no hexadecimal number (and no decimal one either).
    [[nodiscard]] std::optional<std::string_view> HexDigitsOf(std::string_view text)
    {
        if (text.size() > 2 && (text.starts_with("0x") || text.starts_with("0X")))
            return text.substr(2);
        if (text.starts_with('$'))
            return text.substr(1);
        return std::nullopt;
    }

} // namespace

void SetIniMessageSink(IniMessageSink sink)
{
    MessageSink() = sink ? std::move(sink) : IniMessageSink(WriteToStandardError);
}

std::string SettingsFileName()
{
    const std::string executableFolder = ExecutableFolder();
    return SettingsFileName(executableFolder, UserConfigFolder(),
        IsInstalledLayout(executableFolder) ? executableFolder : std::string(TARVO_INSTALL_BINDIR));
}

bool IsInstalledLayout(const std::string& executableFolder)
{
    std::error_code error;
    return !executableFolder.empty()
        && fs::is_regular_file(WithTrailingSlash(executableFolder) + TARVO_INSTALLED_HELP_FILE, error);
}

std::string SettingsFileName(
    const std::string& executableFolder, const std::string& userConfigFolder, const std::string& installedFolder)
{
    // An installed program shares its folder with every user (and root could write there),
    // so it keeps settings per user; a program run from its build or unpacked folder keeps
    // them beside itself.
    const bool installed
        = !installedFolder.empty() && WithTrailingSlash(executableFolder) == WithTrailingSlash(installedFolder);
    // The program's own folder is used only when a file can be created in it: a write replaces
    // the file by renaming a new one over it, so a writable file in a read-only folder would
    // still refuse every write. A name there that cannot hold the settings (a folder, a file
    // that cannot be read) is said once and left as it is.
    const std::string besideProgram = WithTrailingSlash(executableFolder) + kSettingsName;
    const std::string problem = installed ? std::string() : UnusableSettingsFile(besideProgram);
    if ((!installed && problem.empty() && FolderIsWritable(executableFolder)) || userConfigFolder.empty())
        return besideProgram;
    // The per-user chain (~/.config itself may be missing on a fresh account) is made here, so
    // that EnsureIniFile only ever has the last level to create. A failure shows up there.
    const std::string configFolder = WithTrailingSlash(userConfigFolder);
    std::error_code error;
    fs::create_directories(configFolder, error);
    const std::string perUser = configFolder + kUserSettingsFolder + kSettingsName;
    if (!problem.empty())
        MessageSink()("The settings file " + besideProgram + " cannot be used (" + problem
            + "); the settings are kept in " + perUser + " instead.");
    return perUser;
}

std::string UnusableSettingsFile(const std::string& fileName)
{
    std::error_code error;
    const fs::file_status status = fs::status(fileName, error);
    if (!fs::exists(status))
        return {};
    if (fs::is_directory(status))
        return "it is a folder";
    if (!fs::is_regular_file(status))
        return "it is not a file";
    if (!std::ifstream(fileName, std::ios::binary))
        return "it cannot be read";
    return {};
}

void EnsureIniFile(const std::string& fileName)
{
    const auto slash = fileName.rfind('/');
    if (slash != std::string::npos) {
        const std::string folder = fileName.substr(0, slash + 1);
        std::error_code error;
        if (!fs::is_directory(folder, error)) {
            fs::create_directory(folder, error);
            if (!fs::is_directory(folder, error))
                throw IniError("Could not create " + folder);
        }
    }
    if (SettingsFileExists(fileName))
        return;
    // Appending never truncates a file that appeared meanwhile.
    std::ofstream file(fileName, std::ios::app | std::ios::binary);
    if (!file)
        MessageSink()("Could not create " + fileName);
}

void ReadIniString(const std::string& fileName, const std::string& section, const std::string& key, std::string& value,
    const std::string& defaultValue)
{
    value = defaultValue;
    EnsureIniFileExists(fileName);
    value = ProfileReadString(fileName, section, key).value_or(defaultValue);
}

int ReadIniInteger(const std::string& fileName, const std::string& section, const std::string& key, int defaultValue)
{
    EnsureIniFileExists(fileName);
    const std::optional<std::string> text = ProfileReadString(fileName, section, key);
    return text ? IniTextToInteger(*text, defaultValue) : defaultValue;
}

void WriteIniInteger(const std::string& fileName, const std::string& section, const std::string& key, int value)
{
    EnsureIniFileExists(fileName);
    if (!ProfileWriteString(fileName, section, key, std::to_string(value)))
        throw IniError("Unable to write to " + fileName);
}

void WriteIniString(
    const std::string& fileName, const std::string& section, const std::string& key, const std::string& value)
{
    EnsureIniFileExists(fileName);
    // Storing the value in place first means a value the file refuses never costs the old one,
    // and a failure half-way through the move below has still saved the new value.
    if (!ProfileWriteString(fileName, section, key, value) || !ProfileDeleteKey(fileName, section, key)
        || !ProfileWriteString(fileName, section, key, value))
        throw IniError("Unable to write to " + fileName);
}

int IniTextToInteger(const std::string& text, int defaultValue)
{
    constexpr std::uint64_t kMaxPositive = std::numeric_limits<int>::max();
    constexpr std::uint64_t kMaxBits = std::numeric_limits<std::uint32_t>::max();
    const std::string_view view(text);

    // Hexadecimal is a 32-bit pattern, so "$FFFFFFFF" is -1, just as the classic platform reads
    // it; a hand-edited file that spells a negative number this way keeps meaning the same.
    if (const std::optional<std::string_view> hex = HexDigitsOf(view)) {
        const std::optional<std::uint64_t> bits = ParseDigits(*hex, 16, kMaxBits);
        return bits ? static_cast<int>(static_cast<std::uint32_t>(*bits)) : defaultValue;
    }

    const bool negative = view.starts_with('-');
    const std::string_view digits = (negative || view.starts_with('+')) ? view.substr(1) : view;
    const std::optional<std::uint64_t> magnitude = ParseDigits(digits, 10, kMaxPositive + (negative ? 1 : 0));
    if (!magnitude)
        return defaultValue;
    return negative ? static_cast<int>(-static_cast<std::int64_t>(*magnitude)) : static_cast<int>(*magnitude);
}

} // namespace tarvo
