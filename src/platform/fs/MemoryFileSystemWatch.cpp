// What MemoryFileSystem's watchers see: the builders' changes, reported as inotify reports a
// real tree's.

#include "MemoryFileSystem.h"
#include "MemoryFileSystemNodes.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace tarvo
{

class MemoryFileSystem::Watcher final : public FolderWatcher
{
public:
    explicit Watcher(MemoryFileSystem& fs)
        : m_fs(fs)
    {
    }
    ~Watcher() override { m_fs.Unregister(*this); }

    [[nodiscard]] std::vector<WatchDescriptor> Descriptors() const override { return {}; }
    void SetWakeUp(std::function<void()> wakeUp) override
    {
        const std::lock_guard lock(m_mutex);
        m_wakeUp = std::move(wakeUp);
    }

    [[nodiscard]] int Add(const std::string& folderPath, WatchError& error) override
    {
        const Node* folder = nullptr;
        {
            const std::shared_lock tree(m_fs.m_treeLock);
            const PlacePtr place = m_fs.ResolveFolder(folderPath);
            folder = place ? place->node : nullptr;
        }
        const std::lock_guard lock(m_mutex);
        error = WatchError::weNone;
        if (!folder) {
            error = WatchError::weFailed;
            return -1;
        }
        if (const auto found = m_ids.find(folder); found != m_ids.end())
            return found->second;
        if (m_ids.size() >= m_fs.m_watchLimit) {
            error = WatchError::weNoSpace;
            return -1;
        }
        const int id = m_nextId++;
        m_ids.emplace(folder, id);
        return id;
    }

    void Remove(int watch) override
    {
        const std::lock_guard lock(m_mutex);
        std::erase_if(m_ids, [watch](const auto& entry) { return entry.second == watch; });
    }

    [[nodiscard]] std::vector<FolderEvent> Read(int /*readyFd*/) override
    {
        const std::lock_guard lock(m_mutex);
        return std::exchange(m_queue, {});
    }

    [[nodiscard]] std::size_t DefaultBudget() const override { return std::numeric_limits<std::size_t>::max(); }

    // Queues what concerns this watcher; true when something was queued.
    bool Take(const Announcement& announcement)
    {
        const std::lock_guard lock(m_mutex);
        FolderEvent event = announcement.event;
        if (announcement.folder) {
            const auto found = m_ids.find(announcement.folder);
            if (found == m_ids.end())
                return false;
            event.watch = found->second;
            if (event.kind == FolderEventKind::feIgnored)
                m_ids.erase(found);
        }
        m_queue.push_back(std::move(event));
        return true;
    }

    void WakeUp()
    {
        std::function<void()> wakeUp;
        {
            const std::lock_guard lock(m_mutex);
            wakeUp = m_wakeUp;
        }
        if (wakeUp)
            wakeUp();
    }

private:
    MemoryFileSystem& m_fs;
    std::mutex m_mutex;
    std::unordered_map<const Node*, int> m_ids;
    int m_nextId = 1;
    std::vector<FolderEvent> m_queue;
    std::function<void()> m_wakeUp;
};

// ---- Watching -----------------------------------------------------------------------------

std::unique_ptr<FolderWatcher> MemoryFileSystem::MakeFolderWatcher()
{
    auto watcher = std::make_unique<Watcher>(*this);
    const std::lock_guard lock(m_watchersLock);
    m_watchers.push_back(watcher.get());
    return watcher;
}

void MemoryFileSystem::Unregister(Watcher& watcher)
{
    const std::lock_guard lock(m_watchersLock);
    std::erase(m_watchers, &watcher);
}

void MemoryFileSystem::Announce(
    const Node& folder, FolderEventKind kind, const std::string& name, bool isFolder, std::uint32_t cookie)
{
    Announcement announcement;
    announcement.folder = &folder;
    announcement.event.kind = kind;
    announcement.event.name = name;
    announcement.event.isFolder = isFolder;
    announcement.event.cookie = cookie;
    m_announced.push_back(std::move(announcement));
}

// As "rm -r" reports it: each folder's entries before the folder itself, whose watch then ends.
void MemoryFileSystem::AnnounceRemoval(const Node& entry)
{
    if (entry.kind != EntryKind::ekFolder || entry.bindTarget)
        return; // a bind mount goes, its target stays
    for (const auto& child : entry.children) {
        AnnounceRemoval(*child);
        Announce(entry, FolderEventKind::feDeleted, child->name, child->kind == EntryKind::ekFolder);
    }
    Announce(entry, FolderEventKind::feSelfGone, {}, true);
    Announce(entry, FolderEventKind::feIgnored, {}, true);
}

void MemoryFileSystem::Deliver(std::vector<Announcement>& announcements)
{
    if (announcements.empty())
        return;
    const std::lock_guard lock(m_watchersLock);
    for (Watcher* watcher : m_watchers) {
        bool queued = false;
        for (const Announcement& announcement : announcements)
            queued = watcher->Take(announcement) || queued;
        if (queued)
            watcher->WakeUp();
    }
}

} // namespace tarvo
