#pragma once

#include "ProfileFile.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace tarvo
{

// Raised when the settings folder cannot be created or a write is refused.
class IniError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Where the settings are kept this run, chosen once at start-up.
struct SettingsPlace {
    std::string fileName; // empty: nowhere; the defaults apply and nothing is written
    std::string message; // what the user is told once about a place that could not be used
};

// The executable's folder + "Kwendi.ini"; when that folder is not writable, the file there cannot
// be used (the message says why), or the program runs from the folder it was installed to, the
// per-user configuration folder + "tarvo/Kwendi.ini"; when that cannot hold the file either,
// nowhere (the message says why). Nothing is opened for writing and nothing that is not a regular
// file is opened at all; only the per-user configuration folder itself is made when it is
// missing and chosen. Temporary files that a killed write left beside the chosen file are removed.
[[nodiscard]] SettingsPlace ChooseSettingsPlace(ProfileFileIo& io = HostProfileFileIo());
// The same choice for explicit folders. installedFolder: the folder the build installs
// executables to (empty: none); ChooseSettingsPlace() also counts a program as installed when
// IsInstalledLayout says so.
[[nodiscard]] SettingsPlace ChooseSettingsPlace(const std::string& executableFolder,
    const std::string& userConfigFolder, const std::string& installedFolder = {},
    ProfileFileIo& io = HostProfileFileIo());
// The same checks for a settings file the caller names.
[[nodiscard]] SettingsPlace CheckSettingsPlace(const std::string& fileName, ProfileFileIo& io = HostProfileFileIo());

// Why a settings file of that name cannot be used ("it is a folder", "it is a FIFO", "it cannot
// be read: …"), or empty when it can (a missing file can be made).
[[nodiscard]] std::string UnusableSettingsFile(const std::string& fileName, ProfileFileIo& io = HostProfileFileIo());

// Whether the program in executableFolder lies where an install put it: its help file in
// ../share/tarvo (the build tree keeps it beside the program). A package installed to /usr from
// a build configured for /usr/local, and one unpacked into another root, are installed too.
[[nodiscard]] bool IsInstalledLayout(const std::string& executableFolder, ProfileFileIo& io = HostProfileFileIo());

// Makes the file's folder when it is missing (one level only), or raises IniError "Could not
// create <folder>". The file itself is made by the write that follows, in its one replacement.
void EnsureIniFile(const std::string& fileName, ProfileFileIo& io = HostProfileFileIo());

// Reads never make, open for writing or wait for anything: a missing or unusable file gives the
// defaults.
void ReadIniString(const std::string& fileName, const std::string& section, const std::string& key, std::string& value,
    const std::string& defaultValue, ProfileFileIo& io = HostProfileFileIo());
[[nodiscard]] int ReadIniInteger(const std::string& fileName, const std::string& section, const std::string& key,
    int defaultValue, ProfileFileIo& io = HostProfileFileIo());
// Each is a batch of one write (below).
void WriteIniInteger(const std::string& fileName, const std::string& section, const std::string& key, int value,
    ProfileFileIo& io = HostProfileFileIo());
void WriteIniString(const std::string& fileName, const std::string& section, const std::string& key,
    const std::string& value, ProfileFileIo& io = HostProfileFileIo());

// Writes gathered and committed in one atomic replacement of the file: a kill at any moment
// leaves the file with all of them or none.
class IniWriteBatch
{
public:
    // As WriteIniInteger: the key's line gets the decimal value in place (or is added).
    void WriteInteger(const std::string& section, const std::string& key, int value);
    // As WriteIniString: the key is written anew at the end of its section.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    // EnsureIniFile, then one replacement. IniError "Unable to write to <file>" when the file
    // cannot be written, or when it refused one of the writes: the others are still written, so a
    // folder name that the format cannot hold costs no other setting.
    void Commit(const std::string& fileName, ProfileFileIo& io = HostProfileFileIo()) const;

private:
    std::vector<ProfileEdit> m_edits;
};

// The integer rules of the settings file: decimal (optionally signed), "0x"/"0X" + hex digits
// (more than two characters in all) or "$" + hex digits; anything else, or out of range, gives
// the default.
[[nodiscard]] int IniTextToInteger(const std::string& text, int defaultValue);

} // namespace tarvo
