#include "HistoryFiles.h"
#include "UniqueFd.h"

#include "SystemPaths.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvo
{

namespace
{

    constexpr mode_t kFolderMode = 0700;
    constexpr mode_t kFileMode = 0600;
    // SQLite's files begin with these 16 bytes.
    constexpr char kSqliteHeader[] = "SQLite format 3";

    std::string Reason(int error) { return std::strerror(error); }

    bool Exists(const std::string& path)
    {
        struct stat status {
        };
        return ::lstat(path.c_str(), &status) == 0;
    }

    std::string DamagedName(const std::string& fileName, std::chrono::system_clock::time_point now, int number)
    {
        const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
        std::tm local {};
        ::localtime_r(&seconds, &local);
        char date[32] = {};
        std::strftime(date, sizeof date, "%Y-%m-%d-%H%M%S", &local);
        const std::size_t slash = fileName.rfind('/');
        const std::size_t dot = fileName.rfind('.');
        const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
        const std::string stem = hasExtension ? fileName.substr(0, dot) : fileName;
        const std::string extension = hasExtension ? fileName.substr(dot) : std::string();
        const std::string numbered = number > 1 ? "-" + std::to_string(number) : std::string();
        return stem + "-damaged-" + date + numbered + extension;
    }

} // namespace

std::string DefaultHistoryFileName()
{
    const std::string folder = UserStateFolder();
    if (folder.empty())
        return {};
    return (folder == "/" ? std::string() : folder) + "/tarvo/history.sqlite";
}

std::string FolderOfFile(const std::string& fileName)
{
    const std::size_t slash = fileName.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : fileName.substr(0, slash);
}

HistoryFileCheck CheckHistoryFile(const std::string& fileName)
{
    struct stat status {
    };
    if (::lstat(fileName.c_str(), &status) != 0) {
        if (errno == ENOENT)
            return { HistoryFileState::hfsMissing, {} };
        return { HistoryFileState::hfsUnreadable, Reason(errno) };
    }
    if (!S_ISREG(status.st_mode))
        return { HistoryFileState::hfsUnreadable, S_ISDIR(status.st_mode) ? "it is a folder" : "it is no file" };
    const UniqueFd file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (file.Get() < 0)
        return { HistoryFileState::hfsUnreadable, Reason(errno) };
    char header[sizeof kSqliteHeader] = {};
    const ssize_t got = ::pread(file.Get(), header, sizeof header, 0);
    if (got < 0)
        return { HistoryFileState::hfsUnreadable, Reason(errno) };
    if (got == 0)
        return { HistoryFileState::hfsUsable, {} };
    if (static_cast<std::size_t>(got) < sizeof header || std::memcmp(header, kSqliteHeader, sizeof header) != 0)
        return { HistoryFileState::hfsNotDatabase, "it is not a database" };
    return { HistoryFileState::hfsUsable, {} };
}

std::string MakePrivateFolder(const std::string& folder)
{
    if (folder.empty())
        return "no folder is known for it";
    // Each missing folder on the way down is made private; existing ones are left as they are.
    for (std::size_t next = folder.find('/', 1);; next = folder.find('/', next + 1)) {
        const std::string part = folder.substr(0, next);
        if (::mkdir(part.c_str(), kFolderMode) != 0 && errno != EEXIST)
            return Reason(errno);
        if (next == std::string::npos)
            break;
    }
    struct stat status {
    };
    if (::stat(folder.c_str(), &status) != 0)
        return Reason(errno);
    if (!S_ISDIR(status.st_mode))
        return "it is no folder";
    if ((status.st_mode & 07777) != kFolderMode && status.st_uid == ::geteuid()
        && ::chmod(folder.c_str(), kFolderMode) != 0)
        return Reason(errno);
    return {};
}

std::string MakePrivateFile(const std::string& fileName)
{
    const UniqueFd file(::open(fileName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, kFileMode));
    if (file.Get() < 0)
        return Reason(errno);
    struct stat status {
    };
    if (::fstat(file.Get(), &status) != 0)
        return Reason(errno);
    if ((status.st_mode & 07777) != kFileMode && status.st_uid == ::geteuid() && ::fchmod(file.Get(), kFileMode) != 0)
        return Reason(errno);
    return {};
}

MovedAside MoveHistoryFileAside(const std::string& fileName, std::chrono::system_clock::time_point now)
{
    std::string target;
    for (int number = 1;; ++number) {
        target = DamagedName(fileName, now, number);
        if (!Exists(target) && !Exists(target + "-wal") && !Exists(target + "-shm"))
            break;
    }
    if (::rename(fileName.c_str(), target.c_str()) != 0)
        return { {}, Reason(errno) };
    for (const char* suffix : { "-wal", "-shm" }) {
        const std::string companion = fileName + suffix;
        if (Exists(companion) && ::rename(companion.c_str(), (target + suffix).c_str()) != 0
            && ::unlink(companion.c_str()) != 0)
            return { target, "its " + std::string(suffix + 1) + " file stayed: " + Reason(errno) };
    }
    return { target, {} };
}

} // namespace tarvo
