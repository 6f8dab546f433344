#pragma once

#include <optional>
#include <string>

namespace tarvo
{

// Initialisation-file access with the semantics of the classic profile-string functions:
// section and key names match without regard to case (after trimming blanks), values are
// trimmed and lose one pair of enclosing quotes, ";" starts a comment line, and every line a
// write does not touch is kept byte for byte. Each call opens, reads or rewrites, and closes
// the file; nothing is cached.

// Longest value text a read returns (the classic 2048-character buffer less its terminator).
inline constexpr std::size_t kProfileValueMax = 2047;

// The key's value, or nullopt when the file, section or key is missing.
[[nodiscard]] std::optional<std::string> ProfileReadString(
    const std::string& fileName, const std::string& section, const std::string& key);

// Writes key=value into the section, creating section and key as needed; the file is replaced
// atomically (written beside it, then renamed). false when it cannot be written.
[[nodiscard]] bool ProfileWriteString(
    const std::string& fileName, const std::string& section, const std::string& key, const std::string& value);

// Removes the key's line (the first one, when duplicated). true when the file is as wanted
// afterwards (including when the key was absent), false when it cannot be written.
[[nodiscard]] bool ProfileDeleteKey(const std::string& fileName, const std::string& section, const std::string& key);

} // namespace tarvo
