#include "ProfileFileIo.h"
#include "SlashPath.h"
#include "UniqueFd.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tarvo
{

namespace
{

    [[nodiscard]] ProfileNodeKind KindOf(mode_t mode)
    {
        if (S_ISREG(mode))
            return ProfileNodeKind::pnFile;
        if (S_ISDIR(mode))
            return ProfileNodeKind::pnFolder;
        if (S_ISFIFO(mode))
            return ProfileNodeKind::pnFifo;
        if (S_ISSOCK(mode))
            return ProfileNodeKind::pnSocket;
        return ProfileNodeKind::pnDevice;
    }

    [[nodiscard]] ProfileNode Failure(int error)
    {
        // A name below something that is not a folder names nothing, as a missing one does.
        if (error == ENOENT || error == ENOTDIR)
            return {};
        return { ProfileNodeKind::pnUnknown, error };
    }

    [[nodiscard]] std::string BaseOf(const std::string& path)
    {
        const auto slash = path.rfind('/');
        return slash == std::string::npos ? path : path.substr(slash + 1);
    }

    [[nodiscard]] std::optional<std::string> ReadLink(const std::string& path)
    {
        std::vector<char> buffer(256);
        for (;;) {
            const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
            if (length < 0)
                return std::nullopt;
            if (static_cast<std::size_t>(length) < buffer.size())
                return std::string(buffer.data(), static_cast<std::size_t>(length));
            buffer.resize(buffer.size() * 2);
        }
    }

    // The name a replacement writes: links are followed, a chain of them too, to the name at the
    // end, which need not exist yet. nullopt for a loop or a link that cannot be read.
    [[nodiscard]] std::optional<std::string> ReplacementTarget(const std::string& path)
    {
        constexpr int kMaxLinks = 40; // what the system itself follows before ELOOP
        std::string current = path;
        for (int hop = 0; hop <= kMaxLinks; ++hop) {
            struct stat info = {};
            if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
                return current;
            const std::optional<std::string> target = ReadLink(current);
            if (!target || target->empty())
                return std::nullopt;
            current = target->starts_with('/') ? *target : FolderOf(current) + *target;
        }
        return std::nullopt;
    }

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

    // ".Kwendi.ini.<pid>-<serial>.tmp": the pid says whose it is, so a later start can tell the
    // leftovers of a killed process from a file another running copy is writing.
    [[nodiscard]] std::string TemporaryPrefix(const std::string& target) { return "." + BaseOf(target) + "."; }

    // A new temporary file beside the target; its descriptor, or -errno.
    [[nodiscard]] int CreateTemporary(const std::string& target, std::string& name)
    {
        static std::atomic<unsigned> serial { 0 };
        for (int attempt = 0; attempt < 100; ++attempt) {
            name = FolderOf(target) + TemporaryPrefix(target) + std::to_string(::getpid()) + "-"
                + std::to_string(serial++) + ".tmp";
            const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd >= 0 || errno != EEXIST)
                return fd >= 0 ? fd : -errno;
        }
        return -EEXIST;
    }

    // The rename itself reaches the disk only when the folder is synced; failing that is no
    // reason to call the write failed.
    void SyncFolder(const std::string& folder)
    {
        const UniqueFd fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (fd.Get() >= 0) {
            [[maybe_unused]] const int synced = ::fsync(fd.Get());
        }
    }

    // The pid of a name "<prefix><pid>-<serial>.tmp", or 0 when the name is not of that pattern.
    [[nodiscard]] pid_t TemporaryOwner(std::string_view name, std::string_view prefix)
    {
        constexpr std::string_view kSuffix = ".tmp";
        if (!name.starts_with(prefix) || !name.ends_with(kSuffix) || name.size() <= prefix.size() + kSuffix.size())
            return 0;
        const std::string_view middle = name.substr(prefix.size(), name.size() - prefix.size() - kSuffix.size());
        const auto dash = middle.find('-');
        if (dash == 0 || dash == std::string_view::npos || dash + 1 == middle.size() || dash > 9)
            return 0;
        const std::string_view pid = middle.substr(0, dash);
        if (pid.find_first_not_of("0123456789") != std::string_view::npos
            || middle.substr(dash + 1).find_first_not_of("0123456789") != std::string_view::npos)
            return 0;
        return static_cast<pid_t>(std::strtol(std::string(pid).c_str(), nullptr, 10));
    }

    [[nodiscard]] bool ProcessIsGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

    class PosixProfileFileIo final : public ProfileFileIo
    {
    public:
        ProfileNode Inspect(const std::string& path) override
        {
            struct stat info = {};
            if (::stat(path.c_str(), &info) != 0)
                return Failure(errno);
            return { KindOf(info.st_mode), 0 };
        }

        ProfileNode Load(const std::string& path, std::string& text) override;

        bool MayWriteFile(const std::string& path) override
        {
            struct stat info = {};
            if (::stat(path.c_str(), &info) == 0 && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
                return false; // root could replace it (the new text is renamed over it), but must not either
            return ::access(path.c_str(), W_OK) == 0;
        }

        bool MayWriteFolder(const std::string& folder) override
        {
            struct stat info = {};
            return !folder.empty() && ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)
                && ::access(folder.c_str(), W_OK | X_OK) == 0;
        }

        // Settings are the user's own: nobody else needs to look into a folder made for them.
        int MakeFolder(const std::string& folder) override { return ::mkdir(folder.c_str(), 0700) == 0 ? 0 : errno; }

        int Replace(const std::string& path, std::string_view text) override;
        void RemoveStaleTemporaries(const std::string& path) override;
    };

    ProfileNode PosixProfileFileIo::Load(const std::string& path, std::string& text)
    {
        text.clear();
        const ProfileNode node = Inspect(path);
        if (node.kind != ProfileNodeKind::pnFile)
            return node;
        // Not blocking even if a FIFO took the file's place since it was examined.
        const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (fd.Get() < 0)
            return errno == ENOENT || errno == ENOTDIR ? ProfileNode {}
                                                       : ProfileNode { ProfileNodeKind::pnFile, errno };
        struct stat info = {};
        if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))
            return { KindOf(info.st_mode), 0 };
        char buffer[16384];
        for (;;) {
            const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                text.clear();
                return { ProfileNodeKind::pnFile, errno };
            }
            if (got == 0)
                break;
            text.append(buffer, static_cast<std::size_t>(got));
        }
        return { ProfileNodeKind::pnFile, 0 };
    }

    // The new text goes to a file beside the old one, is synced and renamed over it. The old
    // file's permission bits and (where allowed) owner carry over; a new file gets 0666 less umask.
    int PosixProfileFileIo::Replace(const std::string& path, std::string_view text)
    {
        const std::optional<std::string> target = ReplacementTarget(path);
        if (!target)
            return ELOOP;
        struct stat old = {};
        const bool hadFile = ::stat(target->c_str(), &old) == 0;
        if (hadFile && !S_ISREG(old.st_mode))
            return EINVAL;
        std::string temporary;
        const int fd = CreateTemporary(*target, temporary);
        if (fd < 0)
            return -fd;
        bool ok = WriteAll(fd, text);
        if (ok && hadFile) {
            // Not being allowed to hand the file back to its owner is no reason to refuse.
            [[maybe_unused]] const int chownResult = ::fchown(fd, old.st_uid, old.st_gid);
            ok = ::fchmod(fd, old.st_mode & 07777) == 0;
        }
        errno = 0;
        ok = ok && ::fsync(fd) == 0;
        int error = ok ? 0 : (errno != 0 ? errno : EIO);
        if (::close(fd) != 0 && error == 0)
            error = errno;
        if (error == 0 && ::rename(temporary.c_str(), target->c_str()) != 0)
            error = errno;
        if (error != 0) {
            ::unlink(temporary.c_str());
            return error;
        }
        SyncFolder(FolderOf(*target));
        return 0;
    }

    void PosixProfileFileIo::RemoveStaleTemporaries(const std::string& path)
    {
        const std::optional<std::string> target = ReplacementTarget(path);
        if (!target)
            return;
        const std::string folder = FolderOf(*target);
        const std::string prefix = TemporaryPrefix(*target);
        DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
        if (dir == nullptr)
            return;
        while (const dirent* entry = ::readdir(dir)) {
            const pid_t owner = TemporaryOwner(entry->d_name, prefix);
            if (owner <= 0 || owner == ::getpid() || !ProcessIsGone(owner))
                continue;
            const std::string name = folder + entry->d_name;
            struct stat info = {};
            if (::lstat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode))
                ::unlink(name.c_str());
        }
        ::closedir(dir);
    }

} // namespace

ProfileFileIo& HostProfileFileIo()
{
    static PosixProfileFileIo io;
    return io;
}

} // namespace tarvo
