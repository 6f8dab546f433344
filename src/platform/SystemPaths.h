#pragma once

#include <string>

namespace tarvo
{

// Full path of the running executable; empty when the system does not say.
[[nodiscard]] std::string ExecutablePath();
// Folder of the running executable, with a trailing separator.
[[nodiscard]] std::string ExecutableFolder();
// Per-user configuration folder ($XDG_CONFIG_HOME, else ~/.config), with a trailing separator.
[[nodiscard]] std::string UserConfigFolder();
// The user's home folder.
[[nodiscard]] std::string HomeFolder();
// True when files can be created in the folder.
[[nodiscard]] bool FolderIsWritable(const std::string& folder);

} // namespace tarvo
