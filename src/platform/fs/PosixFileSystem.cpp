// The host file system over raw Linux calls. Every folder operation is relative to an open
// directory descriptor, so depth is never limited by PATH_MAX, and a walker may open, list and
// examine folders from several threads at once.

#include "FileSystem.h"
#include "InotifyWatcher.h"
#include "MountTable.h"
#include "UniqueFd.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <unordered_set>
#include <utility>

namespace tarvo
{

namespace
{

    constexpr int kFolderOpenFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    constexpr std::size_t kDirentBufferBytes = 64 * 1024;

    struct DevIno {
        std::uint64_t device;
        std::uint64_t inode;
        bool operator==(const DevIno&) const = default;
    };
    struct DevInoHash {
        std::size_t operator()(const DevIno& id) const noexcept
        {
            return std::hash<std::uint64_t> {}(id.inode * 0x9e3779b97f4a7c15ULL ^ id.device);
        }
    };

    // What the mount table said when a scan began. Built by OpenFolder and handed from each
    // folder to the folders opened from it, so workers share it without locking and a scan
    // keeps one consistent view even when another scan starts meanwhile.
    struct MountSnapshot {
        // (device, inode) of every reachable real mount point. A bind mount shares the
        // identity of its source folder, so that source is flagged too: both are the same
        // folder for the walker's loop guard.
        std::unordered_set<DevIno, DevInoHash> mountRoots;
        // Devices of pseudo mounts: devtmpfs reports tmpfs's magic to fstatfs, only its device
        // gives it away.
        std::vector<std::uint64_t> pseudoDevices;
    };
    using MountSnapshotPtr = std::shared_ptr<const MountSnapshot>;

    class PosixFolderHandle final : public FolderHandle
    {
    public:
        PosixFolderHandle(UniqueFd& fd, const FolderIdentity& identity, MountSnapshotPtr mounts)
            : m_fd(fd.Release())
            , m_identity(identity)
            , m_mounts(std::move(mounts))
        {
        }
        ~PosixFolderHandle() override { ::close(m_fd); }

        [[nodiscard]] FolderIdentity Identity() const override { return m_identity; }
        [[nodiscard]] int Fd() const { return m_fd; }
        [[nodiscard]] const MountSnapshotPtr& Mounts() const { return m_mounts; }

    private:
        int m_fd;
        FolderIdentity m_identity;
        MountSnapshotPtr m_mounts;
    };

    // Handles given to this file system come from it; a checked cast would cost a lookup per entry.
    PosixFolderHandle& Posix(FolderHandle& handle)
    {
        assert(dynamic_cast<PosixFolderHandle*>(&handle) != nullptr && "a folder handle of another file system");
        return static_cast<PosixFolderHandle&>(handle);
    }

    // One buffer per thread rather than per handle: hundreds of folders may be open at once.
    char* DirentBuffer()
    {
        thread_local std::unique_ptr<char[]> buffer;
        if (!buffer)
            buffer = std::make_unique_for_overwrite<char[]>(kDirentBufferBytes);
        return buffer.get();
    }

    EntryKind KindOfDirentType(unsigned char type)
    {
        switch (type) {
        case DT_DIR:
            return EntryKind::ekFolder;
        case DT_REG:
            return EntryKind::ekFile;
        case DT_LNK:
            return EntryKind::ekLink;
        case DT_FIFO:
        case DT_SOCK:
        case DT_CHR:
        case DT_BLK:
            return EntryKind::ekOther;
        default:
            return EntryKind::ekUnknown;
        }
    }

    EntryKind KindOfMode(mode_t mode)
    {
        if (S_ISREG(mode))
            return EntryKind::ekFile;
        if (S_ISDIR(mode))
            return EntryKind::ekFolder;
        if (S_ISLNK(mode))
            return EntryKind::ekLink;
        return EntryKind::ekOther;
    }

    // A single component that names something inside the folder, never the folder or its parent.
    // Stores errno value `code` where the caller asked for it; a failed open returns this.
    std::nullptr_t ReportError(int* error, int code)
    {
        if (error)
            *error = code;
        return nullptr;
    }

