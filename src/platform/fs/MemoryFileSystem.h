#pragma once

#include "FileSystem.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo
{

// A file system held in memory, in either path style, for tests of the scanner and the main
// window: it fakes what a real tree cannot (unreadable folders under root, drive letters,
// mount loops, 5 GiB files without storage).
//
// Reads may come from several threads at once, also while a builder changes the tree (builders
// wait for reads in progress). Changes made after watchers exist are reported to them as the
// kernel would (see MakeFolderWatcher). Builder calls reject bad input (relative paths, a file where a folder is
// needed, a name taken by another kind of entry, negative sizes) with std::invalid_argument.
//
// Names match exactly under POSIX and ASCII case-insensitively under Windows, drive letters
// included. Folders list their entries in insertion order, DirEntry kinds already settled;
// files and links are reported with size 0 until StatEntry is called.
//
// Identity: inode is unique per node; device is 1 + the index of the volume holding the folder
// (0 for folders under no volume), so that volume-less trees never share a device with a
// volume; isMountRoot holds for volume roots and bind-mount entries.
class MemoryFileSystem : public FileSystem
{
public:
    explicit MemoryFileSystem(const PathStyle& style);
    ~MemoryFileSystem() override;

    // Builders. Missing intermediate folders are created; bind-mount entries on the way are
    // passed through to their target.
    // root: "C:\", "/" or a mount point such as "/media/usb"; freeBytes -1 makes FreeBytes fail.
    void AddVolume(const std::string& root, VolumeKind kind, const std::string& label, const std::string& fsType,
        std::int64_t freeBytes, const std::string& source = {});
    // Unmounts the volume: it is no longer listed, its folder (the mount point) stays.
    void RemoveVolume(const std::string& root);
    void AddFolder(const std::string& path); // an existing folder is left as it is
    void AddFile(const std::string& path, std::int64_t sizeBytes);
    // A symbolic link of its own size. Never followed by OpenChild or ListFolder's entries, but
    // OpenFolder and FolderExists follow it (absolute or relative target, at most 40 hops).
    void AddLink(const std::string& path, const std::string& targetText, std::int64_t sizeBytes);
    void AddOther(const std::string& path); // FIFO, socket or device node
    // One more name for an existing file, as link(2) makes: the same inode and size, and every
    // name of it reports the raised link count. Folders cannot get one.
    void AddHardLink(const std::string& existingFile, const std::string& path);
    // The folder stays listed and FolderExists still sees it, but opening it fails (EACCES).
    void SetUnreadable(const std::string& folderPath, bool unreadable);
    // The entry stays listed, but examining or opening it fails with this errno value (EIO
    // from a failing disk or FUSE file system); 0 mends it.
    void SetStatError(const std::string& path, int error);
    // Listings say nothing of the kinds (ekUnknown for every entry, as file systems without
    // d_type), so that StatEntry must settle them.
    void SetListedKinds(bool listed);
    // path shows the target folder itself, as "mount --bind target path" does; a target above
    // path builds a mount loop.
    void AddBindMount(const std::string& path, const std::string& targetFolderPath);
    // Removes an entry and everything below it (a file's other names stay, one link fewer);
    // open handles to it stay valid but detached.
    void RemoveEntry(const std::string& path);
    // Renames an entry, also into another existing folder, with everything below it.
    void RenameEntry(const std::string& from, const std::string& to);
    // Marks an entry as stored compressed.
    void SetCompressed(const std::string& path, bool compressed);
    // Folders report link counts as ext4 does (2 + their subfolders) unless this is switched
    // off; then every folder reports 1, as on btrfs.
    void SetFolderLinkCounts(bool counted);
    // Watches each watcher holds at most before it refuses more as the kernel does at its limit.
    void SetWatchLimit(std::size_t watches);

    // Entries per ReadBatch call (at least 1; 2 by default so that small folders take
    // several batches).
    void SetBatchSize(std::size_t entriesPerBatch);
    // Called with the folder's path at the start of every ReadBatch, on the reading thread;
    // the hook must be thread-safe when several threads scan.
    void SetReadHook(std::function<void(const std::string& folderPath)> hook);

    [[nodiscard]] const PathStyle& Style() const override { return m_style; }
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
    [[nodiscard]] std::vector<VolumeInfo> Volumes() override;
    bool InspectEntry(FolderHandle& folder, const std::string& name, bool askLinkCount, EntryDetails& out) override;
    // Watchers see what the builders change from then on: entries made, removed (children before
    // their folder, each watched folder's own end), renamed (a cookie pairs both halves) and
    // volumes added (as a mount-table change). A watcher has no descriptor: it calls its
    // wake-up on the builder's thread. It must not outlive the file system.
    [[nodiscard]] std::unique_ptr<FolderWatcher> MakeFolderWatcher() override;

private:
    struct Node;
    struct Place;
    class Handle;
    class Watcher;
    struct Announcement;
    // A builder's hold on the tree: exclusive while it lives; what it announced reaches the
    // watchers once the tree is released.
    class Change;
    using PlacePtr = std::shared_ptr<const Place>;

    struct Volume {
        VolumeInfo info;
        std::int64_t freeBytes = -1;
        bool removed = false; // unmounted: kept so that the other volumes keep their devices
    };

    [[nodiscard]] std::string Key(std::string_view name) const;
    [[nodiscard]] std::string RootKey(std::string_view root) const;
    [[nodiscard]] std::vector<std::string> KeyParts(std::string_view path) const;
    [[nodiscard]] Node* FindChild(const Node& folder, std::string_view name) const;
    [[nodiscard]] Node* FindRoot(std::string_view root) const;
    [[nodiscard]] const Volume* FindVolume(std::string_view root) const;
    [[nodiscard]] FolderIdentity IdentityOf(const Place& place) const;

    Node& NewChild(Node& folder, std::string_view name, EntryKind kind);
    Node& EnsureFolder(std::string_view path);
    Node& AddEntry(std::string_view path, EntryKind kind);

    [[nodiscard]] PlacePtr Enter(const PlacePtr& from, Node& child) const;
    [[nodiscard]] PlacePtr Walk(PlacePtr place, std::string_view path, int& hopsLeft) const;
    [[nodiscard]] PlacePtr ResolveFolder(std::string_view path) const;
    // error: ENOENT without a place, EACCES for an unreadable folder.
    [[nodiscard]] FolderHandlePtr MakeHandle(PlacePtr place, int* error = nullptr) const;
    [[nodiscard]] Handle& Own(FolderHandle& folder) const;

    void Announce(
        const Node& folder, FolderEventKind kind, const std::string& name, bool isFolder, std::uint32_t cookie = 0);
    void AnnounceRemoval(const Node& entry);
    static void ForgetNames(Node& entry);
    void Deliver(std::vector<Announcement>& announcements);
    void Unregister(Watcher& watcher);

    const PathStyle& m_style;
    std::vector<std::unique_ptr<Node>> m_roots; // "/" or one per drive letter
    std::vector<std::unique_ptr<Node>> m_removed; // kept alive for handles still open on them
    std::vector<Volume> m_volumes; // in insertion order
    std::uint64_t m_nextInode = 1;
    std::size_t m_batchSize = 2;
    std::function<void(const std::string&)> m_readHook;
    bool m_folderLinkCounts = true;
    bool m_listedKinds = true;
    std::size_t m_watchLimit = std::numeric_limits<std::size_t>::max();
    std::uint32_t m_nextCookie = 1;

    mutable std::shared_mutex m_treeLock; // shared by reads, exclusive for builders
    std::vector<Announcement> m_announced; // by the builder holding m_treeLock
    std::mutex m_watchersLock;
    std::vector<Watcher*> m_watchers;
};

} // namespace tarvo
