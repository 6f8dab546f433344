#include "IniStuff.h"
#include "SlashPath.h"

#include "SystemPaths.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>

namespace tarvo
{

namespace
{

    constexpr const char* kSettingsName = "Kwendi.ini";
    constexpr const char* kUserSettingsFolder = "tarvo";

    [[nodiscard]] std::string SystemMessage(int error) { return std::strerror(error); }

    // Why no new file can go into the folder, or empty when one can. Up to `missingLevels`
    // folders of the chain may still be missing: they are made before the write.
    [[nodiscard]] std::string FolderProblem(const std::string& path, int missingLevels, ProfileFileIo& io)
    {
        const std::string folder = path.empty() ? std::string(".") : WithoutTrailingSlash(path);
        const ProfileNode node = io.Inspect(folder);
        switch (node.kind) {
        case ProfileNodeKind::pnFolder:
            return io.MayWriteFolder(folder) ? std::string() : "the folder " + folder + " cannot be written";
        case ProfileNodeKind::pnMissing: {
            const std::string parent = FolderOf(folder);
            if (missingLevels == 0 || parent.empty())
                return "the folder " + folder + " does not exist";
            return FolderProblem(parent, missingLevels - 1, io);
        }
        case ProfileNodeKind::pnUnknown:
            return folder + " cannot be examined: " + SystemMessage(node.error);
        case ProfileNodeKind::pnFile:
        case ProfileNodeKind::pnFifo:
        case ProfileNodeKind::pnSocket:
        case ProfileNodeKind::pnDevice:
            break;
        }
        return folder + " is not a folder";
    }

    // "<file> cannot be used: <why>", or what keeps a new file out of its folder, or empty.
    [[nodiscard]] std::string PlaceProblem(const std::string& fileName, int missingLevels, ProfileFileIo& io)
    {
        const std::string problem = UnusableSettingsFile(fileName, io);
        if (!problem.empty())
            return fileName + " cannot be used: " + problem;
        return FolderProblem(FolderOf(fileName), missingLevels, io);
    }

    // The per-user place: "<config>/tarvo/Kwendi.ini". The configuration folder and its "tarvo"
    // folder may be missing, but never the folder that holds the configuration folder: a home
    // that does not exist is not made. The configuration folder is made here when the place can
    // be used, so that EnsureIniFile has one level left to make.
    [[nodiscard]] std::string PerUserProblem(const std::string& userConfigFolder, ProfileFileIo& io)
    {
        if (userConfigFolder.empty())
            return "no home folder is known";
        const std::string config = WithoutTrailingSlash(userConfigFolder);
        const std::string problem = PlaceProblem(config + "/" + kUserSettingsFolder + "/" + kSettingsName, 2, io);
        if (!problem.empty() || io.Inspect(config).kind != ProfileNodeKind::pnMissing)
            return problem;
        const int error = io.MakeFolder(config);
        return error == 0 ? std::string() : "the folder " + config + " cannot be made: " + SystemMessage(error);
    }

    [[nodiscard]] std::string CannotKeep(const std::string& reasons)
    {
        return "The settings cannot be kept (" + reasons
            + "). Tarvo starts with its default settings and saves nothing when it closes.";
    }

