#include "ShellChangeSource.h"

#include "ShellTypes.h"

#include <algorithm>
#include <chrono>

namespace tarvo
{

namespace
{

    // Asking whether a new entry is a link to a folder touches a local volume that was just
    // written to; a volume that does not answer that fast gets the entry as a non-folder.
    constexpr std::chrono::milliseconds kEntryQuestionLimit { 1000 };

    TItemIdList Child(const TItemIdList& folder, bool isFolder, const std::string& name)
    {
        return folder.Combined(TItemIdList::Record(isFolder ? ItemKind::ikFolder : ItemKind::ikNonFolder, name));
    }

} // namespace

TShellChangeSource::TShellChangeSource(TShellNamespace& shell)
    : m_shell(shell)
    , m_watcher(shell.Files().MakeFolderWatcher())
    , m_budget(m_watcher->DefaultBudget())
{
}

TShellChangeSource::~TShellChangeSource() = default;

bool TShellChangeSource::Watch(const TItemIdList& folder, bool expanded, std::vector<TItemIdList>* evicted)
{
    if (const auto found = m_lists.find(folder); found != m_lists.end()) {
        Rank(folder, found->second, expanded);
        return true;
    }
    if (AddWatch(folder, expanded))
        return true;
    // An expanded folder may take the place of the newest leaf's watch.
    if (!expanded || !Full() || m_leaves.empty())
        return false;
    const TItemIdList leaf = m_leaves.back();
    Unwatch(leaf);
    if (evicted)
        evicted->push_back(leaf);
    m_kernelFull = false; // one watch was given back: the kernel takes one again
    return AddWatch(folder, expanded);
}

bool TShellChangeSource::AddWatch(const TItemIdList& folder, bool expanded)
{
    const std::string path = m_shell.PathOf(folder);
    const VolumeInfo* volume = path.empty() ? nullptr : m_shell.VolumeOfPath(path);
    if (!volume || volume->kind == VolumeKind::vkRemote || Full())
        return false;
    WatchError error = WatchError::weNone;
    const int watch = m_watcher->Add(path, error);
    if (watch < 0) {
        m_kernelFull = m_kernelFull || error == WatchError::weNoSpace;
        return false;
    }
    m_watches[watch].push_back(folder);
    ListWatch entry;
    entry.watch = watch;
    entry.path = path;
    entry.leafPlace = m_leaves.end();
    Rank(folder, m_lists.emplace(folder, std::move(entry)).first->second, expanded);
    return true;
}

void TShellChangeSource::Rank(const TItemIdList& folder, ListWatch& entry, bool expanded)
{
    if (entry.leafPlace != m_leaves.end())
        m_leaves.erase(entry.leafPlace);
    entry.leafPlace = expanded ? m_leaves.end() : m_leaves.insert(m_leaves.end(), folder);
    entry.expanded = expanded;
}

void TShellChangeSource::Unwatch(const TItemIdList& folder)
{
    const auto found = m_lists.find(folder);
    if (found == m_lists.end())
        return;
    const int watch = found->second.watch;
    if (found->second.leafPlace != m_leaves.end())
        m_leaves.erase(found->second.leafPlace);
    m_lists.erase(found);
    std::vector<TItemIdList>& lists = m_watches[watch];
    std::erase(lists, folder);
    if (lists.empty()) {
        m_watches.erase(watch);
        m_watcher->Remove(watch);
    }
}

// The kernel ended a watch: its lists are no longer watched.
void TShellChangeSource::DropWatch(int watch)
{
    const auto found = m_watches.find(watch);
    if (found == m_watches.end())
        return;
    for (const TItemIdList& list : found->second) {
        const auto entry = m_lists.find(list);
        if (entry->second.leafPlace != m_leaves.end())
            m_leaves.erase(entry->second.leafPlace);
        m_lists.erase(entry);
    }
    m_watches.erase(found);
}

std::vector<TItemIdList> TShellChangeSource::ListsOf(int watch) const
{
    const auto found = m_watches.find(watch);
    return found == m_watches.end() ? std::vector<TItemIdList>() : found->second;
}

bool TShellChangeSource::IsFolderEntry(const TItemIdList& folder, const std::string& name, bool isDirectory)
{
    if (isDirectory)
        return true;
    const std::optional<std::uint32_t> attributes
        = m_shell.AttributesOf(Child(folder, false, name), kEntryQuestionLimit);
    return attributes && (*attributes & SFGAO_FOLDER) != 0;
}

void TShellChangeSource::Arrived(int watch, const std::string& name, bool isDirectory, std::vector<ShellChange>& out)
{
    for (const TItemIdList& folder : ListsOf(watch)) {
        const bool isFolder = IsFolderEntry(folder, name, isDirectory);
        out.push_back({ isFolder ? SHCNE_MKDIR : SHCNE_CREATE, Child(folder, isFolder, name), {} });
    }
}

void TShellChangeSource::Left(int watch, const std::string& name, bool isDirectory, std::vector<ShellChange>& out)
{
    for (const TItemIdList& folder : ListsOf(watch)) {
        if (!isDirectory) {
            // Gone, so it cannot be asked whether it linked to a folder: a node shown as one goes too.
            out.push_back({ SHCNE_DELETE, Child(folder, false, name), {} });
        }
        out.push_back({ SHCNE_RMDIR, Child(folder, true, name), {} });
    }
}

void TShellChangeSource::Renamed(const FolderEvent& from, const FolderEvent& to, std::vector<ShellChange>& out)
{
    const std::vector<TItemIdList> sources = ListsOf(from.watch);
    const std::vector<TItemIdList> targets = ListsOf(to.watch);
    if (sources.empty() || targets.empty()) {
        if (!sources.empty())
            Left(from.watch, from.name, from.isFolder, out);
        if (!targets.empty())
            Arrived(to.watch, to.name, to.isFolder, out);
        return;
    }
    const bool isFolder = IsFolderEntry(targets.front(), to.name, to.isFolder);
    const std::uint32_t eventId = isFolder ? SHCNE_RENAMEFOLDER : SHCNE_RENAMEITEM;
    if (from.watch == to.watch) {
        // Within one folder: each list that reaches it sees its own rename.
        for (const TItemIdList& folder : sources)
            out.push_back({ eventId, Child(folder, isFolder, from.name), Child(folder, isFolder, to.name) });
        return;
    }
    for (const TItemIdList& source : sources) {
        for (const TItemIdList& target : targets)
            out.push_back({ eventId, Child(source, isFolder, from.name), Child(target, isFolder, to.name) });
    }
}

void TShellChangeSource::MountsChanged(const std::vector<std::string>& points, std::vector<ShellChange>& out)
{
    const TShellNamespace::VolumeChanges volumes = m_shell.RefreshVolumes();
    for (const std::string& root : volumes.added)
        out.push_back({ SHCNE_DRIVEADD | SHCNE_DRIVEADDGUI, m_shell.VolumeList(root), {} });
    for (const std::string& root : volumes.removed)
        out.push_back({ SHCNE_DRIVEREMOVED, m_shell.VolumeList(root), {} });
    // A watched folder that became a mount point, or stopped being one, now shows another
    // folder: it is listed again and watched anew.
    std::vector<std::pair<TItemIdList, bool>> moved;
    for (const auto& [list, entry] : m_lists) {
        if (std::find(points.begin(), points.end(), entry.path) != points.end())
            moved.emplace_back(list, entry.expanded);
    }
    for (const auto& [list, expanded] : moved) {
        Unwatch(list);
        (void)AddWatch(list, expanded);
        out.push_back({ SHCNE_UPDATEDIR, list, {} });
    }
}

void TShellChangeSource::MovedAway(const std::vector<FolderEvent>& events, std::size_t index,
    std::vector<bool>& consumed, std::vector<ShellChange>& out)
{
    const FolderEvent& event = events[index];
    const auto pair = std::find_if(
        events.begin() + static_cast<std::ptrdiff_t>(index) + 1, events.end(), [&event](const FolderEvent& other) {
            return other.kind == FolderEventKind::feMovedTo && other.cookie == event.cookie;
        });
    if (pair == events.end()) {
        Left(event.watch, event.name, event.isFolder, out);
    } else {
        consumed[static_cast<std::size_t>(pair - events.begin())] = true;
        Renamed(event, *pair, out);
    }
}

std::vector<ShellChange> TShellChangeSource::Read(int readyFd)
{
    const std::vector<FolderEvent> events = m_watcher->Read(readyFd);
    std::vector<ShellChange> out;
    std::vector<bool> consumed(events.size(), false);
    std::vector<std::string> mountPoints;
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (consumed[i])
            continue;
        const FolderEvent& event = events[i];
        switch (event.kind) {
        case FolderEventKind::feCreated:
            Arrived(event.watch, event.name, event.isFolder, out);
            break;
        case FolderEventKind::feDeleted:
            Left(event.watch, event.name, event.isFolder, out);
            break;
        case FolderEventKind::feMovedFrom:
            MovedAway(events, i, consumed, out);
            break;
        case FolderEventKind::feMovedTo:
            Arrived(event.watch, event.name, event.isFolder, out);
            break;
        case FolderEventKind::feSelfGone:
            // With its parent watched, the parent's own event says where it went.
            for (const TItemIdList& folder : ListsOf(event.watch)) {
                if (!folder.IsEmpty() && !IsWatched(folder.WithoutLast()))
                    out.push_back({ SHCNE_RMDIR, folder, {} });
            }
            break;
        case FolderEventKind::feUnmounted:
            for (const TItemIdList& folder : ListsOf(event.watch))
                out.push_back({ SHCNE_UPDATEDIR, folder, {} });
            break;
        case FolderEventKind::feIgnored:
            DropWatch(event.watch);
            break;
        case FolderEventKind::feOverflow:
            for (const auto& [list, entry] : m_lists) {
                if (entry.expanded)
                    out.push_back({ SHCNE_UPDATEDIR, list, {} });
            }
            break;
        case FolderEventKind::feMountPoint:
            mountPoints.push_back(event.name);
            break;
        }
    }
    if (!mountPoints.empty())
        MountsChanged(mountPoints, out);
    return out;
}

} // namespace tarvo