    // The system reads a path only up to a NUL: a path or name holding one would stand for
    // another place than the one asked for, so it names none.
    bool NamesNoPlace(const std::string& path) { return path.empty() || path.find('\0') != std::string::npos; }

    bool IsPlainName(const std::string& name)
    {
        return !NamesNoPlace(name) && name != "." && name != ".." && name.find('/') == std::string::npos;
    }

    bool IsDotOrDotDot(const char* name, std::size_t length)
    {
        return name[0] == '.' && (length == 1 || (length == 2 && name[1] == '.'));
    }

    // Opens a path of any length. The kernel takes at most PATH_MAX bytes in one call; a longer
    // path is walked one name at a time, each relative to the folder before it, which resolves
    // links and ".." just as the kernel would. errno tells why it failed (-1 returned).
    int OpenAnyLength(const std::string& path, int flags)
    {
        const int fd = ::open(path.c_str(), flags);
        if (fd >= 0 || errno != ENAMETOOLONG)
            return fd;
        constexpr int kStepFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
        int at = ::open(path.front() == '/' ? "/" : ".", kStepFlags);
        std::size_t start = path.find_first_not_of('/');
        int result = -1;
        while (at >= 0) {
            if (start == std::string::npos) { // only separators follow: the folder reached is it
                result = ::openat(at, ".", flags);
                break;
            }
            const std::size_t end = path.find('/', start);
            const std::string name = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
            start = end == std::string::npos ? end : path.find_first_not_of('/', end);
            const bool last = start == std::string::npos;
            const int next = ::openat(at, name.c_str(), last ? flags : kStepFlags);
            if (last || next < 0) {
                result = next;
                break;
            }
            ::close(at);
            at = next;
        }
        const int reason = errno;
        if (at >= 0)
            ::close(at);
        errno = reason;
        return result;
    }

    // Pending folders of a parallel walk each hold a descriptor; the soft limit is often 1,024.
    void RaiseDescriptorLimit()
    {
        static std::once_flag once;
        std::call_once(once, [] {
            rlimit limit {};
            if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
                limit.rlim_cur = limit.rlim_max;
                (void)::setrlimit(RLIMIT_NOFILE, &limit);
            }
        });
    }

