#pragma once

#include <optional>
#include <string>
#include <string_view>

// The settings file's few calls into the operating system, one implementation file per system.
namespace tarvo::profile_io
{

// The whole file; a missing file reads as empty (exists false), any other failure as nullopt.
[[nodiscard]] std::optional<std::string> LoadFile(const std::string& fileName, bool& exists);

// Whether this process may change the existing file; never one without any write permission bit,
// whoever runs the program.
[[nodiscard]] bool IsWritableFile(const std::string& fileName);

// Replaces the file's whole content atomically: written beside it, synced, renamed over it.
[[nodiscard]] bool ReplaceFile(const std::string& fileName, std::string_view text);

} // namespace tarvo::profile_io
