#include "SystemPaths.h"

#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tarvo
{

namespace
{

    [[nodiscard]] std::string WithTrailingSlash(std::string folder)
    {
        if (!folder.empty() && folder.back() != '/')
            folder += '/';
        return folder;
    }

    [[nodiscard]] std::string WithoutTrailingSlash(std::string folder)
    {
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder;
    }

    [[nodiscard]] std::string EnvironmentValue(const char* name)
    {
        const char* value = std::getenv(name);
        return value == nullptr ? std::string() : std::string(value);
    }

} // namespace

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
