#include "ProfileFileIo.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarvo::profile_io
{

namespace
{

    [[nodiscard]] bool WriteAll(int fd, std::string_view text)
    {
        while (!text.empty()) {
            const ssize_t done = ::write(fd, text.data(), text.size());
            if (done < 0 && errno == EINTR)
                continue;
            if (done <= 0)
                return false;
            text.remove_prefix(static_cast<std::size_t>(done));
        }
        return true;
    }

    // A symbolic link stays a link: the file it points to is the one replaced.
    [[nodiscard]] std::string ReplacementTarget(const std::string& fileName)
    {
        struct stat info = {};
        if (::lstat(fileName.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return fileName;
        char* resolved = ::realpath(fileName.c_str(), nullptr);
        if (resolved == nullptr)
            return fileName;
        std::string target(resolved);
        std::free(resolved);
        return target;
    }

} // namespace

std::optional<std::string> LoadFile(const std::string& fileName, bool& exists)
{
    exists = false;
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? std::optional<std::string>(std::string()) : std::nullopt;
    exists = true;
    std::string text;
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return text;
}

// Writes the new text to a file beside the old one and renames it over, so a crash or a
// full disk leaves either the old file or the new one, never a mixture. The old file's
// permission bits and (where allowed) owner carry over; a new file gets 0666 less umask.
bool ReplaceFile(const std::string& fileName, std::string_view text)
{
    static std::atomic<unsigned> serial { 0 };
    const std::string target = ReplacementTarget(fileName);
    struct stat old = {};
    const bool hadFile = ::stat(target.c_str(), &old) == 0;
    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

    std::string tempName;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tempName = folder + "." + base + "." + std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".tmp";
        fd = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;

    bool ok = WriteAll(fd, text);
    if (ok && hadFile) {
        // Not being allowed to hand the file back to its owner is no reason to refuse.
        [[maybe_unused]] const int chownResult = ::fchown(fd, old.st_uid, old.st_gid);
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(tempName.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(tempName.c_str());
    return ok;
}

bool IsWritableFile(const std::string& fileName)
{
    // A file that nobody may write is its owner's "leave this alone": root could replace it
    // (the new text is renamed over it), but must not either.
    struct stat info = {};
    if (::stat(fileName.c_str(), &info) == 0 && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    return ::access(fileName.c_str(), W_OK) == 0;
}

} // namespace tarvo::profile_io
