#include "MountTable.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <map>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace tarvo
{

namespace
{

    // The one list of kernel file systems that are never scanned nor offered as volumes. The
    // magic is what fstatfs reports; 0 where a type shares another's magic (devtmpfs is a
    // tmpfs inside) and can only be recognised through the mount table.
    struct PseudoType {
        std::string_view name;
        std::uint32_t magic;
    };
    constexpr std::array kPseudoTypes {
        PseudoType { "proc", PROC_SUPER_MAGIC },
        PseudoType { "sysfs", SYSFS_MAGIC },
        PseudoType { "devtmpfs", 0 },
        PseudoType { "devpts", DEVPTS_SUPER_MAGIC },
        PseudoType { "cgroup", CGROUP_SUPER_MAGIC },
        PseudoType { "cgroup2", CGROUP2_SUPER_MAGIC },
        PseudoType { "cpuset", CGROUP_SUPER_MAGIC }, // the legacy name of a cgroup v1 mount
        PseudoType { "debugfs", DEBUGFS_MAGIC },
        PseudoType { "tracefs", TRACEFS_MAGIC },
        PseudoType { "securityfs", SECURITYFS_MAGIC },
        PseudoType { "pstore", PSTOREFS_MAGIC },
        PseudoType { "bpf", BPF_FS_MAGIC },
        PseudoType { "configfs", 0x62656570 },
        PseudoType { "fusectl", 0x65735543 },
        PseudoType { "mqueue", 0x19800202 },
        PseudoType { "hugetlbfs", HUGETLBFS_MAGIC },
        PseudoType { "autofs", AUTOFS_SUPER_MAGIC },
        PseudoType { "binfmt_misc", BINFMTFS_MAGIC },
        PseudoType { "efivarfs", EFIVARFS_MAGIC },
        PseudoType { "nsfs", NSFS_MAGIC },
        PseudoType { "selinuxfs", SELINUX_MAGIC },
        PseudoType { "smackfs", SMACK_MAGIC },
        PseudoType { "rpc_pipefs", 0x67596969 },
        PseudoType { "nfsd", 0x6e667364 },
        PseudoType { "binder", BINDERFS_SUPER_MAGIC },
        PseudoType { "xenfs", XENFS_SUPER_MAGIC },
        PseudoType { "sockfs", SOCKFS_MAGIC },
        PseudoType { "pipefs", PIPEFS_MAGIC },
        PseudoType { "anon_inodefs", ANON_INODE_FS_MAGIC },
    };

    constexpr std::array<std::string_view, 21> kRemoteTypes { "nfs", "nfs4", "cifs", "smb3", "smbfs", "sshfs",
        "fuse.sshfs", "9p", "virtiofs", "afs", "ceph", "fuse.ceph", "glusterfs", "fuse.glusterfs", "lustre", "gpfs",
        "ncpfs", "coda", "davfs", "fuse.rclone", "fuse.s3fs" };

    bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

    // True when ancestor is path itself or a folder above it.
    bool PathContains(std::string_view ancestor, std::string_view path)
    {
        if (ancestor == "/")
            return !path.empty() && path.front() == '/';
        if (!path.starts_with(ancestor))
            return false;
        return path.size() == ancestor.size() || path[ancestor.size()] == '/';
    }

    template <typename Number> bool ParseNumber(std::string_view text, Number& value)
    {
        const char* end = text.data() + text.size();
        auto [ptr, ec] = std::from_chars(text.data(), end, value);
        return ec == std::errc() && ptr == end && !text.empty();
    }

    std::string_view NextField(std::string_view& rest)
    {
        std::size_t space = rest.find(' ');
        std::string_view field = rest.substr(0, space);
        rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
        return field;
    }

    // Reads a short sysfs attribute such as "removable"; empty when it is missing.
    std::string ReadSmallFile(const std::string& path)
    {
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return {};
        char text[64];
        ssize_t count = ::read(fd, text, sizeof text);
        ::close(fd);
        return count > 0 ? std::string(text, static_cast<std::size_t>(count)) : std::string();
    }

    // The block device behind a mount: the source node when it is one (btrfs and fuseblk show
    // an anonymous device in the table), else the table's major:minor.
    dev_t BlockDeviceOf(const MountEntry& mount)
    {
        struct stat info = {};
        if (mount.source.starts_with("/dev/") && ::stat(mount.source.c_str(), &info) == 0 && S_ISBLK(info.st_mode))
            return info.st_rdev;
        return makedev(mount.major, mount.minor);
    }

    bool IsRemovableDevice(dev_t device)
    {
        if (major(device) == 0)
            return false; // anonymous device: no disk behind it
        const std::string sysPath
            = "/sys/dev/block/" + std::to_string(major(device)) + ":" + std::to_string(minor(device));
        // A partition has no "removable" of its own: its disk, one folder up, has it.
        if (ReadSmallFile(sysPath + "/removable").starts_with("1")
            || ReadSmallFile(sysPath + "/../removable").starts_with("1"))
            return true;
        return CanonicalPath(sysPath).find("/usb") != std::string::npos;
    }

    // udev writes unsafe label characters (space, slash, ...) as \xHH in the link names.
    std::string DecodeUdevName(std::string_view name)
    {
        std::string decoded;
        for (std::size_t i = 0; i < name.size(); ++i) {
            unsigned int value = 0;
            if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
                const char* digits = name.data() + i + 2;
                auto [end, error] = std::from_chars(digits, digits + 2, value, 16);
                if (error == std::errc() && end == digits + 2) {
                    decoded.push_back(static_cast<char>(value));
                    i += 3;
                    continue;
                }
            }
            decoded.push_back(name[i]);
        }
        return decoded;
    }

    // Device node (resolved) -> label, from the links udev keeps.
    std::map<std::string, std::string> ReadVolumeLabels()
    {
        std::map<std::string, std::string> labels;
        const std::string folder = "/dev/disk/by-label/";
        DIR* listing = ::opendir(folder.c_str());
        if (listing == nullptr)
            return labels;
        while (const dirent* item = ::readdir(listing)) {
            const std::string_view name = item->d_name;
            if (name == "." || name == "..")
                continue;
            std::string device = CanonicalPath(folder + item->d_name);
            if (!device.empty())
                labels.emplace(device, DecodeUdevName(item->d_name));
        }
        ::closedir(listing);
        return labels;
    }

} // namespace

