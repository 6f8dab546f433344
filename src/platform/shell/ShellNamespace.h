#pragma once

#include "FileSystem.h"
#include "ItemIdList.h"
#include "VolumeCalls.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvo
{

enum class ListingResult : std::uint8_t {
    lrListed,
    lrUnreadable, // the folder exists but cannot be listed (permission, gone, a pseudo file system)
    lrNotResponding, // its volume did not answer in time, or is still stuck from an earlier call
};

// One item of a folder listing.
struct ShellItem {
    TItemIdList relative; // one record
    std::uint32_t attributes = 0; // SFGAO_ bits
};

struct FolderListing {
    ListingResult result = ListingResult::lrListed;
    std::vector<ShellItem> items; // in the file system's order
};

using TPendingListing = TPendingResult<FolderListing>;

// Our shell namespace over a FileSystem: the Desktop (the empty list) holds Home (the user's
// home folder) and Computer, Computer holds every volume in FileSystem::Volumes() order, and
// volumes, Home and folders hold folders and other entries. Items are addressed by
// TItemIdList; a list of a folder is Computer, the longest volume root that contains the
// folder, then one record per further component, or the same below Home.
//
// The object belongs to one thread (the GUI's). Everything that touches the file system runs
// on the volume's worker of Calls() with a time limit, so a volume that hangs costs a wait, not
// the window; the rest is pure computation over the volume list last read.
class TShellNamespace
{
public:
    TShellNamespace(FileSystem& files, std::string homeFolder);
    TShellNamespace(const TShellNamespace&) = delete;
    TShellNamespace& operator=(const TShellNamespace&) = delete;

    [[nodiscard]] FileSystem& Files() const { return m_files; }
    [[nodiscard]] const PathStyle& Style() const { return m_files.Style(); }
    [[nodiscard]] const std::string& HomePath() const { return m_home; }
    [[nodiscard]] VolumeCalls& Calls() { return m_calls; }

    // The volumes as last read.
    [[nodiscard]] const std::vector<VolumeInfo>& Volumes() const { return m_volumes; }
    struct VolumeChanges {
        std::vector<std::string> added; // roots, in the new order
        std::vector<std::string> removed;
    };
    // Reads the volumes again; what came and went since the last read.
    VolumeChanges RefreshVolumes();
    // Reads labels and kinds again for the volumes already listed, adding and removing none (a
    // changed medium): what came and went stays for RefreshVolumes to report.
    void RefreshVolumeDetails();

    [[nodiscard]] static TItemIdList HomeList();
    [[nodiscard]] static TItemIdList ComputerList();
    [[nodiscard]] TItemIdList VolumeList(const std::string& root) const;

    // The records form an address: nothing, Home or Computer first, a volume only right after
    // Computer, folders after Home, a volume or a folder, a non-folder only at the end, and no
    // name that could leave its folder ("", ".", "..", a separator, a NUL).
    [[nodiscard]] bool IsValidAbsolute(const TItemIdList& absolute) const;
    // The file-system path: a volume's root as listed ("C:\", "/media/usb"), anything below it
    // without a trailing separator; empty for the Desktop, Computer and invalid lists.
    [[nodiscard]] std::string PathOf(const TItemIdList& absolute) const;
    // "Desktop", "Home", "Computer", "label (root)" or the bare root for a volume, else the raw
    // name bytes (decoding them is for display only).
    [[nodiscard]] std::string DisplayNameOf(const TItemIdList& absolute) const;
    // The listed volume an item of kind ikVolume names; nullptr otherwise or when it is gone.
    [[nodiscard]] const VolumeInfo* VolumeOfItem(const TItemIdList& absolute) const;
    // The volume whose worker serves the path: the longest listed root containing it on
    // component boundaries, taken literally (no call that could hang); empty when none does.
    [[nodiscard]] std::string VolumeKeyOfPath(const std::string& path) const;
    [[nodiscard]] const VolumeInfo* VolumeOfPath(const std::string& path) const;
    // The path is the root of a listed volume (trailing separators ignored).
    [[nodiscard]] bool IsVolumeRootPath(const std::string& path) const;
    // Order of two items of one folder, by their last records: Home, Computer, volumes in list
    // order, folders, then the rest; names in natural order (d2 before d10), ASCII case folded,
    // raw bytes breaking ties. Negative, 0 or positive.
    [[nodiscard]] int CompareIDs(const TItemIdList& a, const TItemIdList& b) const;
    // Attributes of items that need no file-system call (Desktop, Home, Computer, volumes);
    // nullopt for folders and other entries.
    [[nodiscard]] std::optional<std::uint32_t> FixedAttributes(const TItemIdList& absolute) const;

    // Lists a folder's items with their attributes (SHCONTF_ flags). Never nullptr: a stuck
    // volume gives a finished call with lrNotResponding.
    [[nodiscard]] std::shared_ptr<TPendingListing> StartListing(const TItemIdList& folder, std::uint32_t flags);
    // StartListing, waiting up to limit (lrNotResponding after it).
    [[nodiscard]] FolderListing List(const TItemIdList& folder, std::uint32_t flags, std::chrono::milliseconds limit);
    // Every attribute of one item; nullopt when it is gone or its volume does not answer.
    [[nodiscard]] std::optional<std::uint32_t> AttributesOf(
        const TItemIdList& absolute, std::chrono::milliseconds limit);
    // The list of an existing folder's path (see the class comment); nullopt for a relative
    // path, a "." or ".." component, a path on no listed volume, a missing folder or no answer.
    [[nodiscard]] std::optional<TItemIdList> ParsePath(const std::string& path, std::chrono::milliseconds limit);
    // The item still exists.
    [[nodiscard]] bool Exists(const TItemIdList& absolute, std::chrono::milliseconds limit);
    // The volume answers a question about its size within limit. The key is a drive letter
    // under the Windows style, else a listed mount point; anything else raises EConvertError
    // "Not a valid drive ID".
    [[nodiscard]] bool IsVolumeReady(const std::string& volumeKey, std::chrono::milliseconds limit);

private:
    [[nodiscard]] std::string KeyOfRoot(const std::string& root) const;
    [[nodiscard]] std::string WorkerKeyOf(const TItemIdList& absolute) const;

    FileSystem& m_files;
    std::string m_home;
    std::vector<VolumeInfo> m_volumes;
    VolumeCalls m_calls;
};

} // namespace tarvo
