#pragma once

#include "ProfileFileIo.h"
#include "ProfileFileText.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvo
{

// Initialisation-file access with the semantics of the classic profile-string functions:
// section and key names match without regard to case (after trimming blanks), values are
// trimmed and lose one pair of enclosing quotes, ";" starts a comment line, and every line a
// write does not touch is kept byte for byte (ProfileFileText.h has the rules). Each call opens,
// reads or rewrites, and closes the file; nothing is cached. A read never writes or creates
// anything, and reads nothing but a regular file.

// The key's value, or nullopt when the file, section or key is missing or the file cannot be read.
[[nodiscard]] std::optional<std::string> ProfileReadString(const std::string& fileName, const std::string& section,
    const std::string& key, ProfileFileIo& io = HostProfileFileIo());

// Applies the edits in order and replaces the file once with the result: a kill at any moment
// leaves the file as it was or with every edit. An edit that cannot be written (a value holding a
// line break) is left out and costs no other. true when every edit was written; false when one
// was left out or the file cannot be read or written (then nothing is). A file nobody may write
// is left alone.
[[nodiscard]] bool ProfileWriteEdits(
    const std::string& fileName, const std::vector<ProfileEdit>& edits, ProfileFileIo& io = HostProfileFileIo());

// Writes key=value into the section, creating section and key as needed (one edit).
[[nodiscard]] bool ProfileWriteString(const std::string& fileName, const std::string& section, const std::string& key,
    const std::string& value, ProfileFileIo& io = HostProfileFileIo());

// Removes every line of the key in the section. true when the file is as wanted afterwards
// (including when the key or the file was absent: nothing is created then).
[[nodiscard]] bool ProfileDeleteKey(const std::string& fileName, const std::string& section, const std::string& key,
    ProfileFileIo& io = HostProfileFileIo());

} // namespace tarvo
