#include "MemoryFileSystem.h"
#include "MemoryFileSystemNodes.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <stdexcept>
#include <unordered_map>
#include <utility>

namespace tarvo
{

namespace
{

    // Symbolic-link hops allowed while resolving one path, as Linux's MAXSYMLINKS (ELOOP beyond).
    constexpr int kMaxLinkHops = 40;

    [[noreturn]] void Reject(std::string_view path, std::string_view why)
    {
        throw std::invalid_argument("MemoryFileSystem: " + std::string(path) + ": " + std::string(why));
    }

} // namespace

// Plain data behind the FolderHandle interface; only MemoryFileSystem sees its members.
class MemoryFileSystem::Handle final : public FolderHandle
{
public:
    [[nodiscard]] FolderIdentity Identity() const override { return identity; }

    const MemoryFileSystem* owner = nullptr;
    PlacePtr place;
    FolderIdentity identity;
    std::size_t cursor = 0; // next child to report; ReadBatch never runs twice at once on a handle
};

class MemoryFileSystem::Change
{
public:
    explicit Change(MemoryFileSystem& fs)
        : m_fs(fs)
        , m_lock(fs.m_treeLock)
    {
    }
    ~Change()
    {
        std::vector<Announcement> announced = std::move(m_fs.m_announced);
        m_fs.m_announced.clear();
        m_lock.unlock();
        m_fs.Deliver(announced);
    }
    Change(const Change&) = delete;
    Change& operator=(const Change&) = delete;

private:
    MemoryFileSystem& m_fs;
    std::unique_lock<std::shared_mutex> m_lock;
};

MemoryFileSystem::MemoryFileSystem(const PathStyle& style)
    : m_style(style)
{
    // A POSIX tree always has its one root; Windows drives appear as they are first named.
    if (m_style.GetKind() == PathStyle::pkPosix)
        EnsureFolder("/");
}

MemoryFileSystem::~MemoryFileSystem() = default;

// ---- Names and paths ----------------------------------------------------------------------

std::string MemoryFileSystem::Key(std::string_view name) const
{
    std::string key(name);
    // ASCII folding only: bytes of other encodings compare exactly, as names are never decoded.
    if (m_style.GetKind() == PathStyle::pkWindows)
        std::transform(key.begin(), key.end(), key.begin(),
            [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return key;
}

std::string MemoryFileSystem::RootKey(std::string_view root) const
{
    return m_style.GetKind() == PathStyle::pkWindows ? Key(root.substr(0, 2)) : std::string("/");
}

// The root key followed by every component's key; empty for a relative path.
std::vector<std::string> MemoryFileSystem::KeyParts(std::string_view path) const
{
    const std::string root = m_style.RootOf(path);
    if (root.empty())
        return {};
    std::vector<std::string> parts { RootKey(root) };
    for (std::string_view part : m_style.Components(path.substr(root.size())))
        parts.push_back(Key(part));
    return parts;
}

MemoryFileSystem::Node* MemoryFileSystem::FindChild(const Node& folder, std::string_view name) const
{
    const auto found = folder.byKey.find(Key(name));
    return found == folder.byKey.end() ? nullptr : found->second;
}

MemoryFileSystem::Node* MemoryFileSystem::FindRoot(std::string_view root) const
{
    const std::string key = RootKey(root);
    for (const auto& node : m_roots) {
        if (RootKey(node->name) == key)
            return node.get();
    }
    return nullptr;
}

const MemoryFileSystem::Volume* MemoryFileSystem::FindVolume(std::string_view root) const
{
    const std::vector<std::string> wanted = KeyParts(root);
    for (const Volume& volume : m_volumes) {
        if (!volume.removed && !wanted.empty() && KeyParts(volume.info.root) == wanted)
            return &volume;
    }
    return nullptr;
}

FolderIdentity MemoryFileSystem::IdentityOf(const Place& place) const
{
    FolderIdentity identity;
    identity.inode = place.node->inode;
    identity.isMountRoot = place.mountRoot;
    for (const Node* node = place.node; node; node = node->parent) {
        if (node->volumeIndex >= 0) {
            identity.device = static_cast<std::uint64_t>(node->volumeIndex) + 1;
            break;
        }
    }
    return identity;
}

// ---- Building -----------------------------------------------------------------------------

MemoryFileSystem::Node& MemoryFileSystem::NewChild(Node& folder, std::string_view name, EntryKind kind)
{
    auto node = std::make_unique<Node>();
    node->name = std::string(name);
    node->kind = kind;
    node->parent = &folder;
    node->inode = m_nextInode++;
    Node& added = *node;
    folder.byKey.emplace(Key(name), &added);
    folder.children.push_back(std::move(node));
    Announce(folder, FolderEventKind::feCreated, added.name, kind == EntryKind::ekFolder);
    return added;
}

MemoryFileSystem::Node& MemoryFileSystem::EnsureFolder(std::string_view path)
{
    const std::string root = m_style.RootOf(path);
    if (root.empty())
        Reject(path, "not an absolute path");
    Node* folder = FindRoot(root);
    if (!folder) {
        auto node = std::make_unique<Node>();
        node->name = m_style.GetKind() == PathStyle::pkWindows ? std::string { root[0], ':', '\\' } : "/";
        node->inode = m_nextInode++;
        folder = node.get();
        m_roots.push_back(std::move(node));
    }
    for (std::string_view part : m_style.Components(std::string_view(path).substr(root.size()))) {
        if (part == "." || part == "..")
            Reject(path, "'.' and '..' are not accepted when building");
        Node* child = FindChild(*folder, part);
        if (!child)
            child = &NewChild(*folder, part, EntryKind::ekFolder);
        else if (child->kind != EntryKind::ekFolder)
            Reject(path, "'" + std::string(part) + "' is not a folder");
        folder = child->bindTarget ? child->bindTarget : child;
    }
    return *folder;
}

MemoryFileSystem::Node& MemoryFileSystem::AddEntry(std::string_view path, EntryKind kind)
{
    const std::string name = m_style.FileName(path);
    if (name.empty() || name == "." || name == ".." || !m_style.IsAbsolute(path))
        Reject(path, "not an absolute path with a name");
    Node& folder = EnsureFolder(m_style.Parent(path));
    if (FindChild(folder, name))
        Reject(path, "already exists");
    return NewChild(folder, name, kind);
}

void MemoryFileSystem::AddVolume(const std::string& root, VolumeKind kind, const std::string& label,
    const std::string& fsType, std::int64_t freeBytes, const std::string& source)
{
    const Change change(*this);
    if (FindVolume(root))
        Reject(root, "volume added twice");
    Node& folder = EnsureFolder(root);
    Volume volume;
    if (!m_style.IsRoot(root))
        volume.info.root = m_style.ExcludeTrailingSeparator(root);
    else if (m_style.GetKind() == PathStyle::pkWindows)
        volume.info.root = { root[0], ':', '\\' };
    else
        volume.info.root = "/";
    volume.info.kind = kind;
    volume.info.label = label;
    volume.info.fileSystemType = fsType;
    volume.info.source = source;
    volume.freeBytes = freeBytes < 0 ? -1 : freeBytes;
    folder.volumeIndex = static_cast<int>(m_volumes.size());
    Announcement mounted;
    mounted.event.kind = FolderEventKind::feMountPoint;
    mounted.event.name = volume.info.root;
    m_announced.push_back(std::move(mounted));
    m_volumes.push_back(std::move(volume));
}

void MemoryFileSystem::RemoveVolume(const std::string& root)
{
    const Change change(*this);
    auto* volume = const_cast<Volume*>(FindVolume(root));
    if (volume == nullptr)
        Reject(root, "no such volume");
    volume->removed = true;
    if (const PlacePtr place = ResolveFolder(volume->info.root); place && place->node->volumeIndex >= 0)
        place->node->volumeIndex = -1;
    Announcement unmounted;
    unmounted.event.kind = FolderEventKind::feMountPoint;
    unmounted.event.name = volume->info.root;
    m_announced.push_back(std::move(unmounted));
}

void MemoryFileSystem::AddFolder(const std::string& path)
{
    const Change change(*this);
    (void)EnsureFolder(path);
}

void MemoryFileSystem::AddFile(const std::string& path, std::int64_t sizeBytes)
{
    if (sizeBytes < 0)
        Reject(path, "negative size");
    const Change change(*this);
    AddEntry(path, EntryKind::ekFile).sizeBytes = sizeBytes;
}

void MemoryFileSystem::AddLink(const std::string& path, const std::string& targetText, std::int64_t sizeBytes)
{
    if (sizeBytes < 0)
        Reject(path, "negative size");
    if (targetText.empty())
        Reject(path, "empty link target");
    const Change change(*this);
    Node& link = AddEntry(path, EntryKind::ekLink);
    link.linkTarget = targetText;
    link.sizeBytes = sizeBytes;
}

void MemoryFileSystem::AddHardLink(const std::string& existingFile, const std::string& path)
{
    const Change change(*this);
    const PlacePtr folder = ResolveFolder(m_style.Parent(existingFile));
    Node* file = folder ? FindChild(*folder->node, m_style.FileName(existingFile)) : nullptr;
    if (!file || file->kind != EntryKind::ekFile)
        Reject(existingFile, "no such file to link");
    if (!file->names)
        file->names = std::make_shared<std::uint64_t>(1);
    Node& name = AddEntry(path, EntryKind::ekFile);
    name.sizeBytes = file->sizeBytes;
    name.inode = file->inode;
    name.names = file->names;
    ++*name.names;
}

void MemoryFileSystem::AddOther(const std::string& path)
{
    const Change change(*this);
    (void)AddEntry(path, EntryKind::ekOther);
}

void MemoryFileSystem::SetUnreadable(const std::string& folderPath, bool unreadable)
{
    const Change change(*this);
    const PlacePtr place = ResolveFolder(folderPath);
    if (!place)
        Reject(folderPath, "no such folder");
    place->node->unreadable = unreadable;
}

void MemoryFileSystem::SetStatError(const std::string& path, int error)
{
    const Change change(*this);
    const PlacePtr folder = ResolveFolder(m_style.Parent(path));
    Node* entry = folder ? FindChild(*folder->node, m_style.FileName(path)) : nullptr;
    if (!entry)
        Reject(path, "no such entry");
    entry->statError = error;
}

void MemoryFileSystem::SetListedKinds(bool listed)
{
    const Change change(*this);
    m_listedKinds = listed;
}

void MemoryFileSystem::AddBindMount(const std::string& path, const std::string& targetFolderPath)
{
    const Change change(*this);
    const PlacePtr target = ResolveFolder(targetFolderPath);
    if (!target)
        Reject(targetFolderPath, "no such folder to bind");
    AddEntry(path, EntryKind::ekFolder).bindTarget = target->node;
}

void MemoryFileSystem::RemoveEntry(const std::string& path)
{
    const Change change(*this);
    const PlacePtr folder = ResolveFolder(m_style.Parent(path));
    Node* entry = folder ? FindChild(*folder->node, m_style.FileName(path)) : nullptr;
    if (!entry)
        Reject(path, "no such entry");
    auto& siblings = folder->node->children;
    const auto owned
        = std::find_if(siblings.begin(), siblings.end(), [entry](const auto& child) { return child.get() == entry; });
    AnnounceRemoval(*entry);
    ForgetNames(*entry);
    Announce(*folder->node, FolderEventKind::feDeleted, entry->name, entry->kind == EntryKind::ekFolder);
    folder->node->byKey.erase(Key(entry->name));
    m_removed.push_back(std::move(*owned));
    siblings.erase(owned);
}

// The files among the entry and below it lose this name: their other names count one link fewer.
void MemoryFileSystem::ForgetNames(Node& entry)
{
    if (entry.names)
        --*entry.names;
    if (entry.bindTarget)
        return; // a bind mount goes, its target stays
    for (const auto& child : entry.children)
        ForgetNames(*child);
}

void MemoryFileSystem::RenameEntry(const std::string& from, const std::string& to)
{
    const Change change(*this);
    const PlacePtr source = ResolveFolder(m_style.Parent(from));
    Node* entry = source ? FindChild(*source->node, m_style.FileName(from)) : nullptr;
    if (!entry)
        Reject(from, "no such entry");
    const std::string newName = m_style.FileName(to);
    const PlacePtr target = ResolveFolder(m_style.Parent(to));
    if (newName.empty() || newName == "." || newName == ".." || !target)
        Reject(to, "not a name in an existing folder");
    if (Node* taken = FindChild(*target->node, newName); taken && taken != entry)
        Reject(to, "already exists");
    for (const Node* above = target->node; above; above = above->parent) {
        if (above == entry)
            Reject(to, "a folder cannot move into itself");
    }
    auto& siblings = source->node->children;
    const auto owned
        = std::find_if(siblings.begin(), siblings.end(), [entry](const auto& child) { return child.get() == entry; });
    std::unique_ptr<Node> moved = std::move(*owned);
    siblings.erase(owned);
    source->node->byKey.erase(Key(entry->name));
    const std::string oldName = std::exchange(entry->name, newName);
    entry->parent = target->node;
    target->node->byKey.emplace(Key(newName), entry);
    target->node->children.push_back(std::move(moved));

    const bool isFolder = entry->kind == EntryKind::ekFolder;
    const std::uint32_t cookie = m_nextCookie++;
    Announce(*source->node, FolderEventKind::feMovedFrom, oldName, isFolder, cookie);
    Announce(*target->node, FolderEventKind::feMovedTo, newName, isFolder, cookie);
    if (isFolder)
        Announce(*entry, FolderEventKind::feSelfGone, {}, true);
}

void MemoryFileSystem::SetCompressed(const std::string& path, bool compressed)
{
    const Change change(*this);
    const PlacePtr folder = ResolveFolder(m_style.Parent(path));
    Node* entry = folder ? FindChild(*folder->node, m_style.FileName(path)) : nullptr;
    if (!entry)
        Reject(path, "no such entry");
    entry->compressed = compressed;
}

void MemoryFileSystem::SetFolderLinkCounts(bool counted)
{
    const Change change(*this);
    m_folderLinkCounts = counted;
}

void MemoryFileSystem::SetWatchLimit(std::size_t watches)
{
    const Change change(*this);
    m_watchLimit = watches;
}

void MemoryFileSystem::SetBatchSize(std::size_t entriesPerBatch)
{
    if (entriesPerBatch == 0)
        throw std::invalid_argument("MemoryFileSystem: a batch holds at least one entry");
    const Change change(*this);
    m_batchSize = entriesPerBatch;
}

void MemoryFileSystem::SetReadHook(std::function<void(const std::string& folderPath)> hook)
{
    const Change change(*this);
    m_readHook = std::move(hook);
}

// ---- Resolving ----------------------------------------------------------------------------

// The subfolder entry of a place as seen through it; a bind-mount entry shows its target.
MemoryFileSystem::PlacePtr MemoryFileSystem::Enter(const PlacePtr& from, Node& child) const
{
    Node* shown = child.bindTarget ? child.bindTarget : &child;
    const bool mountRoot = child.bindTarget || shown->volumeIndex >= 0;
    return std::make_shared<const Place>(Place { shown, from, m_style.Join(from->path, child.name), mountRoot });
}

// Walks along a path, from its root when it is absolute and from place otherwise, following
// links and bind mounts in every component; nullptr when the path does not end in a folder.
MemoryFileSystem::PlacePtr MemoryFileSystem::Walk(PlacePtr place, std::string_view path, int& hopsLeft) const
{
    if (const std::string root = m_style.RootOf(path); !root.empty()) {
        Node* top = FindRoot(root);
        if (!top)
            return nullptr;
        place = std::make_shared<const Place>(Place { top, nullptr, top->name, top->volumeIndex >= 0 });
        path.remove_prefix(root.size());
    } else if (!path.empty() && m_style.IsSeparator(path.front())) {
        while (place->up) // "\Data" under Windows: the root of the current drive
            place = place->up;
    }
    for (std::string_view part : m_style.Components(path)) {
        if (part == ".")
            continue;
        if (part == "..") {
            if (place->up)
                place = place->up;
            continue;
        }
        Node* child = FindChild(*place->node, part);
        if (!child)
            return nullptr;
        if (child->kind == EntryKind::ekLink) {
            if (--hopsLeft < 0)
                return nullptr;
            place = Walk(place, child->linkTarget, hopsLeft);
            if (!place)
                return nullptr;
        } else if (child->kind == EntryKind::ekFolder) {
            place = Enter(place, *child);
        } else {
            return nullptr;
        }
    }
    return place;
}

MemoryFileSystem::PlacePtr MemoryFileSystem::ResolveFolder(std::string_view path) const
{
    int hopsLeft = kMaxLinkHops;
    return m_style.IsAbsolute(path) ? Walk(nullptr, path, hopsLeft) : nullptr;
}

FolderHandlePtr MemoryFileSystem::MakeHandle(PlacePtr place, int* error) const
{
    if (error)
        *error = !place ? ENOENT : place->node->unreadable ? EACCES : 0;
    if (!place || place->node->unreadable)
        return nullptr;
    auto handle = std::make_shared<Handle>();
    handle->owner = this;
    handle->identity = IdentityOf(*place);
    handle->place = std::move(place);
    return handle;
}

MemoryFileSystem::Handle& MemoryFileSystem::Own(FolderHandle& folder) const
{
    auto* handle = dynamic_cast<Handle*>(&folder);
    if (!handle || handle->owner != this)
        throw std::invalid_argument("MemoryFileSystem: folder handle opened by another file system");
    return *handle;
}

// ---- Reading ------------------------------------------------------------------------------

FolderHandlePtr MemoryFileSystem::OpenFolder(const std::string& path, int* error)
{
    const std::shared_lock lock(m_treeLock);
    return MakeHandle(ResolveFolder(path), error);
}

FolderHandlePtr MemoryFileSystem::OpenChild(FolderHandle& parent, const std::string& name, int* error)
{
    const std::shared_lock lock(m_treeLock);
    const PlacePtr& from = Own(parent).place;
    Node* child = FindChild(*from->node, name);
    if (!child || child->statError != 0 || child->kind != EntryKind::ekFolder) {
        if (error)
            *error = !child ? ENOENT : child->statError != 0 ? child->statError : ENOTDIR;
        return nullptr;
    }
    return MakeHandle(Enter(from, *child), error);
}

FolderHandlePtr MemoryFileSystem::OpenParent(FolderHandle& folder)
{
    const std::shared_lock lock(m_treeLock);
    return MakeHandle(Own(folder).place->up);
}

bool MemoryFileSystem::ReadBatch(FolderHandle& folder, std::vector<DirEntry>& out, int* error)
{
    if (error)
        *error = 0;
    Handle& handle = Own(folder);
    std::function<void(const std::string&)> hook;
    {
        const std::shared_lock lock(m_treeLock);
        hook = m_readHook;
    }
    // Outside the lock: a hook that blocks (a stuck volume in a test) must not stop the builders.
    if (hook)
        hook(handle.place->path);
    const std::shared_lock lock(m_treeLock);
    const auto& children = handle.place->node->children;
    if (handle.cursor >= children.size())
        return false;
    const std::size_t end = std::min(children.size(), handle.cursor + m_batchSize);
    for (; handle.cursor < end; ++handle.cursor)
        out.push_back(DirEntry {
            children[handle.cursor]->name, m_listedKinds ? children[handle.cursor]->kind : EntryKind::ekUnknown, 0 });
    return true;
}

bool MemoryFileSystem::StatEntry(FolderHandle& folder, DirEntry& entry, int* error)
{
    const std::shared_lock lock(m_treeLock);
    const Node* child = FindChild(*Own(folder).place->node, entry.name);
    if (error)
        *error = !child ? ENOENT : child->statError;
    if (!child || child->statError != 0)
        return false;
    entry.kind = child->kind;
    const bool hasSize = child->kind == EntryKind::ekFile || child->kind == EntryKind::ekLink;
    entry.sizeBytes = hasSize ? child->sizeBytes : 0;
    entry.linkCount = child->names ? *child->names : 1;
    return true;
}

bool MemoryFileSystem::FolderExists(const std::string& path)
{
    const std::shared_lock lock(m_treeLock);
    return ResolveFolder(path) != nullptr;
}

std::int64_t MemoryFileSystem::FreeBytes(const std::string& volumeRoot)
{
    const std::shared_lock lock(m_treeLock);
    const Volume* volume = FindVolume(volumeRoot);
    return volume ? volume->freeBytes : -1;
}

std::string MemoryFileSystem::VolumeOf(const std::string& path)
{
    const std::shared_lock lock(m_treeLock);
    const std::vector<std::string> parts = KeyParts(path);
    const Volume* best = nullptr;
    std::size_t bestLength = 0;
    for (const Volume& volume : m_volumes) {
        if (volume.removed)
            continue;
        const std::vector<std::string> rootParts = KeyParts(volume.info.root);
        const bool prefixes = !parts.empty() && rootParts.size() <= parts.size()
            && std::equal(rootParts.begin(), rootParts.end(), parts.begin());
        if (prefixes && rootParts.size() > bestLength) {
            best = &volume;
            bestLength = rootParts.size();
        }
    }
    return best ? best->info.root : std::string();
}

bool MemoryFileSystem::IsVolumeRoot(const std::string& path)
{
    const std::shared_lock lock(m_treeLock);
    return FindVolume(path) != nullptr;
}

std::vector<VolumeInfo> MemoryFileSystem::Volumes()
{
    const std::shared_lock lock(m_treeLock);
    std::vector<VolumeInfo> volumes;
    volumes.reserve(m_volumes.size());
    for (const Volume& volume : m_volumes)
        if (!volume.removed)
            volumes.push_back(volume.info);
    return volumes;
}

bool MemoryFileSystem::InspectEntry(FolderHandle& folder, const std::string& name, bool askLinkCount, EntryDetails& out)
{
    const std::shared_lock lock(m_treeLock);
    const PlacePtr& from = Own(folder).place;
    const Node* child = FindChild(*from->node, name);
    if (!child || child->statError != 0)
        return false;
    const auto linkCountOf = [this](const Node& shown) -> std::uint64_t {
        if (!m_folderLinkCounts)
            return 1;
        return 2
            + static_cast<std::uint64_t>(std::count_if(shown.children.begin(), shown.children.end(),
                [](const auto& entry) { return entry->kind == EntryKind::ekFolder; }));
    };
    EntryDetails details;
    details.kind = child->kind;
    details.compressed = child->compressed;
    if (child->kind == EntryKind::ekFolder) {
        if (askLinkCount)
            details.linkCount = linkCountOf(child->bindTarget ? *child->bindTarget : *child);
    } else if (child->kind == EntryKind::ekLink) {
        int hopsLeft = kMaxLinkHops;
        const PlacePtr target = Walk(from, child->linkTarget, hopsLeft);
        details.linksToFolder = target != nullptr;
        if (target && askLinkCount)
            details.linkCount = linkCountOf(*target->node);
    }
    out = details;
    return true;
}

} // namespace tarvo
