#pragma once

#include "FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo
{

// One line of /proc/self/mountinfo with its octal escapes decoded.
struct MountEntry {
    int mountId = 0;
    int parentId = 0;
    unsigned int major = 0; // device of the mounted file system (major:minor field)
    unsigned int minor = 0;
    std::string root; // folder of the source file system seen at the mount point; "/" unless bind-mounted
    std::string mountPoint;
    std::string options; // per-mount options such as "rw,relatime"
    std::vector<std::string> optionalFields; // "shared:1", "master:2", ...
    std::string fsType;
    std::string source; // "/dev/sda1", "server:/export", "none", ...
    std::string superOptions;
};

// The mount table of a process, in the kernel's order (parents before the mounts on them,
// later mounts after earlier ones). Parsing is pure so that odd tables can be tested from text.
class MountTable
{
public:
    MountTable() = default;
    explicit MountTable(std::vector<MountEntry> entries);

    // One line without its newline; nullopt when it is not a well-formed mountinfo line.
    [[nodiscard]] static std::optional<MountEntry> ParseLine(std::string_view line);
    // Malformed lines are skipped and counted in SkippedLines(); blank lines are ignored.
    [[nodiscard]] static MountTable Parse(std::string_view text);
    // The calling process's table; empty when /proc/self/mountinfo cannot be read.
    [[nodiscard]] static MountTable ReadLive();

    [[nodiscard]] const std::vector<MountEntry>& Entries() const { return m_entries; }
    [[nodiscard]] std::size_t SkippedLines() const { return m_skippedLines; }

    // True when a later mount sits on the same mount point or on a folder above it (and the
    // entry is not itself mounted inside that later mount), so the entry cannot be reached.
    [[nodiscard]] bool IsHidden(std::size_t index) const;
    // The reachable mounts that are not pseudo file systems, in table order: the volumes.
    [[nodiscard]] std::vector<MountEntry> RealMounts() const;

    // The longest real mount point that contains the absolute path on component boundaries
    // ("/mnt/usb" contains "/mnt/usb/a" but not "/mnt/usbkey"); empty when none does. The path
    // is taken literally: resolve links before asking.
    [[nodiscard]] std::string MountPointOf(std::string_view absolutePath) const;
    // True when the path, trailing separators ignored, is a real mount point.
    [[nodiscard]] bool IsMountPoint(std::string_view path) const;

    // The volumes a user may pick: RealMounts() without package images, mounts inside pseudo
    // file systems and files bind-mounted in place, each with the kind its type gives, its
    // source, removable when sysfs says so, and its label from udev's by-label links (this part
    // reads the machine, never a mounted volume). "/" alone when the table is empty.
    [[nodiscard]] std::vector<VolumeInfo> Volumes() const;

    // True when the entry's mount sits, directly or further up, on a pseudo file system.
    [[nodiscard]] bool IsInsidePseudoFileSystem(const MountEntry& entry) const;

private:
    // True when the entry is mounted, directly or further down, inside the mount ancestorId.
    [[nodiscard]] bool IsWithin(const MountEntry& entry, int ancestorId) const;

    std::vector<MountEntry> m_entries;
    std::size_t m_skippedLines = 0;
};

// The path with every link resolved (realpath); empty when it does not exist.
[[nodiscard]] std::string CanonicalPath(const std::string& path);

// Decodes the kernel's octal escapes ("\040" space, "\011" tab, "\012" newline, "\134"
// backslash); a backslash not followed by three octal digits stays as it is.
[[nodiscard]] std::string DecodeMountField(std::string_view field);

// Kernel file systems that hold no user data and are never scanned nor listed, by mount type
// name ("proc", "sysfs", "cgroup2", ...).
[[nodiscard]] bool IsPseudoFileSystemType(std::string_view fsType);
// The same list by the f_type magic number that fstatfs reports. devtmpfs shares tmpfs's
// magic and so cannot be told apart here: look its device up in the mount table instead.
[[nodiscard]] bool IsPseudoFileSystemMagic(std::uint64_t magic);

// What the type alone says about a volume: remote, cdrom, ram, or fixed (a fixed answer may
// still turn out removable once the device is examined).
[[nodiscard]] VolumeKind VolumeKindOfType(std::string_view fsType);

// Read-only package images that snapd loop-mounts under /snap: real file systems, but not
// places a user stores data, so they are left out of the volume list.
[[nodiscard]] bool IsPackageImageMount(const MountEntry& entry);

} // namespace tarvo