    [[nodiscard]] SettingsPlace Chosen(const std::string& fileName, std::string message, ProfileFileIo& io)
    {
        io.RemoveStaleTemporaries(fileName);
        return { fileName, std::move(message) };
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

SettingsPlace ChooseSettingsPlace(ProfileFileIo& io)
{
    const std::string executableFolder = ExecutableFolder();
    return ChooseSettingsPlace(executableFolder, UserConfigFolder(),
        IsInstalledLayout(executableFolder, io) ? executableFolder : std::string(TARVO_INSTALL_BINDIR), io);
}

bool IsInstalledLayout(const std::string& executableFolder, ProfileFileIo& io)
{
    return !executableFolder.empty()
        && io.Inspect(WithTrailingSlash(executableFolder) + TARVO_INSTALLED_HELP_FILE).kind == ProfileNodeKind::pnFile;
}

SettingsPlace ChooseSettingsPlace(const std::string& executableFolder, const std::string& userConfigFolder,
    const std::string& installedFolder, ProfileFileIo& io)
{
    // An installed program shares its folder with every user (and root could write there),
    // so it keeps settings per user; a program run from its build or unpacked folder keeps
    // them beside itself.
    const bool installed
        = !installedFolder.empty() && WithTrailingSlash(executableFolder) == WithTrailingSlash(installedFolder);
    // The program's own folder is used only when a file can be created in it: a write replaces
    // the file by renaming a new one over it, so a writable file in a read-only folder would
    // still refuse every write. That is no news to tell (an unpacked copy on a read-only disk);
    // a name there that cannot hold the settings is.
    const std::string besideProgram = WithTrailingSlash(executableFolder) + kSettingsName;
    std::string besideProblem;
    if (!installed) {
        besideProblem = UnusableSettingsFile(besideProgram, io);
        if (besideProblem.empty() && io.MayWriteFolder(WithoutTrailingSlash(executableFolder)))
            return Chosen(besideProgram, {}, io);
    }
    const std::string perUserProblem = PerUserProblem(userConfigFolder, io);
    if (perUserProblem.empty()) {
        const std::string perUser = WithTrailingSlash(userConfigFolder) + kUserSettingsFolder + "/" + kSettingsName;
        return Chosen(perUser,
            besideProblem.empty() ? std::string()
                                  : "The settings file " + besideProgram + " cannot be used (" + besideProblem
                    + "); the settings are kept in " + perUser + " instead.",
            io);
    }
    std::string reasons;
    if (!installed) {
        reasons = besideProblem.empty() ? "the folder " + WithoutTrailingSlash(executableFolder) + " cannot be written"
                                        : besideProgram + " cannot be used: " + besideProblem;
        reasons += "; ";
    }
    return { {}, CannotKeep(reasons + perUserProblem) };
}

SettingsPlace CheckSettingsPlace(const std::string& fileName, ProfileFileIo& io)
{
    const std::string problem = PlaceProblem(fileName, 1, io);
    return problem.empty() ? Chosen(fileName, {}, io) : SettingsPlace { {}, CannotKeep(problem) };
}

std::string UnusableSettingsFile(const std::string& fileName, ProfileFileIo& io)
{
    std::string text;
    const ProfileNode node = io.Load(fileName, text);
    switch (node.kind) {
    case ProfileNodeKind::pnMissing:
        return {};
    case ProfileNodeKind::pnFile:
        return node.error == 0 ? std::string() : "it cannot be read: " + SystemMessage(node.error);
    case ProfileNodeKind::pnFolder:
        return "it is a folder";
    case ProfileNodeKind::pnFifo:
        return "it is a FIFO";
    case ProfileNodeKind::pnSocket:
        return "it is a socket";
    case ProfileNodeKind::pnDevice:
        return "it is a device";
    case ProfileNodeKind::pnUnknown:
        break;
    }
    return "it cannot be examined: " + SystemMessage(node.error);
}

void EnsureIniFile(const std::string& fileName, ProfileFileIo& io)
{
    const std::string folder = FolderOf(fileName);
    if (folder.empty() || io.Inspect(folder).kind == ProfileNodeKind::pnFolder)
        return;
    [[maybe_unused]] const int error = io.MakeFolder(folder);
    if (io.Inspect(folder).kind != ProfileNodeKind::pnFolder)
        throw IniError("Could not create " + folder);
}

void ReadIniString(const std::string& fileName, const std::string& section, const std::string& key, std::string& value,
    const std::string& defaultValue, ProfileFileIo& io)
{
    value = ProfileReadString(fileName, section, key, io).value_or(defaultValue);
}

int ReadIniInteger(const std::string& fileName, const std::string& section, const std::string& key, int defaultValue,
    ProfileFileIo& io)
{
    const std::optional<std::string> text = ProfileReadString(fileName, section, key, io);
    return text ? IniTextToInteger(*text, defaultValue) : defaultValue;
}

void WriteIniInteger(
    const std::string& fileName, const std::string& section, const std::string& key, int value, ProfileFileIo& io)
{
    IniWriteBatch batch;
    batch.WriteInteger(section, key, value);
    batch.Commit(fileName, io);
}

void WriteIniString(const std::string& fileName, const std::string& section, const std::string& key,
    const std::string& value, ProfileFileIo& io)
{
    IniWriteBatch batch;
    batch.WriteString(section, key, value);
    batch.Commit(fileName, io);
}

void IniWriteBatch::WriteInteger(const std::string& section, const std::string& key, int value)
{
    m_edits.push_back({ ProfileEditKind::peWrite, section, key, std::to_string(value) });
}

void IniWriteBatch::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    // Moved in the text before the one replacement: no moment on disk lacks the key.
    m_edits.push_back({ ProfileEditKind::peWriteAtEnd, section, key, value });
}

void IniWriteBatch::Commit(const std::string& fileName, ProfileFileIo& io) const
{
    if (m_edits.empty())
        return;
    EnsureIniFile(fileName, io);
    if (!ProfileWriteEdits(fileName, m_edits, io))
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
