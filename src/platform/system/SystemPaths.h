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
// Per-user state folder ($XDG_STATE_HOME, else ~/.local/state), without a trailing separator
// (unless the root); empty when no home is known.
[[nodiscard]] std::string UserStateFolder();
// The desktop's standard folders, as the freedesktop.org base-directory and user-directory
// rules name them.
enum class XdgFolder {
    xfDesktop, // XDG_DESKTOP_DIR of user-dirs.dirs, else ~/Desktop
    xfTemplates, // XDG_TEMPLATES_DIR, else ~/Templates
    xfConfig, // $XDG_CONFIG_HOME, else ~/.config
    xfFonts, // $XDG_DATA_HOME/fonts
    xfTrash, // $XDG_DATA_HOME/Trash/files
    xfAutostart, // $XDG_CONFIG_HOME/autostart
    xfSystemAutostart, // /etc/xdg/autostart
    xfApplications, // $XDG_DATA_HOME/applications
    xfSystemApplications, // /usr/share/applications
};
// The folder's path without a trailing separator, whether it exists or not; empty when the home
// folder is unknown.
[[nodiscard]] std::string XdgFolderPath(XdgFolder folder);
// True when files can be created in the folder.
[[nodiscard]] bool FolderIsWritable(const std::string& folder);

} // namespace tarvo
