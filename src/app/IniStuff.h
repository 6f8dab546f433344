#pragma once

#include <functional>
#include <stdexcept>
#include <string>

namespace tarvo
{

// Raised when the settings folder cannot be created or a write is refused.
class IniError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Where "Could not create <file>" goes; the main window shows it in a message box. By default
// it is written to standard error.
using IniMessageSink = std::function<void(const std::string& message)>;
void SetIniMessageSink(IniMessageSink sink);

// The name of the settings file: the executable's folder + "Kwendi.ini"; when that folder is
// not writable, the file there cannot be used (one message then says why), or the program runs
// from the folder it was installed to, the per-user configuration folder + "tarvo/Kwendi.ini".
[[nodiscard]] std::string SettingsFileName();
// The same choice for explicit folders, so it can be tested. installedFolder: the folder the
// build installs executables to (empty: none); SettingsFileName() also counts a program as
// installed when IsInstalledLayout says so.
[[nodiscard]] std::string SettingsFileName(
    const std::string& executableFolder, const std::string& userConfigFolder, const std::string& installedFolder = {});

// Whether the program in executableFolder lies where an install put it: its help file in
// ../share/tarvo (the build tree keeps it beside the program). A package installed to /usr from
// a build configured for /usr/local, and one unpacked into another root, are installed too.
[[nodiscard]] bool IsInstalledLayout(const std::string& executableFolder);

// Why a settings file of that name cannot be used ("it is a folder", "it cannot be read"), or
// empty when it can (a missing file can be made).
[[nodiscard]] std::string UnusableSettingsFile(const std::string& fileName);

void EnsureIniFile(const std::string& fileName);
void ReadIniString(const std::string& fileName, const std::string& section, const std::string& key, std::string& value,
    const std::string& defaultValue);
[[nodiscard]] int ReadIniInteger(
    const std::string& fileName, const std::string& section, const std::string& key, int defaultValue);
void WriteIniInteger(const std::string& fileName, const std::string& section, const std::string& key, int value);
void WriteIniString(
    const std::string& fileName, const std::string& section, const std::string& key, const std::string& value);

// The integer rules of the settings file: decimal (optionally signed), "0x"/"0X" + hex digits
// (more than two characters in all) or "$" + hex digits; anything else, or out of range, gives
// the default.
[[nodiscard]] int IniTextToInteger(const std::string& text, int defaultValue);

} // namespace tarvo
