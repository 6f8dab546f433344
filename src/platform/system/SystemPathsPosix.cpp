#include "SlashPath.h"
#include "SystemPaths.h"

#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tarvo
{

namespace
{

    [[nodiscard]] std::string EnvironmentValue(const char* name)
    {
        const char* value = std::getenv(name);
        return value == nullptr ? std::string() : std::string(value);
    }

    // $variable, else home + fallbackBelowHome; a relative value is invalid and ignored.
    [[nodiscard]] std::string BaseFolder(const char* variable, const char* fallbackBelowHome)
    {
        const std::string value = EnvironmentValue(variable);
        if (value.starts_with('/'))
            return WithoutTrailingSlash(value);
        const std::string home = HomeFolder();
        return home.empty() ? std::string() : home + fallbackBelowHome;
    }

    [[nodiscard]] std::string DataHome() { return BaseFolder("XDG_DATA_HOME", "/.local/share"); }

    // A value of user-dirs.dirs: "$HOME/Desktop" or an absolute path, in double quotes.
    [[nodiscard]] std::string UserDir(const std::string& key, const std::string& fallbackName)
    {
        const std::string home = HomeFolder();
        if (home.empty())
            return {};
        std::ifstream dirs(UserConfigFolder() + "user-dirs.dirs");
        std::string line;
        while (std::getline(dirs, line)) {
            if (!line.starts_with(key + "=\"") || line.size() < key.size() + 3 || line.back() != '"')
                continue;
            std::string value = line.substr(key.size() + 2, line.size() - key.size() - 3);
            if (value.starts_with("$HOME"))
                value = home + value.substr(5);
            if (value.starts_with('/'))
                return WithoutTrailingSlash(value);
        }
        return home + "/" + fallbackName;
    }

} // namespace

std::string UserStateFolder() { return BaseFolder("XDG_STATE_HOME", "/.local/state"); }

std::string XdgFolderPath(XdgFolder folder)
{
    const std::string config = WithoutTrailingSlash(UserConfigFolder());
    switch (folder) {
    case XdgFolder::xfDesktop:
        return UserDir("XDG_DESKTOP_DIR", "Desktop");
    case XdgFolder::xfTemplates:
        return UserDir("XDG_TEMPLATES_DIR", "Templates");
    case XdgFolder::xfConfig:
        return config;
    case XdgFolder::xfFonts:
        return DataHome().empty() ? std::string() : DataHome() + "/fonts";
    case XdgFolder::xfTrash:
        return DataHome().empty() ? std::string() : DataHome() + "/Trash/files";
    case XdgFolder::xfAutostart:
        return config.empty() ? std::string() : config + "/autostart";
    case XdgFolder::xfSystemAutostart:
        return "/etc/xdg/autostart";
    case XdgFolder::xfApplications:
        return DataHome().empty() ? std::string() : DataHome() + "/applications";
    case XdgFolder::xfSystemApplications:
        return "/usr/share/applications";
    }
    return {};
}

std::string ExecutablePath()
{
    // The link's target can be longer than any fixed buffer; grow until it fits.
    std::vector<char> buffer(1024);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return {};
        if (static_cast<std::size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

std::string ExecutableFolder()
{
    const std::string path = ExecutablePath();
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string UserConfigFolder()
{
    // A relative $XDG_CONFIG_HOME is invalid and must be ignored.
    const std::string configHome = EnvironmentValue("XDG_CONFIG_HOME");
    if (configHome.starts_with('/'))
        return WithTrailingSlash(configHome);
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : WithTrailingSlash(home) + ".config/";
}

std::string HomeFolder()
{
    const std::string home = EnvironmentValue("HOME");
    if (!home.empty())
        return WithoutTrailingSlash(home);
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry {};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr
        || found->pw_dir == nullptr)
        return {};
    return WithoutTrailingSlash(found->pw_dir);
}

bool FolderIsWritable(const std::string& folder)
{
    struct stat info = {};
    return !folder.empty() && ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)
        && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

} // namespace tarvo
