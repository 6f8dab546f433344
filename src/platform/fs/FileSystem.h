#pragma once

#include "FolderWatcher.h"
#include "PathStyle.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo
{

enum class EntryKind : std::uint8_t {
    ekUnknown, // the listing did not say; StatEntry settles it
    ekFile, // regular file: counts its apparent size
    ekFolder, // directory: counts 0, may be entered
    ekLink, // symbolic link: counts its own size, never followed
    ekOther, // FIFO, socket, device node: counts 0, never opened
};

// One name of a folder listing. Names are raw bytes; "." and ".." are never reported.
struct DirEntry {
    std::string name;
    EntryKind kind = EntryKind::ekUnknown;
    std::int64_t sizeBytes = 0; // apparent size; meaningful once kind is known
    // Names the entry has (hard links), as StatEntry found; 1 until then.
    std::uint64_t linkCount = 1;
};

// Identity of an opened folder, for loop and mount guards.
struct FolderIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool isMountRoot = false; // the folder is the root of a mounted file system (bind mounts included)
};

// An open folder. Owned through FolderHandlePtr; a handle may be read by one thread while
// others call StatEntry/OpenChild on it, but ReadBatch itself is never called concurrently on
// the same handle.
class FolderHandle
{
public:
    FolderHandle() = default;
    virtual ~FolderHandle() = default;
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;

    [[nodiscard]] virtual FolderIdentity Identity() const = 0;
};
using FolderHandlePtr = std::shared_ptr<FolderHandle>;

// What the folder tree needs to know of one entry beyond its kind.
struct EntryDetails {
    EntryKind kind = EntryKind::ekUnknown;
    // Hard links of a folder: 2 + its subfolders where the file system counts them, 1 where it
    // does not (btrfs), 0 when not known.
    std::uint64_t linkCount = 0;
    bool compressed = false; // the file system stores it compressed
    bool linksToFolder = false; // a symbolic link whose target is a folder
    bool pseudoMount = false; // a folder on which a pseudo file system is mounted: never opened
};

enum class VolumeKind : std::uint8_t { vkFixed, vkRemovable, vkRemote, vkCdrom, vkRam };

struct VolumeInfo {
    std::string root; // "C:\" or a mount point such as "/" or "/media/usb"
    VolumeKind kind = VolumeKind::vkFixed;
    std::string label; // volume name; may be empty
    std::string fileSystemType; // "ext4", "NTFS", ...
    std::string source; // what is mounted: "/dev/sda1", "//nas/share", "server:/export"; may be empty
};

// The listed volume that holds the path: the longest root that holds it (PathStyle::Holds),
// the first listed among equals. Found from the text alone, so that asking never touches a
// volume that may not answer. nullptr when no listed volume holds it.
[[nodiscard]] const VolumeInfo* VolumeContaining(
    const PathStyle& style, const std::vector<VolumeInfo>& volumes, std::string_view path);
// The same volume's root as listed; empty when there is none.
[[nodiscard]] inline std::string VolumeRootContaining(
    const PathStyle& style, const std::vector<VolumeInfo>& volumes, std::string_view path)
{
    const VolumeInfo* volume = VolumeContaining(style, volumes, path);
    return volume ? volume->root : std::string();
}

// What the scanner and the main window need from a file system. Implementations: the real
// POSIX one and an in-memory one for tests. None of these throw for file-system trouble: a
// folder that cannot be read or opened is reported through the return value.
class FileSystem
{
public:
    FileSystem() = default;
    virtual ~FileSystem() = default;
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;

    [[nodiscard]] virtual const PathStyle& Style() const = 0;

    // Where a call below takes `error`, it receives (when given) the errno value of a failure,
    // or 0 when nothing went wrong: the end of a listing, a pseudo file system left alone.

    // Opens the folder at an absolute path (a link given here is followed: it is the user's
    // choice). nullptr when it is not an openable folder.
    [[nodiscard]] virtual FolderHandlePtr OpenFolder(const std::string& path, int* error = nullptr) = 0;
    // Opens a subfolder relative to its parent without following links. nullptr when it
    // cannot be opened, is no longer a folder, or lies on a pseudo file system (never entered).
    [[nodiscard]] virtual FolderHandlePtr OpenChild(FolderHandle& parent, const std::string& name, int* error = nullptr)
        = 0;
    // The parent folder of an open folder ("..") or nullptr at the top; used to learn the
    // ancestry of a scanned folder once per scan.
    [[nodiscard]] virtual FolderHandlePtr OpenParent(FolderHandle& folder) = 0;
    // Appends the next batch of entries (kind may be ekUnknown, sizeBytes not yet set) and
    // returns true; returns false and appends nothing at the end or on a read error.
    virtual bool ReadBatch(FolderHandle& folder, std::vector<DirEntry>& out, int* error = nullptr) = 0;
    // Settles kind, sizeBytes and linkCount of one entry of the folder without following links.
    // Returns false when the entry is gone (error ENOENT) or cannot be examined (error says
    // why); kind and size are then unchanged.
    virtual bool StatEntry(FolderHandle& folder, DirEntry& entry, int* error = nullptr) = 0;

    // Convenience over OpenFolder/ReadBatch/StatEntry: every entry of a folder, fully
    // examined. false when the folder cannot be listed.
    bool ListFolder(const std::string& path, std::vector<DirEntry>& out);

    // True when the path names an existing folder (links to folders included).
    [[nodiscard]] virtual bool FolderExists(const std::string& path) = 0;
    // Free bytes available to the calling user on the volume with this root; -1 on failure.
    [[nodiscard]] virtual std::int64_t FreeBytes(const std::string& volumeRoot) = 0;
    // The root of the volume holding the path; empty when none does.
    [[nodiscard]] virtual std::string VolumeOf(const std::string& path) = 0;
    // True when the path (with or without trailing separator) is the root of a volume.
    [[nodiscard]] virtual bool IsVolumeRoot(const std::string& path) = 0;
    // The volumes a user may pick, pseudo file systems left out, in a stable order.
    [[nodiscard]] virtual std::vector<VolumeInfo> Volumes() = 0;

    // Examines one entry of the folder without following it, except that a link is asked
    // whether its target is a folder. askLinkCount false spares the count where asking costs
    // (remote volumes). false when the entry is gone or cannot be examined.
    virtual bool InspectEntry(FolderHandle& folder, const std::string& name, bool askLinkCount, EntryDetails& out) = 0;
    // The same for the entry at an absolute path; by default through its parent folder.
    virtual bool InspectPath(const std::string& path, bool askLinkCount, EntryDetails& out);
    // A source of change notifications for folders of this file system.
    [[nodiscard]] virtual std::unique_ptr<FolderWatcher> MakeFolderWatcher() = 0;
};

// The file system of the running machine.
[[nodiscard]] std::unique_ptr<FileSystem> MakeHostFileSystem();

} // namespace tarvo