    MountSnapshotPtr TakeMountSnapshot()
    {
        auto snapshot = std::make_shared<MountSnapshot>();
        const MountTable table = MountTable::ReadLive();
        const std::vector<MountEntry>& entries = table.Entries();
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const MountEntry& entry = entries[i];
            if (IsPseudoFileSystemType(entry.fsType)) {
                snapshot->pseudoDevices.push_back(makedev(entry.major, entry.minor));
                continue;
            }
            if (table.IsHidden(i))
                continue;
            // Never trigger an automount nor wait for a remote server just to learn an identity.
            struct statx info = {};
            if (::statx(AT_FDCWD, entry.mountPoint.c_str(), AT_NO_AUTOMOUNT | AT_STATX_DONT_SYNC | AT_SYMLINK_NOFOLLOW,
                    STATX_INO, &info)
                == 0)
                snapshot->mountRoots.insert({ makedev(info.stx_dev_major, info.stx_dev_minor), info.stx_ino });
        }
        return snapshot;
    }

    bool IsPseudoFolder(int fd, std::uint64_t device, const MountSnapshot& mounts)
    {
        if (std::find(mounts.pseudoDevices.begin(), mounts.pseudoDevices.end(), device) != mounts.pseudoDevices.end())
            return true;
        struct statfs info = {};
        return ::fstatfs(fd, &info) == 0 && IsPseudoFileSystemMagic(static_cast<std::uint64_t>(info.f_type));
    }

    // For folders whose parent was not opened by us: a different device above, or no folder
    // above at all ("/"), makes a mount root.
    bool DeviceDiffersAbove(int fd, const struct stat& own)
    {
        struct stat above = {};
        if (::fstatat(fd, "..", &above, 0) != 0)
            return false;
        return above.st_dev != own.st_dev || above.st_ino == own.st_ino;
    }

    FolderHandlePtr MakeHandle(UniqueFd& fd, const struct stat& info, bool isMountRoot, MountSnapshotPtr mounts)
    {
        FolderIdentity identity { info.st_dev, info.st_ino, isMountRoot };
        return std::make_shared<PosixFolderHandle>(fd, identity, std::move(mounts));
    }

    class PosixFileSystem final : public FileSystem
    {
    public:
        PosixFileSystem() { RaiseDescriptorLimit(); }

        [[nodiscard]] const PathStyle& Style() const override { return PathStyle::Host(); }
        [[nodiscard]] FolderHandlePtr OpenFolder(const std::string& path, int* error = nullptr) override;
        [[nodiscard]] FolderHandlePtr OpenChild(
            FolderHandle& parent, const std::string& name, int* error = nullptr) override;
        [[nodiscard]] FolderHandlePtr OpenParent(FolderHandle& folder) override;
        bool ReadBatch(FolderHandle& folder, std::vector<DirEntry>& out, int* error = nullptr) override;
        bool StatEntry(FolderHandle& folder, DirEntry& entry, int* error = nullptr) override;
        [[nodiscard]] bool FolderExists(const std::string& path) override;
        [[nodiscard]] std::int64_t FreeBytes(const std::string& volumeRoot) override;
        [[nodiscard]] std::string VolumeOf(const std::string& path) override;
        [[nodiscard]] bool IsVolumeRoot(const std::string& path) override;
        [[nodiscard]] std::vector<VolumeInfo> Volumes() override { return MountTable::ReadLive().Volumes(); }
        bool InspectEntry(FolderHandle& folder, const std::string& name, bool askLinkCount, EntryDetails& out) override;
        bool InspectPath(const std::string& path, bool askLinkCount, EntryDetails& out) override;
        [[nodiscard]] std::unique_ptr<FolderWatcher> MakeFolderWatcher() override { return MakeInotifyWatcher(); }

    private:
        // The path with links resolved as far as it exists; a missing rest is kept literally.
        [[nodiscard]] std::string ResolveExisting(const std::string& path) const;
    };

    FolderHandlePtr PosixFileSystem::OpenFolder(const std::string& path, int* error)
    {
        ReportError(error, 0);
        if (NamesNoPlace(path))
            return ReportError(error, ENOENT);
        UniqueFd fd(OpenAnyLength(path, kFolderOpenFlags));
        struct stat info = {};
        if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0)
            return ReportError(error, errno);
        // A scan starts here, so this is where mounts made since the last one are learnt.
        MountSnapshotPtr mounts = TakeMountSnapshot();
        if (IsPseudoFolder(fd.Get(), info.st_dev, *mounts))
            return nullptr;
        bool isMountRoot
            = mounts->mountRoots.contains({ info.st_dev, info.st_ino }) || DeviceDiffersAbove(fd.Get(), info);
        return MakeHandle(fd, info, isMountRoot, std::move(mounts));
    }

    FolderHandlePtr PosixFileSystem::OpenChild(FolderHandle& parent, const std::string& name, int* error)
    {
        ReportError(error, 0);
        if (!IsPlainName(name))
            return ReportError(error, EINVAL);
        PosixFolderHandle& from = Posix(parent);
        UniqueFd fd(::openat(from.Fd(), name.c_str(), kFolderOpenFlags | O_NOFOLLOW));
        struct stat info = {};
        if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0)
            return ReportError(error, errno);
        const MountSnapshot& mounts = *from.Mounts();
        bool crossesDevice = info.st_dev != from.Identity().device;
        if (crossesDevice && IsPseudoFolder(fd.Get(), info.st_dev, mounts))
            return nullptr;
        bool isMountRoot = crossesDevice || mounts.mountRoots.contains({ info.st_dev, info.st_ino });
        return MakeHandle(fd, info, isMountRoot, from.Mounts());
    }

    FolderHandlePtr PosixFileSystem::OpenParent(FolderHandle& folder)
    {
        PosixFolderHandle& from = Posix(folder);
        UniqueFd fd(::openat(from.Fd(), "..", kFolderOpenFlags));
        struct stat info = {};
        if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0)
            return nullptr;
        if (info.st_dev == from.Identity().device && info.st_ino == from.Identity().inode)
            return nullptr; // ".." of "/" is "/" itself
        bool isMountRoot
            = from.Mounts()->mountRoots.contains({ info.st_dev, info.st_ino }) || DeviceDiffersAbove(fd.Get(), info);
        return MakeHandle(fd, info, isMountRoot, from.Mounts());
    }

    bool PosixFileSystem::ReadBatch(FolderHandle& folder, std::vector<DirEntry>& out, int* error)
    {
        ReportError(error, 0);
        const int fd = Posix(folder).Fd();
        char* buffer = DirentBuffer();
        constexpr std::size_t kNameOffset = offsetof(dirent64, d_name);
        for (;;) {
            long count = ::syscall(SYS_getdents64, fd, buffer, kDirentBufferBytes);
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0)
                ReportError(error, errno);
            if (count <= 0)
                return false;
            bool appended = false;
            for (long offset = 0; offset < count;) {
                const char* record = buffer + offset;
                unsigned short recordLength = 0;
                std::memcpy(&recordLength, record + offsetof(dirent64, d_reclen), sizeof recordLength);
                if (recordLength <= kNameOffset)
                    return appended; // a malformed buffer: keep what was read, stop this folder
                offset += recordLength;
                const char* name = record + kNameOffset;
                const std::size_t nameLength = ::strnlen(name, recordLength - kNameOffset);
                if (IsDotOrDotDot(name, nameLength))
                    continue;
                const auto type = static_cast<unsigned char>(record[offsetof(dirent64, d_type)]);
                out.push_back(DirEntry { std::string(name, nameLength), KindOfDirentType(type), 0 });
                appended = true;
            }
            // A buffer holding only "." and ".." is not the end: read on.
            if (appended)
                return true;
        }
    }

    bool PosixFileSystem::StatEntry(FolderHandle& folder, DirEntry& entry, int* error)
    {
        ReportError(error, 0);
        if (!IsPlainName(entry.name)) {
            ReportError(error, ENOENT); // no such entry can be in a listing
            return false;
        }
        struct stat info = {};
        if (::fstatat(Posix(folder).Fd(), entry.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            ReportError(error, errno);
            return false;
        }
        entry.kind = KindOfMode(info.st_mode);
        const bool hasSize = entry.kind == EntryKind::ekFile || entry.kind == EntryKind::ekLink;
        entry.sizeBytes = hasSize ? static_cast<std::int64_t>(info.st_size) : 0;
        entry.linkCount = info.st_nlink;
        return true;
    }

    // What statx says of an entry reached from dirFd, and of a link's target. pseudoDevice tells a
    // folder on another device whether a pseudo file system is mounted there.
    bool Inspect(int dirFd, const char* name, std::uint64_t parentDevice, bool askLinkCount,
        const std::function<bool(std::uint64_t device)>& pseudoDevice, EntryDetails& out)
    {
        const unsigned int mask = STATX_TYPE | (askLinkCount ? STATX_NLINK : 0U);
        // An automount point is reported as it stands, and a network mount from its cached
        // attributes: examining an entry must neither mount anything nor wait for a server.
        struct statx info = {};
        if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | AT_STATX_DONT_SYNC, mask, &info) != 0)
            return false;
        EntryDetails details;
        details.kind = KindOfMode(info.stx_mode);
        details.compressed = (info.stx_attributes_mask & info.stx_attributes & STATX_ATTR_COMPRESSED) != 0;
        if (askLinkCount && (info.stx_mask & STATX_NLINK) != 0)
            details.linkCount = info.stx_nlink;
        if (details.kind == EntryKind::ekFolder) {
            const std::uint64_t device = makedev(info.stx_dev_major, info.stx_dev_minor);
            details.pseudoMount = device != parentDevice && pseudoDevice(device);
        } else if (details.kind == EntryKind::ekLink) {
            struct stat target = {};
            details.linksToFolder = ::fstatat(dirFd, name, &target, 0) == 0 && S_ISDIR(target.st_mode);
            if (details.linksToFolder && askLinkCount)
                details.linkCount = target.st_nlink;
        }
        out = details;
        return true;
    }

    bool PosixFileSystem::InspectEntry(
        FolderHandle& folder, const std::string& name, bool askLinkCount, EntryDetails& out)
    {
        if (!IsPlainName(name))
            return false;
        PosixFolderHandle& from = Posix(folder);
        const auto& pseudo = from.Mounts()->pseudoDevices;
        return Inspect(
            from.Fd(), name.c_str(), from.Identity().device, askLinkCount,
            [&pseudo](std::uint64_t device) { return std::find(pseudo.begin(), pseudo.end(), device) != pseudo.end(); },
            out);
    }

    // Without opening the parent (which reads the mount table): one entry asked after a change
    // must cost a statx, not a scan's set-up.
    bool PosixFileSystem::InspectPath(const std::string& path, bool askLinkCount, EntryDetails& out)
    {
        const std::string parent = Style().Parent(path);
        struct stat above = {};
        if (NamesNoPlace(path) || !Style().IsAbsolute(path) || Style().IsRoot(path)
            || ::stat(parent.c_str(), &above) != 0)
            return false;
        return Inspect(
            AT_FDCWD, path.c_str(), above.st_dev, askLinkCount,
            [&path](std::uint64_t) {
                struct statfs info = {};
                return ::statfs(path.c_str(), &info) == 0
                    && IsPseudoFileSystemMagic(static_cast<std::uint64_t>(info.f_type));
            },
            out);
    }

    bool PosixFileSystem::FolderExists(const std::string& path)
    {
        struct stat info = {};
        if (NamesNoPlace(path))
            return false;
        if (::stat(path.c_str(), &info) == 0)
            return S_ISDIR(info.st_mode);
        // O_PATH needs no read permission, as stat needs none.
        const UniqueFd fd(errno == ENAMETOOLONG ? OpenAnyLength(path, O_PATH | O_DIRECTORY | O_CLOEXEC) : -1);
        return fd.Get() >= 0;
    }

    std::int64_t PosixFileSystem::FreeBytes(const std::string& volumeRoot)
    {
        struct statvfs info = {};
        if (NamesNoPlace(volumeRoot) || ::statvfs(volumeRoot.c_str(), &info) != 0)
            return -1;
        return static_cast<std::int64_t>(info.f_bavail) * static_cast<std::int64_t>(info.f_frsize);
    }

    std::string PosixFileSystem::ResolveExisting(const std::string& path) const
    {
        std::string head = path;
        std::string tail;
        for (;;) {
            std::string resolved = CanonicalPath(head);
            if (!resolved.empty())
                return tail.empty() ? resolved : Style().Join(resolved, tail);
            if (Style().IsRoot(head) || head.empty())
                return path;
            std::string name = Style().FileName(head);
            tail = tail.empty() ? name : Style().Join(name, tail);
            head = Style().Parent(head);
        }
    }

    std::string PosixFileSystem::VolumeOf(const std::string& path)
    {
        if (NamesNoPlace(path) || !Style().IsAbsolute(path))
            return {};
        const MountTable table = MountTable::ReadLive();
        if (table.Entries().empty())
            return Style().RootOf(path); // no table to ask: treat the tree as one volume
        return table.MountPointOf(ResolveExisting(path));
    }

    bool PosixFileSystem::IsVolumeRoot(const std::string& path)
    {
        if (Style().IsRoot(path))
            return true;
        return MountTable::ReadLive().IsMountPoint(path);
    }

} // namespace

std::unique_ptr<FileSystem> MakeHostFileSystem() { return std::make_unique<PosixFileSystem>(); }

} // namespace tarvo