std::string CanonicalPath(const std::string& path)
{
    // glibc allocates the result, so no PATH_MAX buffer is involved.
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return {};
    std::string result(resolved);
    std::free(resolved);
    return result;
}

std::string DecodeMountField(std::string_view field)
{
    std::string decoded;
    decoded.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) && IsOctalDigit(field[i + 2])
            && IsOctalDigit(field[i + 3])) {
            int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            decoded.push_back(static_cast<char>(value & 0xff));
            i += 3;
        } else {
            decoded.push_back(field[i]);
        }
    }
    return decoded;
}

bool IsPseudoFileSystemType(std::string_view fsType)
{
    return std::any_of(
        kPseudoTypes.begin(), kPseudoTypes.end(), [fsType](const PseudoType& type) { return type.name == fsType; });
}

bool IsPseudoFileSystemMagic(std::uint64_t magic)
{
    // f_type is a signed long; a 32-bit build would sign-extend magics with the top bit set.
    const auto low = static_cast<std::uint32_t>(magic);
    if (low == 0 || (magic >> 32 != 0 && magic >> 32 != 0xffffffffU))
        return false;
    return std::any_of(
        kPseudoTypes.begin(), kPseudoTypes.end(), [low](const PseudoType& type) { return type.magic == low; });
}

VolumeKind VolumeKindOfType(std::string_view fsType)
{
    if (std::find(kRemoteTypes.begin(), kRemoteTypes.end(), fsType) != kRemoteTypes.end())
        return VolumeKind::vkRemote;
    if (fsType == "iso9660" || fsType == "udf")
        return VolumeKind::vkCdrom;
    if (fsType == "tmpfs" || fsType == "ramfs")
        return VolumeKind::vkRam;
    return VolumeKind::vkFixed;
}

bool IsPackageImageMount(const MountEntry& entry)
{
    return entry.fsType == "squashfs" && entry.mountPoint.starts_with("/snap/")
        && entry.source.starts_with("/dev/loop");
}

MountTable::MountTable(std::vector<MountEntry> entries)
    : m_entries(std::move(entries))
{
}

std::optional<MountEntry> MountTable::ParseLine(std::string_view line)
{
    MountEntry entry;
    std::string_view rest = line;
    std::string_view device;
    if (!ParseNumber(NextField(rest), entry.mountId) || !ParseNumber(NextField(rest), entry.parentId))
        return std::nullopt;
    device = NextField(rest);
    std::size_t colon = device.find(':');
    if (colon == std::string_view::npos || !ParseNumber(device.substr(0, colon), entry.major)
        || !ParseNumber(device.substr(colon + 1), entry.minor))
        return std::nullopt;
    std::string_view root = NextField(rest);
    std::string_view mountPoint = NextField(rest);
    std::string_view options = NextField(rest);
    if (root.empty() || mountPoint.empty() || mountPoint.front() != '/' || rest.empty())
        return std::nullopt;
    entry.root = DecodeMountField(root);
    entry.mountPoint = DecodeMountField(mountPoint);
    entry.options = DecodeMountField(options);
    for (;;) {
        if (rest.empty())
            return std::nullopt; // the "-" separator never came
        std::string_view field = NextField(rest);
        if (field == "-")
            break;
        entry.optionalFields.push_back(DecodeMountField(field));
    }
    if (rest.empty())
        return std::nullopt;
    std::string_view fsType = NextField(rest);
    if (fsType.empty() || rest.empty())
        return std::nullopt;
    entry.fsType = DecodeMountField(fsType);
    entry.source = DecodeMountField(NextField(rest));
    entry.superOptions = DecodeMountField(rest);
    return entry;
}

MountTable MountTable::Parse(std::string_view text)
{
    MountTable table;
    while (!text.empty()) {
        std::size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        if (line.find_first_not_of(" \t\r") == std::string_view::npos)
            continue;
        if (std::optional<MountEntry> entry = ParseLine(line))
            table.m_entries.push_back(std::move(*entry));
        else
            ++table.m_skippedLines;
    }
    return table;
}

MountTable MountTable::ReadLive()
{
    int fd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    // The file reports size 0, so read until the end rather than by its length.
    std::string text;
    std::array<char, 16384> chunk {};
    for (;;) {
        ssize_t count = ::read(fd, chunk.data(), chunk.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            ::close(fd);
            return {};
        }
        if (count == 0)
            break;
        text.append(chunk.data(), static_cast<std::size_t>(count));
    }
    ::close(fd);
    return Parse(text);
}

bool MountTable::IsWithin(const MountEntry& entry, int ancestorId) const
{
    int parent = entry.parentId;
    // The step limit ends the walk even when a damaged table links parents in a circle.
    for (std::size_t steps = 0; steps <= m_entries.size(); ++steps) {
        if (parent == ancestorId)
            return true;
        auto it = std::find_if(m_entries.begin(), m_entries.end(),
            [parent](const MountEntry& candidate) { return candidate.mountId == parent; });
        if (it == m_entries.end())
            return false;
        parent = it->parentId;
    }
    return false;
}

bool MountTable::IsHidden(std::size_t index) const
{
    if (index >= m_entries.size())
        return false;
    const MountEntry& entry = m_entries[index];
    // A mount made inside the later one is reached through it, so it is not hidden by it.
    for (std::size_t later = index + 1; later < m_entries.size(); ++later) {
        if (PathContains(m_entries[later].mountPoint, entry.mountPoint) && !IsWithin(entry, m_entries[later].mountId))
            return true;
    }
    return false;
}

std::vector<MountEntry> MountTable::RealMounts() const
{
    std::vector<MountEntry> mounts;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (!IsPseudoFileSystemType(m_entries[i].fsType) && !IsHidden(i))
            mounts.push_back(m_entries[i]);
    }
    return mounts;
}

std::string MountTable::MountPointOf(std::string_view absolutePath) const
{
    if (absolutePath.empty() || absolutePath.front() != '/')
        return {};
    const MountEntry* best = nullptr;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const MountEntry& entry = m_entries[i];
        if (best != nullptr && entry.mountPoint.size() <= best->mountPoint.size())
            continue;
        if (PathContains(entry.mountPoint, absolutePath) && !IsPseudoFileSystemType(entry.fsType) && !IsHidden(i))
            best = &entry;
    }
    return best != nullptr ? best->mountPoint : std::string();
}

bool MountTable::IsMountPoint(std::string_view path) const
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const MountEntry& entry = m_entries[i];
        if (entry.mountPoint == path && !IsPseudoFileSystemType(entry.fsType) && !IsHidden(i))
            return true;
    }
    return false;
}

bool MountTable::IsInsidePseudoFileSystem(const MountEntry& entry) const
{
    // Up the kernel's parent links: a cgroup tree under /sys or a tmpfs on /dev/shm belongs to
    // the pseudo file system it sits in, not to the user's volumes.
    const MountEntry* current = &entry;
    for (std::size_t hops = 0; hops < m_entries.size(); ++hops) {
        const auto parent = std::find_if(m_entries.begin(), m_entries.end(),
            [&](const MountEntry& candidate) { return candidate.mountId == current->parentId; });
        if (parent == m_entries.end() || &*parent == current)
            return false;
        if (IsPseudoFileSystemType(parent->fsType))
            return true;
        current = &*parent;
    }
    return false;
}

std::vector<VolumeInfo> MountTable::Volumes() const
{
    std::vector<VolumeInfo> volumes;
    const std::map<std::string, std::string> labels = ReadVolumeLabels();
    for (const MountEntry& mount : RealMounts()) {
        if (IsPackageImageMount(mount) || IsInsidePseudoFileSystem(mount))
            continue;
        const VolumeKind kind = VolumeKindOfType(mount.fsType);
        // A single file bind-mounted in place (a container's /etc/hosts) is no volume. Only a
        // local file system is asked: a dead network or FUSE mount would stall the question.
        if (kind != VolumeKind::vkRemote && !mount.fsType.starts_with("fuse")) {
            struct stat info = {};
            if (::lstat(mount.mountPoint.c_str(), &info) == 0 && !S_ISDIR(info.st_mode))
                continue;
        }
        VolumeInfo volume { mount.mountPoint, kind, {}, mount.fsType,
            mount.source == "none" ? std::string() : mount.source };
        if (volume.kind == VolumeKind::vkFixed && IsRemovableDevice(BlockDeviceOf(mount)))
            volume.kind = VolumeKind::vkRemovable;
        if (mount.source.starts_with("/")) {
            auto label = labels.find(CanonicalPath(mount.source));
            if (label != labels.end())
                volume.label = label->second;
        }
        volumes.push_back(std::move(volume));
    }
    if (volumes.empty())
        volumes.push_back(VolumeInfo { "/", VolumeKind::vkFixed, {}, {}, {} }); // the table could not be read
    return volumes;
}

} // namespace tarvo
